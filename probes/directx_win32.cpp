// The "DirectX Version" row, from the DirectX key of the registry.
#include "probes.h"
#include "../app/tarrow.h"
#include "../app/text.h"

enum { DirectXValueBufferSize = 256 }; // 255 bytes of a value, then the zero

// "InstalledVersion" is binary; only its first byte, the major number, is used. A value
// without any data has no number.
static bool ReadInstalledVersion(RegKey key, unsigned char *firstByte)
{
    unsigned long length = 0;
    if (QueryRegValueEx(key, "InstalledVersion", NULL, &length) != RegOk || length == 0)
        return false;
    char data[DirectXValueBufferSize];
    if (ReadRegText(key, "InstalledVersion", data, sizeof data, NULL) != RegOk)
        return false;
    *firstByte = (unsigned char)data[0];
    return true;
}

static void DescribeDirectXKey(RegKey key, char *details, size_t size)
{
    char version[DirectXValueBufferSize];
    unsigned char major = 0;
    if (ReadRegText(key, "Version", version, sizeof version, NULL) == RegOk)
        CopyText(details, size, DescribeDirectXVersion(version));
    else if (ReadInstalledVersion(key, &major))
        DescribeInstalledDirectX(major, details, size);
    else
        CopyText(details, size, "DirectX");
}

int AddDirectXRow()
{
    char details[TextBufferSize];
    RegKey key;
    if (OpenRegKeyEx(REG_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", RegKeyAllAccess, &key) ==
        RegOk) {
        DescribeDirectXKey(key, details, sizeof details);
        CloseRegKey(key);
    } else {
        CopyText(details, sizeof details, "DirectX");
    }
    AddReportRow("DirectX Version", details, IconDirectX);
    return 0;
}
