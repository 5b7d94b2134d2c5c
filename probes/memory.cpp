// The memory rows (physical memory and load) and the swap-file rows, each from its own
// reading of the memory status, and the texts they show.
#include "probes.h"
#include "../base/tarrow.h"
#include "../base/text.h"

// Units of the size text, largest first; a size must exceed the unit to be shown in it.
static const struct {
    uint32_t unit;
    int shift;
    const char *name;
} memoryUnits[] = {
    {0x40000000, 30, "GB"},
    {0x100000, 20, "MB"},
    {0x400, 10, "KB"},
};

// A whole count and its unit. The digits are written from the last one back: neither
// wsprintfA nor the old C runtimes convert 64-bit numbers.
static void FormatWholeCount(uint64_t count, const char *unit, char *out, size_t size)
{
    char digits[21]; // 2^64 has 20 digits
    char *first = digits + sizeof digits - 1;
    *first = '\0';
    do {
        *--first = (char)('0' + (int)(count % 10));
        count /= 10;
    } while (count != 0);
    CopyText(out, size, first);
    AppendText(out, size, unit);
}

void FormatPhysicalMemory(uint64_t totalBytes, char *out, size_t size)
{
    for (size_t i = 0; i < sizeof memoryUnits / sizeof memoryUnits[0]; ++i) {
        if (totalBytes > memoryUnits[i].unit) {
            uint64_t whole = totalBytes >> memoryUnits[i].shift;
            // Memory comes in even sizes; the system keeps some for itself, which makes
            // the whole count odd (127 MB of 128), so an odd count is raised by one.
            if (whole & 1)
                ++whole;
            FormatWholeCount(whole, memoryUnits[i].name, out, size);
            return;
        }
    }
    // No machine reports so little; the bytes are shown as they are.
    FormatByteSize((uint32_t)totalBytes, out, size);
}

void FormatMemoryLoad(uint32_t percent, char *out, size_t size)
{
    FormatText(out, size, "%lu%%", (unsigned long)percent);
}

void ReadMemoryFigures(MemoryFigures *figures)
{
    if (!QueryExtendedMemoryStatus(figures))
        QueryMemoryStatus(figures);
}

int AddMemoryRows()
{
    MemoryFigures figures;
    ReadMemoryFigures(&figures);
    char total[TextBufferSize], load[TextBufferSize];
    FormatPhysicalMemory(figures.totalPhys, total, sizeof total);
    AddReportRow("Total Physical Memory", total, IconMemory);
    FormatMemoryLoad(figures.memoryLoad, load, sizeof load);
    AddReportRow("% Memory Used", load, IconMemory);
    return 0;
}

int AddSwapFileRows()
{
    MemoryFigures figures;
    ReadMemoryFigures(&figures);
    char maximum[TextBufferSize], available[TextBufferSize];
    FormatByteCount(figures.totalPageFile, maximum, sizeof maximum);
    FormatByteCount(figures.availPageFile, available, sizeof available);
    AddReportRow("Max Swap File Size", maximum, IconDrive);
    AddReportRow("Available Swap File", available, IconDrive);
    return 0;
}
