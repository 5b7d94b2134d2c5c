// State and operations of the Windows shell: the main window, the report list control and
// the commands. Written once during start-up, read afterwards.
#ifndef TARROW_SHELL_H
#define TARROW_SHELL_H

#include <windows.h>
#include <commctrl.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HWND reportListWindow;

// report_list_win32.cpp
int SetupReportColumns(HWND list);
HIMAGELIST CreateReportImageList();

// export_win32.cpp
int WriteLogFile();
void CopyReportToClipboard();

#endif
