// The report on the build host: the plain store, there being no list view.
#include "report_store.h"

int AddReportRow(const char *label, const char *details, ReportIcon icon)
{
    return StoreReportRow(label, details, icon);
}

int GetReportRowCount()
{
    return GetStoredRowCount();
}

void GetReportRowText(int row, int column, char *buffer)
{
    GetStoredRowText(row, column, buffer);
}

bool FindReportRowByDetails(const char *details)
{
    return FindStoredRowByDetails(details);
}
