// Extra operations of the host report store, for tests and host tools.
#ifndef TARROW_REPORT_STORE_H
#define TARROW_REPORT_STORE_H

#include "../base/tarrow.h"

ReportIcon GetReportRowIcon(int row);
void ClearReport();

#endif
