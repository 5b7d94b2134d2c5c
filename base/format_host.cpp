// FormatText on the build host: the C library's vsnprintf, which cuts and terminates.
#include "text.h"

#include <stdarg.h>
#include <stdio.h>

int FormatText(char *out, size_t size, const char *format, ...)
{
    if (size == 0)
        return 0;
    va_list args;
    va_start(args, format);
    int written = vsnprintf(out, size, format, args);
    va_end(args);
    if (written < 0) {
        out[0] = '\0';
        return 0;
    }
    return (size_t)written >= size ? (int)(size - 1) : written;
}
