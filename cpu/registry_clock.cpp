// The clock rate the system recorded for the first processor, used unchanged when present.
#include "cpu.h"
#include "cpu_platform.h"

int ReadRegistryClock(CpuInfo *info)
{
    int32_t mhz;
    if (!ReadRegistryMhz(&mhz))
        return 0;
    StoreCpuSpeed(info, mhz);
    return 1;
}
