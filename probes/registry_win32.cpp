// Registry reads shared by the probes: a value read as text never leaves the buffer, and
// is always zero-terminated, whatever its type or length.
#include "registry.h"

#include <string.h>

// Reads a value too long for the caller's buffer whole into a heap block, then keeps its
// first `offered` bytes.
static LONG ReadLongRegistryText(HKEY key, const char *valueName, char *out, DWORD offered)
{
    DWORD length = 0;
    LONG status = RegQueryValueExA(key, valueName, NULL, NULL, NULL, &length);
    if (status != ERROR_SUCCESS)
        return status;
    HANDLE heap = GetProcessHeap();
    BYTE *block = (BYTE *)HeapAlloc(heap, 0, length + 1);
    if (!block)
        return ERROR_NOT_ENOUGH_MEMORY;
    DWORD read = length;
    status = RegQueryValueExA(key, valueName, NULL, NULL, block, &read);
    if (status == ERROR_SUCCESS) {
        DWORD kept = read < offered ? read : offered;
        memcpy(out, block, kept);
        out[kept] = '\0';
    }
    HeapFree(heap, 0, block);
    return status;
}

LONG ReadRegistryText(HKEY key, const char *valueName, char *out, DWORD outSize, DWORD offered)
{
    if (outSize == 0)
        return ERROR_INVALID_PARAMETER;
    if (offered >= outSize)
        offered = outSize - 1;
    memset(out, 0, outSize);
    DWORD length = offered;
    LONG status = RegQueryValueExA(key, valueName, NULL, NULL, (BYTE *)out, &length);
    if (status == ERROR_MORE_DATA)
        status = ReadLongRegistryText(key, valueName, out, offered);
    if (status != ERROR_SUCCESS) {
        out[0] = '\0';
        return status;
    }
    if (length > offered)
        length = offered;
    out[length] = '\0'; // the stored text may lack its own zero
    return ERROR_SUCCESS;
}
