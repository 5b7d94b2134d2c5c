// The DirectX naming, the memory texts and the CD-ROM access-mode decision.
#include "probes/probes.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DescribeDirectXVersion, FirstMatchingTestDecides)
{
    const struct {
        const char *version, *name;
    } cases[] = {
        {"4.07.00.0700", "DirectX 7"},
        {"4.7.0.700", "DirectX 7"},
        {"4.06.02.0436", "DirectX 6.1"},
        {"4.6.2.436", "DirectX 6.1"},
        {"4.06.03.0518", "DirectX 6.1a"},
        {"4.6.3.518", "DirectX 6.1a"},
        {"4.06.00.0318", "DirectX 6"},
        {"4.05.01.1721", "DirectX 5"},
        {"4.04.00.0068", "DirectX 4"},
        {"4.03.00.1096", "DirectX 3"},
        {"4.08.00.0400", "DirectX"},
        {"4.09.00.0904", "DirectX"},
        {"", "DirectX"},
        {"4.06.4.07", "DirectX 7"},      // 7 is tested before 6
        {"4.06.02.4.6.3", "DirectX 6.1"}, // 6.1 before 6.1a
        {"4.05.4.04", "DirectX 5"},
        {"14.7", "DirectX 7"},           // a plain substring search
        {"4.5.3", "DirectX 5"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(c.name, DescribeDirectXVersion(c.version)) << c.version;
}

TEST(DescribeInstalledDirectX, FirstByteIsSigned)
{
    const struct {
        unsigned char byte;
        const char *text;
    } cases[] = {{3, "DirectX 3"}, {5, "DirectX 5"}, {0, "DirectX 0"}, {0xFF, "DirectX -1"}};
    for (const auto &c : cases) {
        char text[260];
        DescribeInstalledDirectX(c.byte, text, sizeof text);
        EXPECT_STREQ(c.text, text);
    }
}

TEST(FormatPhysicalMemory, StrictThresholdsAndEvenFigures)
{
    const struct {
        uint32_t bytes;
        const char *text;
    } cases[] = {
        {134217728, "128MB"},
        {133693440, "128MB"}, // 127.5 MB: the odd 127 becomes 128
        {67108864, "64MB"},
        {1073741824, "1024MB"}, // exactly 1 GB is not above it
        {1073741825, "2GB"},
        {3221225471u, "2GB"},
        {3221225472u, "4GB"},
        {4294967295u, "4GB"},
        {1048576, "1024KB"},
        {1048577, "2MB"},
        {1025, "2KB"},
        {1024, "1024Bytes"}, // too little for a unit
        {0, "0Bytes"},
    };
    for (const auto &c : cases) {
        char text[260];
        FormatPhysicalMemory(c.bytes, text, sizeof text);
        EXPECT_STREQ(c.text, text) << c.bytes;
    }
}

// One CD-ROM drive's query: its sector size, or -1 for a query that failed.
std::string DecideCdromAccessMode(std::initializer_list<long> drives)
{
    CdromAccessState state;
    StartCdromAccessState(&state);
    for (long sectorSize : drives)
        NoteCdromDrive(&state, sectorSize >= 0, sectorSize >= 0 ? (uint32_t)sectorSize : 0);
    const char *text = DescribeCdromAccessMode(&state);
    return text ? text : "(no row)";
}

TEST(CdromAccessMode, DecidedByTheDriveSequence)
{
    const struct {
        std::initializer_list<long> drives;
        const char *text;
    } cases[] = {
        {{2048}, "32-Bit Disk Access"},
        {{512}, "16-Bit Disk Access"},
        {{-1}, "(no row)"},
        {{2048, 512}, "16-Bit Disk Access"},
        {{512, 2048}, "32-Bit Disk Access"},
        {{2048, 0}, "(no row)"},
        {{0, 2048}, "(no row)"}, // once removed, the row stays removed
        {{2048, -1}, "32-Bit Disk Access"}, // the failed query keeps the size before it
        {{512, -1, 2048, -1}, "32-Bit Disk Access"},
        {{-1, 2048}, "(no row)"},
        {{}, "16-Bit Disk Access"},
        {{1024}, "16-Bit Disk Access"},
        {{2048, 1024}, "32-Bit Disk Access"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.text, DecideCdromAccessMode(c.drives));
}

} // namespace
