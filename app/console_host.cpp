// Standard output on the build host.
#include "console.h"

#include <stdio.h>

void WriteStandardOutput(const char *text)
{
    fputs(text, stdout);
    fflush(stdout);
}
