// State and operations of the Windows shell: the main window, the report list control and
// the commands. Written once during start-up, read afterwards.
#ifndef TARROW_SHELL_H
#define TARROW_SHELL_H

#include "command_line.h"
#include "../base/main_window.h"

#include <windows.h>
#include <commctrl.h>

// report_list_win32.cpp
int SetupReportColumns(HWND list);
HIMAGELIST CreateReportImageList();

// export_win32.cpp
int WriteLogFile();
void CopyReportToClipboard();

// log_only_win32.cpp: takes the inventory and writes the log without showing a window or
// a message box. Returns the exit code: 0 written, 1 not opened, 2 a line not written.
int WriteLogWithoutWindow(HINSTANCE instance, const StartRequest *request);

// The exit code of a start that a system DLL it cannot do without is missing from: the C
// runtime for any run, COMCTL32 too for the window.
enum { SystemDllMissing = 3 };

#endif
