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

// Writes the log to path: 1 when it was written, -1 when it could not be opened (or put in
// place), -2 when a line could not be written. The lines go to a new file beside it, named
// path with ".new" added, which takes the place of an old file at path only once it is
// complete and closed; on a failure the new file is removed and the old one is left as it
// was. No message is shown.
int WriteLogFileTo(const char *path);

// log_file_win32.cpp (log_file_host.cpp on the build host): the file steps of a log.
// Opens a new, empty text file for writing; NULL when it cannot be opened.
FILE *OpenNewLogFile(const char *path);
// Puts the complete file newPath in the place of target, replacing a file there. 1 when
// done, 0 when target cannot be replaced: newPath is then removed, unless the old target
// was already deleted, when it stays as the one complete log.
int ReplaceLogFile(const char *newPath, const char *target);
// Removes a file; a missing file is no error.
void RemoveLogFile(const char *path);
// Host builds only: makes the given line (counted from 1) of the next log written fail,
// as a full disk would; 0 makes none fail.
void FailLogLineForTest(int line);

#endif
