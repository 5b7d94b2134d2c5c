// The plain store of report rows: each text copied on the heap, rows in the order added.
#include "report_store.h"
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
    if (copy)
        memcpy(copy, text, length + 1);
    return copy;
}

int StoreReportRow(const char *label, const char *details, ReportIcon icon)
{
    if (rowCount == rowCapacity) {
        int capacity = rowCapacity ? rowCapacity * 2 : 32;
        StoredRow *grown = (StoredRow *)realloc(rows, capacity * sizeof *rows);
        if (!grown)
            return 1; // a row that cannot be stored is simply missing
        rows = grown;
        rowCapacity = capacity;
    }
    char *labelCopy = DuplicateText(label);
    char *detailsCopy = DuplicateText(details);
    if (!labelCopy || !detailsCopy) {
        free(labelCopy);
        free(detailsCopy);
        return 1;
    }
    rows[rowCount].label = labelCopy;
    rows[rowCount].details = detailsCopy;
    rows[rowCount].icon = icon;
    ++rowCount;
    return 1;
}

int GetStoredRowCount()
{
    return rowCount;
}

void GetStoredRowText(int row, int column, char *buffer)
{
    buffer[0] = '\0';
    if (row < 0 || row >= rowCount)
        return;
    CopyText(buffer, ReportTextBufferSize, column == 0 ? rows[row].label : rows[row].details);
}

bool FindStoredRowByDetails(const char *details)
{
    char buffer[ReportTextBufferSize];
    for (int row = 0; row < rowCount; ++row) {
        GetStoredRowText(row, 1, buffer);
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
