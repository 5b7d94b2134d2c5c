// Probes that are not written yet add no rows.
#include "tarrow.h"
#include "text.h"

int AddDirectXRow() { return 0; }
int AddCpuRows() { return 0; }
int AddMemoryRows() { return 0; }
int AddResolutionRow() { return 0; }
int AddColorDepthRow() { return 0; }
int AddGlideRows() { return 0; }
int AddFreeDiskSpaceRows() { return 0; }
int AddSwapFileRows() { return 0; }
int AddCdromAccessModeRow() { return 0; }
int AddNetworkProtocolRows() { return 0; }

// Stands in for the file version lookup until it lands: every file is without a version.
int GetFileProductVersion(const char *path, char *text)
{
    (void)path;
    CopyText(text, 260, "No Version Info");
    return 0;
}
