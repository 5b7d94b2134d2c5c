// File, Create Log File and Edit, Copy: the report leaves the program as "tarrow.log" or as
// CF_TEXT on the clipboard.
#include "export.h"
#include "shell.h"
#include "../base/tarrow.h"

#include <stdio.h>

static const char logFileName[] = "tarrow.log";
static const char logErrorCaption[] = "Log File Creation Error";

int WriteLogFile()
{
    FILE *stream = fopen(logFileName, "w+");
    if (!stream) {
        MessageBoxA(NULL, "Could not open file for writing.", logErrorCaption, MB_OK);
        return -1;
    }
    // A line that could not be written, or data lost when the stream is flushed and
    // closed, is a failure: the user must not be told the log is complete.
    int linesWritten = WriteReportLines(stream);
    int closed = fclose(stream) == 0;
    if (!linesWritten || !closed) {
        MessageBoxA(NULL, "Could not write log file. Error writing to file", logErrorCaption,
                    MB_OK);
        return -2;
    }
    MessageBoxA(NULL, "Log file created successfully", "Log File Created", MB_OK);
    return 1;
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
