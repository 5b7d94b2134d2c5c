// "tarrow.exe /log [FILE]": the inventory and the log without a window, for scripts. The
// rows still live in a report list, as they do under the main window, so they are taken
// and written exactly as File, Create Log File does; its window is never shown, is not of
// the main window's class (a copy started meanwhile must not take it for a running one),
// and no message box waits for a person. Where COMCTL32 cannot be loaded there is no list
// view: the rows are kept in the plain store instead, and the log is the same.
#include "shell.h"
#include "export.h"
#include "../base/system_dll.h"
#include "../base/tarrow.h"
#include "../resources/resource.h"

#include <commctrl.h>

// Exit codes of the run, for the script that started it.
enum { LogWritten = 0, LogNotOpened = 1, LogLineNotWritten = 2 };

static int ExitCodeOf(int writeResult)
{
    if (writeResult == 1)
        return LogWritten;
    return writeResult == -2 ? LogLineNotWritten : LogNotOpened;
}

// A size like the main window's list, so that its columns get their usual widths.
enum { hiddenListWidth = 456, hiddenListHeight = 343 };

// A hidden top-level window of the system's static class stands in for the main window:
// the colour-depth probe reads the screen's depth through its device context.
static HWND CreateHiddenReport(HINSTANCE instance)
{
    HWND owner = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL, instance, NULL);
    if (!owner)
        return NULL;
    mainWindow = owner;
    appInstance = instance;
    // Without COMCTL32, or should its list view not be made, the rows go to the plain store.
    HWND list = NULL;
    if (IsSystemDllBound(CommonControlsDll))
        list = CreateWindowExA(
            0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SINGLESEL | LVS_NOSORTHEADER, 0, 0,
            hiddenListWidth, hiddenListHeight, owner, (HMENU)IDC_REPORTLIST, instance, NULL);
    if (list) {
        reportListWindow = list;
        SetupReportColumns(list);
    }
    return owner;
}

int WriteLogWithoutWindow(HINSTANCE instance, const StartRequest *request)
{
    if (request->logPathTooLong)
        return LogNotOpened;
    InitCommonControls();
    HWND owner = CreateHiddenReport(instance);
    if (!owner)
        return LogNotOpened;
    RunInventoryPass();
    int code = ExitCodeOf(WriteLogFileTo(request->logPath));
    DestroyWindow(owner);
    return code;
}
