// For the benchmark's copy of Tarrow without the processor code: a processor probe that
// adds no rows. That copy is linked with this file first and multiple definitions allowed,
// so this probe stands in for any other definition still in the program.
#include "base/tarrow.h"
#include "cpu/cpu_platform.h"

// Without the processor code no measurement begins a timer period.
void EndUnfinishedTimerPeriod()
{
}

// Nor changes the scheduling: the probe guard, which asks for it, finds nothing to restore.
uint32_t GetProcessPriority()
{
    return 0;
}

void SetProcessPriority(uint32_t)
{
}

int GetThreadPriorityLevel()
{
    return ThreadPriorityErrorReturn;
}

void SetThreadPriorityLevel(int)
{
}

int AddCpuRows()
{
    return 0;
}
