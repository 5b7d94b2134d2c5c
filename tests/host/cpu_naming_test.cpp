// Processor naming: the vendor codes, the Intel and Cyrix tables, the brand string layout
// and the MMX suffix of the model row.
#include "cpu/cpu.h"
#include "tests/host/support/simulated_cpu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

uint32_t Signature(unsigned type, unsigned family, unsigned model)
{
    return (type << 12) | (family << 8) | (model << 4) | 0x3;
}

TEST(CpuNaming, IntelTableByFamilyModelAndType)
{
    const struct {
        uint32_t eax;
        const char *name;
    } cases[] = {
        {Signature(0, 4, 1), "Intel 486DX Processor"},
        {Signature(0, 4, 7), "Intel 486 Processor"},
        {Signature(0, 4, 8), "Intel 486DX4 Processor"},
        {Signature(0, 4, 0), "Intel 486 Processor"},
        {Signature(0, 5, 3), "Intel Pentium OverDrive Processor"},
        {Signature(0, 5, 4), "Intel Pentium Processor"},
        {Signature(0, 6, 1), "Intel Pentium Pro Procesor"},
        {Signature(0, 6, 3), "Intel Pentium II Processor"},
        {Signature(1, 6, 3), "Intel Pentium II OverDrive Processor"},
        {Signature(2, 6, 3), "Intel Pentium II OverDrive Processor"},
        {Signature(0, 6, 5), "Intel Pentium II or Celeron Processor"},
        {Signature(0, 6, 6), "Intel Celeron Processor"},
        {Signature(0, 6, 8), "Intel Pentium III Coppermine Processor"},
        {Signature(0, 6, 11), "Intel Pentium III Processor"},
        {Signature(0, 6, 2), "Intel Pentium III Processor"},
        {Signature(0, 15, 2), "Unknown Intel Processor"},
        {Signature(0, 3, 0), "Unknown Intel Processor"},
        {0, "Unknown Intel Processor"},
        // Extended model and family (bits 16-27) and the bits above type are not read.
        {0x0FFFC000 | Signature(0, 6, 8), "Intel Pentium III Coppermine Processor"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(c.name, IntelCpuName(DecodeSignature(c.eax))) << std::hex << c.eax;
}

TEST(CpuNaming, CyrixTableUsesTheFeatureValueOnlyForFamily5Model2)
{
    const struct {
        unsigned family, model;
        uint32_t feature;
        const char *name;
    } cases[] = {
        {4, 4, 0, "Cyrix MediaGX(tm)"},   {5, 2, 1, "Cyrix 6x86(tm)"},
        {5, 2, 0x105, "Cyrix 6x86L(tm)"}, {5, 2, 0x104, "Unknown Cyrix"},
        {5, 4, 7, "Cyrix GXm(tm)"},       {6, 0, 0x12345, "Cyrix 6x86MX(tm)"},
        {6, 2, 0, "Unknown Cyrix"},       {0, 0, 0, "Unknown Cyrix"},
    };
    for (const auto &c : cases) {
        CpuSignature s = {c.family, c.model, 0};
        EXPECT_STREQ(c.name, CyrixCpuName(s, c.feature)) << c.family << "/" << c.model;
    }
}

TEST(CpuNaming, VendorCodes)
{
    const struct {
        const char *vendor;
        int code;
    } cases[] = {
        {"GenuineIntel", VendorIntel}, {"AuthenticAMD", VendorAmd},
        {"CyrixInstead", VendorCyrix}, {"CentaurHauls", VendorCentaur},
        {"RiseRiseRise", VendorUnknown}, {"", VendorUnknown}, {"genuineintel", VendorUnknown},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.code, VendorCodeFromText(c.vendor)) << c.vendor;
}

std::string BrandNameOf(const char *brand)
{
    ResetSimulatedCpu();
    SetSimulatedBrandString(brand);
    CpuInfo info;
    InitCpuInfo(&info);
    NameCpuFromBrandString(&info);
    return info.name;
}

TEST(CpuNaming, BrandStringEndsAtItsZeroOrAfter48Characters)
{
    std::string full(48, 'x'), short47(47, 'y');
    EXPECT_EQ(full, BrandNameOf(full.c_str()));
    EXPECT_EQ(short47, BrandNameOf(short47.c_str()));
    EXPECT_EQ("    AMD-K6(tm)-III Processor", BrandNameOf("    AMD-K6(tm)-III Processor"));
}

TEST(CpuNaming, CyrixHighestExtendedLeafChoosesTheNaming)
{
    const struct {
        uint32_t highest;
        const char *name;
    } cases[] = {
        {0x80000004u, "VIA Cyrix 3 (brand)"}, {0x80000005u, "VIA Cyrix 3 (brand)"},
        {0x80000003u, "kept"},                {0x80000001u, "kept"},
        {0x80000000u, "Cyrix 6x86MX(tm)"},    {0x00000000u, "Cyrix 6x86MX(tm)"},
    };
    for (const auto &c : cases) {
        ResetSimulatedCpu();
        SetSimulatedLeaf(0x80000000u, c.highest, 0, 0, 0);
        SetSimulatedBrandString("VIA Cyrix 3 (brand)");
        SetSimulatedLeaf(1, Signature(0, 6, 0), 0, 0, 0);
        char name[260] = "kept";
        NameCyrixCpu(name);
        EXPECT_STREQ(c.name, name) << std::hex << c.highest;
    }
}

TEST(CpuModelRow, MmxSuffixOnlyWhenTheNameDoesNotSayItAlready)
{
    const struct {
        const char *name;
        uint8_t hasMmx;
        const char *row;
    } cases[] = {
        {"Unknown Processor", 1, "Unknown Processor with MMX(tm) Technology"},
        {"Unknown Processor", 0, "Unknown Processor"},
        {"AMD-K6(tm) w/ multimedia extensions", 1, "AMD-K6(tm) w/ multimedia extensions"},
        {"Cyrix 6x86MX MMX", 1, "Cyrix 6x86MX MMX"},
    };
    for (const auto &c : cases) {
        char row[260];
        FormatCpuModelText(c.name, c.hasMmx, row, sizeof row);
        EXPECT_STREQ(c.row, row);
    }
}

} // namespace
