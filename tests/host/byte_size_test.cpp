// The byte-count formatters at every unit threshold, their rounding of halves, and the
// free-space texts built from the cluster-based query.
#include "probes/probes.h"

#include <gtest/gtest.h>

namespace {

struct ByteSizeCase {
    uint64_t bytes;
    const char *text;
};

const ByteSizeCase byteSize32Cases[] = {
    {0, "0Bytes"},
    {1024, "1024Bytes"},
    {1025, "1.00KB"},
    {1152, "1.13KB"}, // 1.125 KB: the half rounds up
    {1536, "1.50KB"},
    {4095, "4.00KB"},
    {1048575, "1024.00KB"},
    {1048576, "1024.00KB"},
    {1048577, "1.00MB"},
    {1572864, "1.50MB"},
    {1073741824, "1024.00MB"},
    {1073741825, "1.00GB"},
    {1207959552, "1.13GB"}, // 1.125 GB
    {1610612736, "1.50GB"},
    {4294967295u, "4.00GB"},
};

const ByteSizeCase byteSize64Cases[] = {
    {0, "0Bytes"},
    {1023, "1023Bytes"},
    {1024, "1KB"},
    {1536, "1KB"},
    {2047, "1KB"},
    {1048575, "1023KB"},
    {1048576, "1.00MB"},
    {1073741823, "1024.00MB"},
    {1073741824, "1.00GB"},
    {1207959552, "1.13GB"},
    {5905580032ull, "5.50GB"},
    {4294967296ull, "4.00GB"},
    {(1ull << 42) - 1, "4096.00GB"},
    {1ull << 42, "4.00TB"}, // whole KB past 32 bits: shown in TB, not wrapped
    {(1ull << 42) + (1ull << 39), "4.50TB"},
    {1ull << 50, "1024.00TB"},
    {~0ull, "16777216.00TB"},
};

TEST(FormatByteSize, EveryThreshold)
{
    for (const ByteSizeCase &c : byteSize32Cases) {
        char text[260];
        FormatByteSize((uint32_t)c.bytes, text, sizeof text);
        EXPECT_STREQ(c.text, text) << c.bytes;
    }
}

TEST(FormatByteSize64, EveryThreshold)
{
    for (const ByteSizeCase &c : byteSize64Cases) {
        char text[260];
        FormatByteSize64(c.bytes, text, sizeof text);
        EXPECT_STREQ(c.text, text) << c.bytes;
    }
}

TEST(FormatClusterFreeSpace, ProductsPastFourGigabytesKeepTheirSize)
{
    const struct {
        uint32_t sectorsPerCluster, bytesPerSector, freeClusters;
        const char *text;
    } cases[] = {
        {1, 512, 2, "1024Bytes"},        // the 32-bit formatter's texts below 4 GB
        {8, 512, 393216, "1.50GB"},
        {64, 512, 131071, "4.00GB"},     // 2^32 - 32 Kb
        {64, 512, 131072, "4.00GB"},     // 2^32: no longer fits 32 bits
        {64, 512, 393216, "12.00GB"},
        {128, 4096, 0xFFFFFFFFu, "2048.00TB"},
    };
    for (const auto &c : cases) {
        char text[260];
        FormatClusterFreeSpace(c.sectorsPerCluster, c.bytesPerSector, c.freeClusters, text,
                               sizeof text);
        EXPECT_STREQ(c.text, text) << c.freeClusters;
    }
}

TEST(FreeSpaceRows, RootNamesAndDetails)
{
    char root[8], details[260];
    FormatDriveRoot(2, root, sizeof root);
    EXPECT_STREQ("C:\\", root);
    FormatFreeSpaceDetails(root, "1.50GB", details, sizeof details);
    EXPECT_STREQ("C:\\   1.50GB", details);
    const struct {
        int bit;
        bool floppy;
    } roots[] = {{0, true}, {1, true}, {2, false}, {3, false}, {25, false}};
    for (const auto &r : roots) {
        FormatDriveRoot(r.bit, root, sizeof root);
        EXPECT_EQ(r.floppy, IsFloppyDriveRoot(root)) << root;
    }
}

TEST(FreeSpaceRows, OnlyPresentDrivesBeyondAAndBAreWalked)
{
    const uint32_t drives = 0x8000000Du; // A, C, D and bit 31
    const struct {
        int bit;
        bool listed;
    } bits[] = {{0, false}, {1, false}, {2, true}, {3, true}, {4, false}, {31, true}};
    char root[8];
    for (const auto &b : bits)
        EXPECT_EQ(b.listed, ListedDriveRoot(drives, b.bit, root, sizeof root)) << b.bit;
}

} // namespace
