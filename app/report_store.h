// The report as a plain ordered store of rows, with the list view's read limit of 254
// characters, so that the export and duplicate logic behave as on the list view: the report
// on the build host, and on Windows in a log run that has no list view.
#ifndef TARROW_REPORT_STORE_H
#define TARROW_REPORT_STORE_H

#include "../base/tarrow.h"

// The report operations of tarrow.h, on the store.
int StoreReportRow(const char *label, const char *details, ReportIcon icon);
int GetStoredRowCount();
void GetStoredRowText(int row, int column, char *buffer);
bool FindStoredRowByDetails(const char *details);

// For tests and host tools.
ReportIcon GetReportRowIcon(int row);
void ClearReport();

#endif
