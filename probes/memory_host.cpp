// The memory status on the build host: figures the tests set, standing in for the two
// Windows queries.
#include "probes.h"
#include "memory_status.h"

static MemoryFigures extendedFigures, legacyFigures;
static bool extendedAvailable = false;

void SetMemoryStatus(const MemoryFigures *extended, const MemoryFigures &legacy)
{
    extendedAvailable = extended != NULL;
    if (extended)
        extendedFigures = *extended;
    legacyFigures = legacy;
}

bool QueryExtendedMemoryStatus(MemoryFigures *figures)
{
    if (!extendedAvailable)
        return false;
    *figures = extendedFigures;
    return true;
}

void QueryMemoryStatus(MemoryFigures *figures)
{
    *figures = legacyFigures;
}
