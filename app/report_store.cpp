// The report away from Windows: an ordered store of rows with the list view's read limit
// of 254 characters, so the export and duplicate logic behave as on Windows.
#include "report_store.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <stdlib.h>
#include <string.h>

struct StoredRow {
    char *label;
    char *details;
    ReportIcon icon;
};

static StoredRow *rows = NULL;
static int rowCount = 0;
static int rowCapacity = 0;

static char *DuplicateText(const char *text)
{
    size_t length = strlen(text);
    char *copy = (char *)malloc(length + 1);
    memcpy(copy, text, length + 1);
    return copy;
}

int AddReportRow(const char *label, const char *details, ReportIcon icon)
{
    if (rowCount == rowCapacity) {
        int capacity = rowCapacity ? rowCapacity * 2 : 32;
        StoredRow *grown = (StoredRow *)realloc(rows, capacity * sizeof *rows);
        if (!grown)
            return 1; // a row that cannot be stored is simply missing
        rows = grown;
        rowCapacity = capacity;
    }
    rows[rowCount].label = DuplicateText(label);
    rows[rowCount].details = DuplicateText(details);
    rows[rowCount].icon = icon;
    ++rowCount;
    return 1;
}

int GetReportRowCount()
{
    return rowCount;
}

void GetReportRowText(int row, int column, char *buffer)
{
    buffer[0] = '\0';
    if (row < 0 || row >= rowCount)
        return;
    CopyText(buffer, ReportTextBufferSize, column == 0 ? rows[row].label : rows[row].details);
}

bool FindReportRowByDetails(const char *details)
{
    char buffer[ReportTextBufferSize];
    for (int row = 0; row < GetReportRowCount(); ++row) {
        GetReportRowText(row, 1, buffer);
        if (EqualsIgnoringAsciiCase(buffer, details))
            return true;
    }
    return false;
}

ReportIcon GetReportRowIcon(int row)
{
    return (row >= 0 && row < rowCount) ? rows[row].icon : -1;
}

void ClearReport()
{
    for (int i = 0; i < rowCount; ++i) {
        free(rows[i].label);
        free(rows[i].details);
    }
    free(rows);
    rows = NULL;
    rowCount = rowCapacity = 0;
}
