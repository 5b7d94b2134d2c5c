// The "Free Disk Space" rows: one per fixed drive, in letter order. The extended query is
// looked up at run time, as the first Windows 95 lacks it and would not load a program
// that imports it.
#include "probes.h"
#include "../base/kernel_lookup.h"
#include "../base/tarrow.h"

#include <windows.h>

typedef BOOL(WINAPI *GetDiskFreeSpaceExAFunction)(LPCSTR, PULARGE_INTEGER, PULARGE_INTEGER,
                                                   PULARGE_INTEGER);

// The free space of a drive as a text; false when the query fails, and the drive is then
// left out rather than shown with a count the query never wrote.
static bool DescribeFreeSpace(const char *root, GetDiskFreeSpaceExAFunction extendedQuery,
                              char *out, size_t size)
{
    if (extendedQuery) {
        ULARGE_INTEGER available, total, totalFree;
        if (!extendedQuery(root, &available, &total, &totalFree))
            return false;
        FormatByteSize64(totalFree.QuadPart, out, size);
        return true;
    }
    DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
    if (!GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                           &totalClusters))
        return false;
    FormatClusterFreeSpace(sectorsPerCluster, bytesPerSector, freeClusters, out, size);
    return true;
}

int AddFreeDiskSpaceRows()
{
    GetDiskFreeSpaceExAFunction extendedQuery =
        (GetDiskFreeSpaceExAFunction)FindKernelFunction("GetDiskFreeSpaceExA");
    DWORD drives = GetLogicalDrives();
    for (int bit = 0; bit < 32; ++bit) {
        char root[8];
        if (!ListedDriveRoot(drives, bit, root, sizeof root) || GetDriveTypeA(root) != DRIVE_FIXED)
            continue;
        char freeSpace[TextBufferSize], details[TextBufferSize];
        if (!DescribeFreeSpace(root, extendedQuery, freeSpace, sizeof freeSpace))
            continue;
        FormatFreeSpaceDetails(root, freeSpace, details, sizeof details);
        AddReportRow("Free Disk Space", details, IconDrive);
    }
    return 0;
}
