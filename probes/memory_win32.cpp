// The memory rows (physical memory and load) and the swap-file rows, each from its own
// reading of the memory status.
#include "probes.h"
#include "../app/tarrow.h"

#include <windows.h>
#include <string.h>

static void ReadMemoryStatus(MEMORYSTATUS *status)
{
    memset(status, 0, sizeof *status);
    status->dwLength = sizeof *status;
    GlobalMemoryStatus(status);
}

int AddMemoryRows()
{
    MEMORYSTATUS status;
    ReadMemoryStatus(&status);
    char total[TextBufferSize], load[TextBufferSize];
    FormatPhysicalMemory(status.dwTotalPhys, total, sizeof total);
    AddReportRow("Total Physical Memory", total, IconMemory);
    FormatMemoryLoad(status.dwMemoryLoad, load, sizeof load);
    AddReportRow("% Memory Used", load, IconMemory);
    return 0;
}

int AddSwapFileRows()
{
    MEMORYSTATUS status;
    ReadMemoryStatus(&status);
    char maximum[TextBufferSize], available[TextBufferSize];
    FormatByteSize(status.dwTotalPageFile, maximum, sizeof maximum);
    FormatByteSize(status.dwAvailPageFile, available, sizeof available);
    AddReportRow("Max Swap File Size", maximum, IconDrive);
    AddReportRow("Available Swap File", available, IconDrive);
    return 0;
}
