// File, Create Log File and Edit, Copy: the report leaves the program as "tarrow.log" or as
// CF_TEXT on the clipboard.
#include "export.h"
#include "shell.h"
#include "../base/tarrow.h"

static const char logFileName[] = "tarrow.log";
static const char logErrorCaption[] = "Log File Creation Error";

int WriteLogFile()
{
    int result = WriteLogFileTo(logFileName);
    if (result == -1)
        MessageBoxA(NULL, "Could not open file for writing.", logErrorCaption, MB_OK);
    else if (result == -2)
        MessageBoxA(NULL, "Could not write log file. Error writing to file", logErrorCaption,
                    MB_OK);
    else
        MessageBoxA(NULL, "Log file created successfully", "Log File Created", MB_OK);
    return result;
}

void CopyReportToClipboard()
{
    size_t size = MeasureClipboardText();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return;
    char *text = (char *)GlobalLock(block);
    if (!text) {
        GlobalFree(block);
        return;
    }
    BuildClipboardText(text, size);
    GlobalUnlock(block);

    if (!OpenClipboard(mainWindow)) {
        GlobalFree(block);
        return;
    }
    EmptyClipboard();
    if (!SetClipboardData(CF_TEXT, block))
        GlobalFree(block); // the system did not take it, so it is still ours
    CloseClipboard();
}
