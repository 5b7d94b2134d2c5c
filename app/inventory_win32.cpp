// The inventory pass: every probe once, in report order. Rows are only appended, so this
// order is the order of the report, the log file and the clipboard. Each probe runs
// contained: one that faults loses only the rows it had not added, and the pass goes on.
#include "probe_guard.h"
#include "../base/tarrow.h"

OsFacts osFacts;

static const ProbeFunction probesInReportOrder[] = {
    AddOsVersionRow,       AddDirectXRow,          AddCpuRows,
    AddMemoryRows,         AddResolutionRow,       AddColorDepthRow,
    AddGlideRows,          AddFreeDiskSpaceRows,   AddSwapFileRows,
    AddCdromAccessModeRow, AddNetworkProtocolRows, AddMakerTitleRows,
};

int RunInventoryPass()
{
    for (unsigned i = 0; i < sizeof probesInReportOrder / sizeof probesInReportOrder[0]; ++i)
        RunContainedProbe(probesInReportOrder[i]);
    // Device rows exist only where the configuration manager keeps them in the registry.
    if (osFacts.isWindows95 || osFacts.isWindows98)
        RunContainedProbe(AddVideoAndMultimediaRows);
    return 0;
}
