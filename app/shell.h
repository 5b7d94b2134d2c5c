// State and operations of the Windows shell: the main window, the report list control and
// the commands. Written once during start-up, read afterwards.
#ifndef TARROW_SHELL_H
#define TARROW_SHELL_H

#include "../base/main_window.h"

#include <windows.h>
#include <commctrl.h>

// report_list_win32.cpp
int SetupReportColumns(HWND list);
HIMAGELIST CreateReportImageList();

// export_win32.cpp
int WriteLogFile();
void CopyReportToClipboard();

#endif
