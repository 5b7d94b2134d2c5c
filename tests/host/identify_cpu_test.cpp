// The identification run end to end on the simulated processor: each vendor's branch, its
// result, and the three processor rows it leaves in the report.
#include "app/report_store.h"
#include "base/tarrow.h"
#include "cpu/cpu.h"
#include "tests/host/support/fake_registry.h"
#include "tests/host/support/simulated_cpu.h"

#include <gtest/gtest.h>

#include <string.h>

namespace {

const uint32_t Mmx = 0x800000, Tsc = 0x10;

void Intel(uint32_t signature, uint32_t features)
{
    SetSimulatedVendor("GenuineIntel", 1);
    SetSimulatedLeaf(1, signature, 0, 0, features);
}

void Cyrix(uint32_t highest, uint32_t feature, uint32_t signature)
{
    SetSimulatedVendor("CyrixInstead", 1);
    SetSimulatedLeaf(1, signature, 0, 0, Mmx);
    SetSimulatedLeaf(0x80000000u, highest, 0, 0, feature);
    simulatedCpu.cyrixRegisters[0xFE] = 0x31; // class 4
    simulatedCpu.divideClocksPerPass = 86;
    simulatedCpu.portNs = 0;
}

void IntelWithTsc()
{
    Intel(0x543, Tsc | Mmx);
    simulatedCpu.systemAffinityMask = 0x5;
}
void IntelLoopFamily4()
{
    Intel(0x480, 0);
    simulatedCpu.khz = {100000};
    simulatedCpu.systemAffinityMask = 0x3;
}
void IntelFamily2() { Intel(0x200, 0); }
void AmdRegistry()
{
    SetSimulatedVendor("AuthenticAMD", 1);
    SetSimulatedLeaf(1, 0x58C, 0, 0, Mmx | Tsc);
    SetSimulatedBrandString("AMD-K6(tm) 3D processor");
    RecordSimulatedMhz(450);
    simulatedCpu.systemAffinityMask = 0x3;
    simulatedCpu.activeProcessors = 8; // counted for Intel only
}
void AmdMeasured()
{
    SetSimulatedVendor("AuthenticAMD", 1);
    SetSimulatedLeaf(1, 0x501, 0, 0, Tsc);
    SetSimulatedBrandString("AMD-K5(tm) Processor");
    simulatedCpu.khz = {99000};
}
void CyrixBrand()
{
    Cyrix(0x80000004u, 0, 0x662);
    SetSimulatedBrandString("VIA Cyrix III");
    RecordSimulatedMhz(0);
}
void CyrixTable()
{
    Cyrix(0x80000000u, 0x105, 0x520);
    simulatedCpu.khz = {150000};
}
void CyrixUnnamed()
{
    Cyrix(0x80000002u, 0, 0x600);
    RecordSimulatedMhz(233);
}
void CyrixOnNt()
{
    Cyrix(0x80000000u, 0, 0x600);
    simulatedCpu.portsAllowed = false;
}
void Centaur()
{
    SetSimulatedVendor("CentaurHauls", 1);
    SetSimulatedLeaf(1, 0x580, 0, 0, Mmx | Tsc);
    SetSimulatedBrandString("IDT WinChip 2");
    simulatedCpu.khz = {200000};
    RecordSimulatedMhz(1); // never asked for
}
void UnknownVendor()
{
    SetSimulatedVendor("RiseRiseRise", 1);
    SetSimulatedLeaf(1, 0x504, 0, 0, Mmx | Tsc);
    simulatedCpu.khz = {233000};
    simulatedCpu.systemAffinityMask = 0xF;
}
void NoCpuid() { simulatedCpu.idFlagToggles = false; }
void LeafZeroFaults() { simulatedCpu.faultingLeaves.insert(0); }
void MmxRefused()
{
    UnknownVendor();
    simulatedCpu.emmsFaults = true;
}

struct Branch {
    const char *what;
    void (*setUp)();
    int result;
    const char *model, *speed, *count;
    bool registryRead, measured;
};

const Branch branches[] = {
    {"Intel, time-stamp counter", IntelWithTsc, 0,
     "Intel Pentium Processor with MMX(tm) Technology", "300MHz", "2", false, true},
    {"Intel, loop route", IntelLoopFamily4, 0, "Intel 486DX4 Processor", "100MHz", "2", false,
     true},
    {"Intel, family 2", IntelFamily2, 0, "Unknown Intel Processor", "0MHz", "1", false, false},
    {"AMD, registry", AmdRegistry, 1, "AMD-K6(tm) 3D processor with MMX(tm) Technology",
     "450MHz", "1", true, false},
    {"AMD, timer", AmdMeasured, 0, "AMD-K5(tm) Processor", "100MHz", "1", true, true},
    {"Cyrix, brand string", CyrixBrand, 1, "VIA Cyrix III with MMX(tm) Technology", "0MHz", "1",
     true, false},
    {"Cyrix, table", CyrixTable, 0, "Cyrix 6x86L(tm) with MMX(tm) Technology", "150MHz", "1",
     true, false},
    {"Cyrix, unnamed", CyrixUnnamed, 1, " with MMX(tm) Technology", "233MHz", "1", true, false},
    {"Cyrix, ports refused", CyrixOnNt, 0, "Cyrix 6x86MX(tm) with MMX(tm) Technology", "0MHz",
     "1", true, false},
    {"Centaur", Centaur, 0, "IDT WinChip 2 with MMX(tm) Technology", "200MHz", "1", false, true},
    {"unknown vendor", UnknownVendor, 0, "Unknown Processor with MMX(tm) Technology", "233MHz",
     "1", false, true},
    {"EMMS refused", MmxRefused, 0, "Unknown Processor", "233MHz", "1", false, true},
    {"no CPUID", NoCpuid, -101, "", "0MHz", "1", false, false},
    {"leaf 0 faults", LeafZeroFaults, -102, "", "0MHz", "1", false, false},
};

std::string RowDetails(int row)
{
    char text[ReportTextBufferSize];
    GetReportRowText(row, 1, text);
    return text;
}

TEST(IdentifyCpu, EveryBranchGivesItsResultAndRows)
{
    for (const Branch &b : branches) {
        ResetSimulatedCpu();
        b.setUp();
        CpuInfo info;
        InitCpuInfo(&info);
        EXPECT_EQ(b.result, IdentifyCpu(&info)) << b.what;
        EXPECT_EQ(b.registryRead, CountFakeOpenRequests() == 1) << b.what;
        EXPECT_EQ(0, CountOpenFakeKeys()) << b.what;
        EXPECT_EQ(b.measured, simulatedCpu.counterReads + simulatedCpu.timerReads > 0) << b.what;

        ResetSimulatedCpu();
        b.setUp();
        ClearReport();
        EXPECT_EQ(0, AddCpuRows());
        ASSERT_EQ(3, GetReportRowCount()) << b.what;
        const char *labels[] = {"CPU Model/Name", "CPU Speed", "# of CPU's"};
        const char *details[] = {b.model, b.speed, b.count};
        for (int row = 0; row < 3; ++row) {
            char label[ReportTextBufferSize];
            GetReportRowText(row, 0, label);
            EXPECT_STREQ(labels[row], label);
            EXPECT_EQ(details[row], RowDetails(row)) << b.what;
            EXPECT_EQ(IconProcessor, GetReportRowIcon(row));
        }
    }
    ClearReport();
}

TEST(IdentifyCpu, SpeedTextHoldsEveryThirtyTwoBitValue)
{
    const struct {
        int32_t mhz;
        const char *row;
    } cases[] = {{450, "450MHz"},
                 {999999, "999999MHz"},
                 {1234567, "1234567MHz"},
                 {-1, "-1MHz"},
                 {2147483647, "2147483647MHz"},
                 {-2147483647 - 1, "-2147483648MHz"}};
    for (const auto &c : cases) {
        ResetSimulatedCpu();
        AmdRegistry();
        RecordSimulatedMhz(c.mhz);
        ClearReport();
        AddCpuRows();
        EXPECT_EQ(c.row, RowDetails(1));
        EXPECT_EQ("1", RowDetails(2)); // the field after the text is untouched
    }
    ClearReport();
}

TEST(IdentifyCpu, ProcessorCountOfEveryGroupElseTheSystemMaskBits)
{
    const struct {
        int32_t active; // GetActiveProcessorCount's answer; 0: the system lacks it
        bool affinityKnown;
        ProcessorMask systemMask;
        int32_t count;
    } cases[] = {
        {0, true, 0x5, 2},
        {0, true, 0, 0},
        {0, true, 0xFFFFFFFFu, 32},
        // A 64-bit program's mask: every bit counts, the upper half's too.
        {0, true, (ProcessorMask)0x100000001ull, 2},
        {0, true, (ProcessorMask)0xFFFF000000000000ull, 16},
        {0, true, ~(ProcessorMask)0, 64},
        {0, false, 0xF, 1},
        {48, true, 0xFFFFFFFFu, 48},   // 48 processors, one 32-bit mask
        {160, true, 0xFFFFFFFFu, 160}, // three processor groups
        {2, false, 0, 2},
    };
    for (const auto &c : cases) {
        ResetSimulatedCpu();
        simulatedCpu.activeProcessors = c.active;
        simulatedCpu.affinityKnown = c.affinityKnown;
        simulatedCpu.systemAffinityMask = c.systemMask;
        EXPECT_EQ(c.count, CountProcessors()) << c.active << ", " << std::hex << c.systemMask;
    }
}

} // namespace
