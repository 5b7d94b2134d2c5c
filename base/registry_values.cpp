// Bounded registry value reads over the registry seam: a value is cut at the caller's
// buffer whatever its stored type or length, and a text is always zero-terminated.
#include "registry_access.h"

#include <stdlib.h>
#include <string.h>

// Reads a value longer than `capacity` whole into a heap block and keeps its first
// `capacity` bytes.
static long ReadLongRegValue(RegKey key, const char *valueName, unsigned char *out,
                             unsigned long capacity, unsigned long *kept)
{
    unsigned long size = 0;
    long status = QueryRegValueEx(key, valueName, NULL, &size);
    if (status != RegOk)
        return status;
    unsigned char *block = (unsigned char *)malloc(size ? size : 1);
    if (!block)
        return RegNotEnoughMemory;
    unsigned long read = size;
    status = QueryRegValueEx(key, valueName, block, &read);
    if (status == RegOk) {
        *kept = read < capacity ? read : capacity;
        memcpy(out, block, *kept);
    }
    free(block);
    return status;
}

// Reads at most `capacity` bytes of a value into out; *kept gets the bytes kept.
static long ReadRegBytes(RegKey key, const char *valueName, unsigned char *out,
                         unsigned long capacity, unsigned long *kept)
{
    *kept = 0;
    unsigned long size = capacity;
    long status = QueryRegValueEx(key, valueName, out, &size);
    if (status == RegMoreData)
        return ReadLongRegValue(key, valueName, out, capacity, kept);
    if (status == RegOk)
        *kept = size < capacity ? size : capacity;
    return status;
}

long ReadRegText(RegKey key, const char *valueName, char *out, unsigned long outSize,
                 int *wasCut)
{
    if (wasCut)
        *wasCut = 0;
    if (outSize == 0)
        return RegNotEnoughMemory;
    // One byte more than the text may hold tells a text that fits from one that is cut.
    unsigned long kept = 0;
    long status = ReadRegBytes(key, valueName, (unsigned char *)out, outSize, &kept);
    if (status != RegOk) {
        out[0] = '\0';
        return status;
    }
    unsigned long length = 0;
    while (length < kept && out[length] != '\0')
        ++length;
    if (length == outSize) {
        length = outSize - 1;
        if (wasCut)
            *wasCut = 1;
    }
    out[length] = '\0';
    return RegOk;
}

long ReadRegNumber(RegKey key, const char *valueName, uint32_t *value)
{
    unsigned char bytes[4] = {0, 0, 0, 0};
    unsigned long kept = 0;
    long status = ReadRegBytes(key, valueName, bytes, sizeof bytes, &kept);
    if (status == RegOk)
        *value = (uint32_t)bytes[0] | (uint32_t)bytes[1] << 8 | (uint32_t)bytes[2] << 16 |
                 (uint32_t)bytes[3] << 24;
    return status;
}
