// Naming the operating system from its version numbers.
#include "probes.h"
#include "../base/text.h"

enum {
    PlatformWin32s = 0,
    PlatformWindows = 1, // Windows 95, 98 and Me
    PlatformNt = 2,
    LastWindows95Build = 1080, // builds above are Windows 95 OSR2
};

static void DescribeWindowsPlatform(uint32_t major, uint32_t minor, uint32_t build,
                                    OsDescription *out)
{
    // The high word of the build number repeats the version on this platform.
    unsigned long buildLow = build & 0xFFFF;
    const char *format;
    if (minor == 0 && buildLow <= LastWindows95Build) {
        format = "Windows 95 v%lu.%lu.%lu";
        out->isWindows95 = 1;
    } else if (minor == 0) {
        format = "Windows 95 OSR2 v%lu.%lu.%lu";
    } else {
        format = "Windows 98 v%lu.%lu.%lu";
        out->isWindows98 = 1;
    }
    FormatText(out->text, sizeof out->text, format, (unsigned long)major, (unsigned long)minor,
               buildLow);
}

static void DescribeNtPlatform(uint32_t major, uint32_t minor, uint32_t build,
                               const char *servicePack, OsDescription *out)
{
    unsigned long ma = major, mi = minor, bu = build;
    if (major == 3)
        FormatText(out->text, sizeof out->text, "Windows NT3.%lu", mi);
    else if (major == 4)
        FormatText(out->text, sizeof out->text, "Windows NT4 %s v%lu.%lu.%lu", servicePack, 4UL,
                   mi, bu);
    else if (major == 5)
        FormatText(out->text, sizeof out->text, "Windows 2000 v%lu.%lu.%lu", 5UL, mi, bu);
    else
        FormatText(out->text, sizeof out->text, "Windows NT%lu v%lu.%lu.%lu", ma, ma, mi, bu);
}

void DescribeOsVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                       const char *servicePack, OsDescription *out)
{
    out->text[0] = '\0';
    out->isWindows95 = 0;
    out->isWindows98 = 0;
    switch (platformId) {
    case PlatformWin32s:
        CopyText(out->text, sizeof out->text, "Windows 3.x");
        break;
    case PlatformWindows:
        DescribeWindowsPlatform(major, minor, build, out);
        break;
    case PlatformNt:
        DescribeNtPlatform(major, minor, build, servicePack, out);
        break;
    default: // an unknown platform still gets its row, with an empty text
        break;
    }
}
