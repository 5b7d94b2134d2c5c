// Deciding the CD-ROM file access mode from the sector sizes the CD-ROM drives report:
// the 32-bit file system reports 2048 bytes per sector, the 16-bit real-mode path 512.
#include "probes.h"

#include <stddef.h>

enum {
    SectorSize32Bit = 0x800,
    SectorSize16Bit = 0x200,
};

void StartCdromAccessState(CdromAccessState *state)
{
    state->mode32 = false; // a machine without CD-ROM drive reads 16-bit
    state->suppress = false;
    state->bytesPerSector = 0;
}

// The last drive in letter order that reports a known size decides the mode; a size of
// 0, including a failed query before any query delivered a size, removes the row.
void NoteCdromDrive(CdromAccessState *state, bool delivered, uint32_t bytesPerSector)
{
    if (delivered)
        state->bytesPerSector = bytesPerSector;
    if (state->bytesPerSector == SectorSize32Bit)
        state->mode32 = true;
    else if (state->bytesPerSector == SectorSize16Bit)
        state->mode32 = false;
    else if (state->bytesPerSector == 0)
        state->suppress = true;
}

const char *DescribeCdromAccessMode(const CdromAccessState *state)
{
    if (state->suppress)
        return NULL;
    return state->mode32 ? "32-Bit Disk Access" : "16-Bit Disk Access";
}
