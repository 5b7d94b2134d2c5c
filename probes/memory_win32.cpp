// The memory status on Windows. GlobalMemoryStatusEx, from Windows 2000 on, gives the true
// 64-bit figures; GlobalMemoryStatus caps them at 2 or 4 GB for a program that is not
// large-address-aware. The extended call is looked up at run time: the first Windows 95
// lacks it and would not load a program that imports it.
#include "probes.h"
#include "../base/kernel_lookup.h"

#include <windows.h>
#include <string.h>

// MEMORYSTATUSEX as Windows 2000 lays it out; the oldest target's headers lack it.
struct ExtendedMemoryStatus {
    DWORD dwLength;
    DWORD dwMemoryLoad;
    DWORDLONG ullTotalPhys;
    DWORDLONG ullAvailPhys;
    DWORDLONG ullTotalPageFile;
    DWORDLONG ullAvailPageFile;
    DWORDLONG ullTotalVirtual;
    DWORDLONG ullAvailVirtual;
    DWORDLONG ullAvailExtendedVirtual;
};

typedef BOOL(WINAPI *GlobalMemoryStatusExFunction)(ExtendedMemoryStatus *);

bool QueryExtendedMemoryStatus(MemoryFigures *figures)
{
    GlobalMemoryStatusExFunction query =
        (GlobalMemoryStatusExFunction)FindKernelFunction("GlobalMemoryStatusEx");
    if (!query)
        return false;
    ExtendedMemoryStatus status;
    memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    if (!query(&status))
        return false;
    figures->memoryLoad = status.dwMemoryLoad;
    figures->totalPhys = status.ullTotalPhys;
    figures->totalPageFile = status.ullTotalPageFile;
    figures->availPageFile = status.ullAvailPageFile;
    return true;
}

void QueryMemoryStatus(MemoryFigures *figures)
{
    MEMORYSTATUS status;
    memset(&status, 0, sizeof status);
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    figures->memoryLoad = status.dwMemoryLoad;
    figures->totalPhys = status.dwTotalPhys;
    figures->totalPageFile = status.dwTotalPageFile;
    figures->availPageFile = status.dwAvailPageFile;
}
