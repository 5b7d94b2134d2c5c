// Naming the installed DirectX from the version texts its registry key holds.
#include "probes.h"
#include "../app/text.h"

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
