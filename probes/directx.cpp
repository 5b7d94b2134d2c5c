// The "DirectX Version" row: the installed DirectX named from the version texts its
// registry key holds. Platform-neutral over the registry seam.
#include "probes.h"
#include "../base/tarrow.h"
#include "../base/text.h"

// Each number is written both zero-padded and plain in the wild; the padded form first.
static bool ContainsEither(const char *text, const char *padded, const char *plain)
{
    return ContainsText(text, padded) || ContainsText(text, plain);
}

static const char *DescribeDirectX6(const char *version)
{
    if (ContainsEither(version, "4.06.02", "4.6.2"))
        return "DirectX 6.1";
    if (ContainsEither(version, "4.06.03", "4.6.3"))
        return "DirectX 6.1a";
    return "DirectX 6";
}

// Minor version numbers of DirectX 3 to 5 and the names they go by, newest first.
static const struct {
    const char *padded;
    const char *plain;
    const char *name;
} olderReleases[] = {
    {"4.05", "4.5", "DirectX 5"},
    {"4.04", "4.4", "DirectX 4"},
    {"4.03", "4.3", "DirectX 3"},
};

const char *DescribeDirectXVersion(const char *version)
{
    if (ContainsEither(version, "4.07", "4.7"))
        return "DirectX 7";
    if (ContainsEither(version, "4.06", "4.6"))
        return DescribeDirectX6(version);
    for (size_t i = 0; i < sizeof olderReleases / sizeof olderReleases[0]; ++i) {
        if (ContainsEither(version, olderReleases[i].padded, olderReleases[i].plain))
            return olderReleases[i].name;
    }
    return "DirectX"; // later releases and texts of another form
}

void DescribeInstalledDirectX(unsigned char firstByte, char *out, size_t size)
{
    FormatText(out, size, "DirectX %ld", (long)(signed char)firstByte);
}

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
    if (OpenRegKeyEx(REG_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", RegKeyRead, &key) ==
        RegOk) {
        DescribeDirectXKey(key, details, sizeof details);
        CloseRegKey(key);
    } else {
        CopyText(details, sizeof details, "DirectX");
    }
    AddReportRow("DirectX Version", details, IconDirectX);
    return 0;
}
