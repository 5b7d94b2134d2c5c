// The inventory pass: every probe once, in report order. Rows are only appended, so this
// order is the order of the report, the log file and the clipboard.
#include "tarrow.h"

OsFacts osFacts;

int RunInventoryPass()
{
    AddOsVersionRow();
    AddDirectXRow();
    AddCpuRows();
    AddMemoryRows();
    AddResolutionRow();
    AddColorDepthRow();
    AddGlideRows();
    AddFreeDiskSpaceRows();
    AddSwapFileRows();
    AddCdromAccessModeRow();
    AddNetworkProtocolRows();
    AddMakerTitleRows();
    // Device rows exist only where the configuration manager keeps them in the registry.
    if (osFacts.isWindows95 || osFacts.isWindows98)
        AddVideoAndMultimediaRows();
    return 0;
}
