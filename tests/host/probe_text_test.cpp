// The DirectX naming, the memory texts and rows, and the CD-ROM access-mode decision.
#include "app/report_store.h"
#include "base/tarrow.h"
#include "probes/memory_status.h"
#include "probes/probes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
        uint64_t bytes;
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
        // The extended query's 64-bit figures keep the same rule.
        {2147483647, "2GB"},
        {2147483648u, "2GB"},
        {4294967296ull, "4GB"},
        {4294967297ull, "4GB"},
        {5368709120ull, "6GB"}, // 5 GB: odd, raised
        {17054121984ull, "16GB"},
        {25276178432ull, "24GB"},
        {1ull << 40, "1024GB"},
        {~0ull, "17179869184GB"}, // the whole count needs more than 32 bits
    };
    for (const auto &c : cases) {
        char text[260];
        FormatPhysicalMemory(c.bytes, text, sizeof text);
        EXPECT_STREQ(c.text, text) << c.bytes;
    }
}

struct Row {
    std::string label, details;
    ReportIcon icon;
    bool operator==(const Row &other) const
    {
        return label == other.label && details == other.details && icon == other.icon;
    }
};

std::vector<Row> ReportRows()
{
    std::vector<Row> rows;
    char label[ReportTextBufferSize], details[ReportTextBufferSize];
    for (int row = 0; row < GetReportRowCount(); ++row) {
        GetReportRowText(row, 0, label);
        GetReportRowText(row, 1, details);
        rows.push_back(Row{label, details, GetReportRowIcon(row)});
    }
    return rows;
}

// Both memory probes on a system with or without the extended query. Without it the legacy
// figures are shown as before; with it the true 64-bit figures, which on a machine of 2 GB
// or less give the same texts.
TEST(MemoryRows, ExtendedFiguresWhereTheSystemHasThem)
{
    const MemoryFigures legacy128 = {37, 134217728, 1572864, 0};
    const MemoryFigures capped = {61, 2147483647, 4294443007u, 4294967295u};
    const MemoryFigures large = {61, 25276178432ull, 25276186624ull, 4294967296ull};
    const MemoryFigures atTwoGb = {5, 2147483648u, 2147483648u, 4294967295u};
    const struct {
        const char *what;
        const MemoryFigures *extended;
        const MemoryFigures &legacy;
        const char *total, *load, *maximum, *available;
    } cases[] = {
        {"Windows 98, no extended query", NULL, legacy128, "128MB", "37%", "1.50MB", "0Bytes"},
        {"extended query, small machine", &legacy128, capped, "128MB", "37%", "1.50MB",
         "0Bytes"},
        {"NT 4 on a large machine: capped", NULL, capped, "2GB", "61%", "4.00GB", "4.00GB"},
        {"extended query on a large machine", &large, capped, "24GB", "61%", "23.54GB",
         "4.00GB"},
        {"extended query at 2^31 and 2^32 - 1", &atTwoGb, capped, "2GB", "5%", "2.00GB",
         "4.00GB"},
    };
    for (const auto &c : cases) {
        SetMemoryStatus(c.extended, c.legacy);
        ClearReport();
        AddMemoryRows();
        AddSwapFileRows();
        EXPECT_EQ((std::vector<Row>{{"Total Physical Memory", c.total, IconMemory},
                                    {"% Memory Used", c.load, IconMemory},
                                    {"Max Swap File Size", c.maximum, IconDrive},
                                    {"Available Swap File", c.available, IconDrive}}),
                  ReportRows())
            << c.what;
    }
    ClearReport();
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
