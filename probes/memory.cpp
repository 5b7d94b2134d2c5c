// The texts of the physical-memory rows.
#include "probes.h"
#include "../app/text.h"

// Units of the size text, largest first; a size must exceed the unit to be shown in it.
static const struct {
    uint32_t unit;
    int shift;
    const char *format;
} memoryUnits[] = {
    {0x40000000, 30, "%luGB"},
    {0x100000, 20, "%luMB"},
    {0x400, 10, "%luKB"},
};

void FormatPhysicalMemory(uint32_t totalBytes, char *out, size_t size)
{
    for (size_t i = 0; i < sizeof memoryUnits / sizeof memoryUnits[0]; ++i) {
        if (totalBytes > memoryUnits[i].unit) {
            unsigned long whole = totalBytes >> memoryUnits[i].shift;
            // Memory comes in even sizes; the system keeps some for itself, which makes
            // the whole count odd (127 MB of 128), so an odd count is raised by one.
            if (whole & 1)
                ++whole;
            FormatText(out, size, memoryUnits[i].format, whole);
            return;
        }
    }
    // No machine reports so little; the bytes are shown as they are.
    FormatByteSize(totalBytes, out, size);
}

void FormatMemoryLoad(uint32_t percent, char *out, size_t size)
{
    FormatText(out, size, "%lu%%", (unsigned long)percent);
}
