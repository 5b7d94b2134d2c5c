// The log file's and the clipboard's text, built from the rows read back from the report.
#include "export.h"
#include "command_line.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <string.h>

int FormatLogLine(const char *label, const char *details, char *out, size_t size)
{
    return FormatText(out, size, "%-16s\t\t%-16s\n", label, details);
}

int FormatClipboardLine(const char *label, const char *details, char *out, size_t size)
{
    return FormatText(out, size, "%-50s\t\t%-30s\r\n", label, details);
}

// Reads a row's label and details; each is cut to 254 characters by the report.
static void ReadRow(int row, char *label, char *details)
{
    GetReportRowText(row, 0, label);
    GetReportRowText(row, 1, details);
}

size_t MeasureClipboardText()
{
    char label[ReportTextBufferSize + 1], details[ReportTextBufferSize + 1];
    char line[ExportLineBufferSize];
    size_t total = 0;
    int count = GetReportRowCount();
    for (int row = 0; row < count; ++row) {
        ReadRow(row, label, details);
        total += FormatText(line, sizeof line, "%-50s\t\t%-50s\r\n", label, details);
    }
    return total + 1;
}

size_t BuildClipboardText(char *block, size_t size)
{
    char label[ReportTextBufferSize + 1], details[ReportTextBufferSize + 1];
    char line[ExportLineBufferSize];
    size_t used = 0;
    int count = GetReportRowCount();
    for (int row = 0; row < count && used + 1 < size; ++row) {
        ReadRow(row, label, details);
        size_t length = FormatClipboardLine(label, details, line, sizeof line);
        if (length > size - 1 - used)
            length = size - 1 - used;
        memcpy(block + used, line, length);
        used += length;
    }
    if (size > 0)
        block[used] = '\0';
    return used;
}

int WriteReportLines(FILE *stream)
{
    char label[ReportTextBufferSize + 1], details[ReportTextBufferSize + 1];
    char line[ExportLineBufferSize];
    int count = GetReportRowCount();
    for (int row = 0; row < count; ++row) {
        ReadRow(row, label, details);
        int length = FormatLogLine(label, details, line, sizeof line);
        if (fwrite(line, 1, (size_t)length, stream) != (size_t)length)
            return 0;
    }
    return fflush(stream) == 0 ? 1 : 0;
}

int WriteLogFileTo(const char *path)
{
    char newPath[LogPathBufferSize + 4];
    if (strlen(path) + 4 >= sizeof newPath)
        return -1;
    CopyText(newPath, sizeof newPath, path);
    AppendText(newPath, sizeof newPath, ".new");

    FILE *stream = OpenNewLogFile(newPath);
    if (!stream)
        return -1;
    // A line that could not be written, or data lost when the stream is flushed and
    // closed, is a failure: the user must not be told the log is complete.
    int linesWritten = WriteReportLines(stream);
    int closed = fclose(stream) == 0;
    if (!linesWritten || !closed) {
        RemoveLogFile(newPath);
        return -2;
    }
    if (!ReplaceLogFile(newPath, path))
        return -1;
    return 1;
}
