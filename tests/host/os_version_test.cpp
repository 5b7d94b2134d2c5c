// Naming the operating system: the platform and build-number rules.
#include "probes/probes.h"

#include <gtest/gtest.h>

namespace {

struct OsCase {
    uint32_t platform, major, minor, build;
    const char *servicePack;
    const char *text;
    int isWindows95, isWindows98;
};

const OsCase osCases[] = {
    {1, 4, 0, 950, "", "Windows 95 v4.0.950", 1, 0},
    {1, 4, 0, 0x040003B6, "", "Windows 95 v4.0.950", 1, 0},
    {1, 4, 0, 1080, "", "Windows 95 v4.0.1080", 1, 0},
    {1, 4, 0, 1081, "", "Windows 95 OSR2 v4.0.1081", 0, 0},
    {1, 4, 0, 0x04000457, " B ", "Windows 95 OSR2 v4.0.1111", 0, 0},
    {1, 4, 10, 0x040A07CE, "", "Windows 98 v4.10.1998", 0, 1},
    {1, 4, 10, 0x040A08AE, " A ", "Windows 98 v4.10.2222", 0, 1},
    {1, 4, 90, 0x045A0BB8, "", "Windows 98 v4.90.3000", 0, 1},
    {1, 5, 0, 500, "", "Windows 95 v5.0.500", 1, 0}, // the major version is not tested
    {2, 3, 51, 1057, "", "Windows NT3.51", 0, 0},
    {2, 3, 10, 528, "", "Windows NT3.10", 0, 0},
    {2, 4, 0, 1381, "", "Windows NT4  v4.0.1381", 0, 0},
    {2, 4, 0, 1381, "Service Pack 6a", "Windows NT4 Service Pack 6a v4.0.1381", 0, 0},
    {2, 5, 0, 2195, "Service Pack 4", "Windows 2000 v5.0.2195", 0, 0},
    {2, 5, 1, 2600, "Service Pack 3", "Windows 2000 v5.1.2600", 0, 0},
    {2, 6, 0, 6000, "", "Windows NT6 v6.0.6000", 0, 0},
    {2, 6, 1, 7601, "Service Pack 1", "Windows NT6 v6.1.7601", 0, 0},
    {2, 10, 0, 4294967295u, "", "Windows NT10 v10.0.4294967295", 0, 0},
    {0, 3, 11, 0, "", "Windows 3.x", 0, 0},
    {3, 10, 0, 0, "", "", 0, 0}, // unknown platform: an empty text, no flag
};

TEST(DescribeOsVersion, NamesEveryPlatformAndBuild)
{
    for (const OsCase &c : osCases) {
        OsDescription d;
        DescribeOsVersion(c.platform, c.major, c.minor, c.build, c.servicePack, &d);
        EXPECT_STREQ(c.text, d.text) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(c.isWindows95, d.isWindows95) << c.text;
        EXPECT_EQ(c.isWindows98, d.isWindows98) << c.text;
    }
}

TEST(DescribeOsVersion, LongServicePackIsCutAtTheBuffer)
{
    char longText[600];
    memset(longText, 'x', sizeof longText - 1);
    longText[sizeof longText - 1] = '\0';
    OsDescription d;
    DescribeOsVersion(2, 4, 0, 1381, longText, &d);
    EXPECT_EQ(259u, strlen(d.text));
}

} // namespace
