// The "DirectX Version" row, from the DirectX key of the registry.
#include "probes.h"
#include "registry.h"
#include "../app/tarrow.h"
#include "../app/text.h"

#include <windows.h>

enum { DirectXValueOffered = 255 }; // bytes of a value offered to the registry

// "InstalledVersion" is binary; only its first byte, the major number, is used. A value
// without any data has no number.
static bool ReadInstalledVersion(HKEY key, unsigned char *firstByte)
{
    DWORD length = 0;
    if (RegQueryValueExA(key, "InstalledVersion", NULL, NULL, NULL, &length) != ERROR_SUCCESS ||
        length == 0)
        return false;
    char data[TextBufferSize];
    if (ReadRegistryText(key, "InstalledVersion", data, sizeof data, DirectXValueOffered) !=
        ERROR_SUCCESS)
        return false;
    *firstByte = (unsigned char)data[0];
    return true;
}

static void DescribeDirectXKey(HKEY key, char *details, size_t size)
{
    char version[TextBufferSize];
    unsigned char major = 0;
    if (ReadRegistryText(key, "Version", version, sizeof version, DirectXValueOffered) ==
        ERROR_SUCCESS)
        CopyText(details, size, DescribeDirectXVersion(version));
    else if (ReadInstalledVersion(key, &major))
        DescribeInstalledDirectX(major, details, size);
    else
        CopyText(details, size, "DirectX");
}

int AddDirectXRow()
{
    char details[TextBufferSize];
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 0, KEY_ALL_ACCESS,
                      &key) == ERROR_SUCCESS) {
        DescribeDirectXKey(key, details, sizeof details);
        RegCloseKey(key);
    } else {
        CopyText(details, sizeof details, "DirectX");
    }
    AddReportRow("DirectX Version", details, IconDirectX);
    return 0;
}
