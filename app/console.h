// The program's one way to standard output, for the diagnostic line that never goes into
// the report (console_win32.cpp, console_host.cpp).
#ifndef TARROW_CONSOLE_H
#define TARROW_CONSOLE_H

// Writes text to standard output as it is, and flushes it, so the text is out even when
// the program ends through ExitProcess. Nothing happens when there is no standard output.
void WriteStandardOutput(const char *text);

#endif
