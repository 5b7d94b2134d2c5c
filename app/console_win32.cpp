// Standard output on Windows through the C runtime DLL's own stream, in text mode, so a
// line end leaves the program as CR LF; a GUI program without a console loses the text.
#include "console.h"

#include <stdio.h>

void WriteStandardOutput(const char *text)
{
    fputs(text, stdout);
    fflush(stdout);
}
