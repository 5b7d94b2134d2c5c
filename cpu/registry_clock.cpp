// The clock rate the system recorded for the first processor, in whole MHz, used unchanged
// when present. Read through the registry seam with read rights only.
#include "cpu.h"
#include "../base/registry_access.h"

#include <stddef.h>

static const char processorKey[] = "Hardware\\Description\\System\\CentralProcessor\\0";

int ReadRegistryClockMhz(int32_t *mhz)
{
    RegKey key = NULL;
    int found = 0;
    if (OpenRegKeyEx(REG_LOCAL_MACHINE, processorKey, RegKeyRead, &key) == RegOk) {
        // Whole MHz in at most four bytes: longer data does not fit and is no clock rate;
        // shorter data leaves the high bytes zero.
        unsigned char data[4] = {0, 0, 0, 0};
        unsigned long size = sizeof data;
        if (QueryRegValueEx(key, "~MHZ", data, &size) == RegOk) {
            *mhz = (int32_t)((uint32_t)data[0] | (uint32_t)data[1] << 8 |
                             (uint32_t)data[2] << 16 | (uint32_t)data[3] << 24);
            found = 1;
        }
    }
    if (key != NULL)
        CloseRegKey(key);
    return found;
}
