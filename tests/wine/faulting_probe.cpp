// For the Wine bench's copies of Tarrow whose chosen probe faults: FAULTING_PROBE names the
// probe this file replaces (linked first, multiple definitions allowed). With
// FAULT_WHILE_TIMING the probe first changes what a clock measurement changes (process
// priority class, thread priority, 1 ms timer resolution), then faults. Never shipped.
#include "base/tarrow.h"
#include "cpu/cpu_platform.h"

// A write to the first page, which is never mapped: an access violation.
static int Fault()
{
    __asm__ __volatile__("movl $0, 0x10" : : : "memory");
    return 0;
}

int FAULTING_PROBE()
{
#ifdef FAULT_WHILE_TIMING
    SetProcessPriority(PriorityClassRealtime);
    SetThreadPriorityLevel(ThreadPriorityTimeCritical);
    BeginTimerPeriod();
#endif
    return Fault();
}
