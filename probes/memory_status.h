// The build host's stand-in for the memory status, set by the tests.
#ifndef TARROW_MEMORY_STATUS_H
#define TARROW_MEMORY_STATUS_H

#include "probes.h"

// extended NULL: a system without the extended query (Windows 95, 98, NT 4), where only
// the legacy figures are read.
void SetMemoryStatus(const MemoryFigures *extended, const MemoryFigures &legacy);

#endif
