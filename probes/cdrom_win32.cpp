// The "CDROM File Access Mode" row, judged by the sector size of the CD-ROM drives.
#include "probes.h"
#include "../base/tarrow.h"

#include <windows.h>

int AddCdromAccessModeRow()
{
    CdromAccessState state;
    StartCdromAccessState(&state);
    DWORD drives = GetLogicalDrives();
    for (int bit = 0; bit < 32; ++bit) {
        char root[8];
        if (!ListedDriveRoot(drives, bit, root, sizeof root) || GetDriveTypeA(root) != DRIVE_CDROM)
            continue;
        DWORD sectorsPerCluster, bytesPerSector, freeClusters, totalClusters;
        bool delivered = GetDiskFreeSpaceA(root, &sectorsPerCluster, &bytesPerSector,
                                           &freeClusters, &totalClusters) != FALSE;
        NoteCdromDrive(&state, delivered, delivered ? bytesPerSector : 0);
    }
    const char *details = DescribeCdromAccessMode(&state);
    if (details)
        AddReportRow("CDROM File Access Mode", details, IconCdrom);
    return 0;
}
