// Turning the report into the log file's and the clipboard's text, free of window calls.
#ifndef TARROW_EXPORT_H
#define TARROW_EXPORT_H

#include <stddef.h>
#include <stdio.h>

// Room for one exported line: two texts of at most 254 characters, their padding, the two
// TABs and the line end. Every line fits, so no line is ever cut.
enum { ExportLineBufferSize = 600 };

// "%-16s\t\t%-16s\n": one line of the log file.
int FormatLogLine(const char *label, const char *details, char *out, size_t size);

// "%-50s\t\t%-30s\r\n": one line of the clipboard text.
int FormatClipboardLine(const char *label, const char *details, char *out, size_t size);

// Bytes to allocate for the clipboard text: every row formatted with its details padded
// to 50 instead of 30, plus the terminating zero. Never less than the text needs.
size_t MeasureClipboardText();

// Writes the clipboard text of every row into block (size bytes, zero-filled); returns the
// text's length. The text is cut at size - 1 bytes should the block be too small.
size_t BuildClipboardText(char *block, size_t size);

// Writes one log line per row to an open stream. Returns 1 when every line and the final
// flush reached the stream, 0 at the first failure.
int WriteReportLines(FILE *stream);

#endif
