// FormatText on Windows: the C runtime DLL's own _vsnprintf, which does not always
// terminate a cut text, so the last byte is forced to zero.
#include "text.h"

#include <stdarg.h>
#include <stdio.h>

int FormatText(char *out, size_t size, const char *format, ...)
{
    if (size == 0)
        return 0;
    va_list args;
    va_start(args, format);
    int written = _vsnprintf(out, size, format, args);
    va_end(args);
    if (written < 0 || (size_t)written >= size) {
        out[size - 1] = '\0';
        return (int)(size - 1);
    }
    return written;
}
