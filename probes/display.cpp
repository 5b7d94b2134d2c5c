// The texts of the display-mode rows.
#include "probes.h"
#include "../base/text.h"

void FormatResolution(long width, long height, char *out, size_t size)
{
    FormatText(out, size, "%ld x %ld", width, height);
}

void FormatColorDepth(long bitsPerPixel, char *out, size_t size)
{
    FormatText(out, size, "%ld-Bit", bitsPerPixel); // shown as the device reports it
}
