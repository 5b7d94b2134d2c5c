// Vendor detection and model naming: the vendor text of CPUID leaf 0, the Intel and Cyrix
// tables on the processor signature, and the brand string of the extended leaves.
#include "cpu.h"
#include "cpu_platform.h"
#include "../base/text.h"

#include <string.h>

enum {
    SignatureMask = 0x3FFF,
    ExtendedLeafBase = 0x80000000u,
    BrandLeafFirst = 0x80000002u,
    BrandLeafLast = 0x80000004u,
    BrandStringLength = 48,
};

static const struct {
    const char *identification;
    int code;
} VendorTable[] = {
    {"GenuineIntel", VendorIntel},
    {"AuthenticAMD", VendorAmd},
    {"CyrixInstead", VendorCyrix},
    {"CentaurHauls", VendorCentaur},
};

// Which processor types a naming row accepts.
enum TypeMatch { AnyType, TypeZero, TypeNonzero };

struct IntelNameRow {
    unsigned family, firstModel, lastModel;
    TypeMatch type;
    const char *name;
};

// family, models, type, name: the first row that matches wins; each family closes with
// its fallback row.
static const IntelNameRow IntelNames[] = {
    {4, 1, 1, AnyType, "Intel 486DX Processor"},
    {4, 2, 2, AnyType, "Intel 486SX Processor"},
    {4, 3, 3, AnyType, "Intel 486DX2 Processor"},
    {4, 4, 4, AnyType, "Intel 486SL Processor"},
    {4, 5, 5, AnyType, "Intel 486SX2 Processor"},
    {4, 6, 6, AnyType, "Intel 486DX2 Write Back Enhanced Processor"},
    {4, 8, 8, AnyType, "Intel 486DX4 Processor"},
    {4, 0, 15, AnyType, "Intel 486 Processor"},

    {5, 3, 3, AnyType, "Intel Pentium OverDrive Processor"},
    {5, 0, 15, AnyType, "Intel Pentium Processor"},

    {6, 1, 1, AnyType, "Intel Pentium Pro Procesor"},
    {6, 3, 3, TypeZero, "Intel Pentium II Processor"},
    {6, 3, 3, TypeNonzero, "Intel Pentium II OverDrive Processor"},
    {6, 5, 5, AnyType, "Intel Pentium II or Celeron Processor"},
    {6, 6, 6, AnyType, "Intel Celeron Processor"},
    {6, 7, 7, AnyType, "Intel Pentium III Processor"},
    {6, 8, 8, AnyType, "Intel Pentium III Coppermine Processor"},
    {6, 0, 15, AnyType, "Intel Pentium III Processor"},
};
static const char UnknownIntelName[] = "Unknown Intel Processor";

// Cyrix rows also look at the feature value, EDX of leaf 0x80000000.
struct CyrixNameRow {
    unsigned family, model;
    bool anyFeature;
    uint32_t feature;
    const char *name;
};

static const CyrixNameRow CyrixNames[] = {
    {4, 4, true, 0, "Cyrix MediaGX(tm)"},
    {5, 2, false, 0x1, "Cyrix 6x86(tm)"},
    {5, 2, false, 0x105, "Cyrix 6x86L(tm)"},
    {5, 4, true, 0, "Cyrix GXm(tm)"},
    {6, 0, true, 0, "Cyrix 6x86MX(tm)"},
};
static const char UnknownCyrixName[] = "Unknown Cyrix";

int VendorCodeFromText(const char *vendor)
{
    for (unsigned i = 0; i < sizeof VendorTable / sizeof VendorTable[0]; ++i)
        if (ContainsText(vendor, VendorTable[i].identification))
            return VendorTable[i].code;
    return VendorUnknown;
}

CpuSignature DecodeSignature(uint32_t leaf1Eax)
{
    uint32_t signature = leaf1Eax & SignatureMask;
    CpuSignature fields;
    fields.family = (signature >> 8) & 0xF;
    fields.model = (signature >> 4) & 0xF;
    fields.type = (signature >> 12) & 0x3;
    return fields;
}

static bool TypeMatches(TypeMatch match, unsigned type)
{
    if (match == TypeZero)
        return type == 0;
    if (match == TypeNonzero)
        return type != 0;
    return true;
}

const char *IntelCpuName(CpuSignature s)
{
    for (unsigned i = 0; i < sizeof IntelNames / sizeof IntelNames[0]; ++i) {
        const IntelNameRow &row = IntelNames[i];
        if (s.family == row.family && s.model >= row.firstModel && s.model <= row.lastModel &&
            TypeMatches(row.type, s.type))
            return row.name;
    }
    return UnknownIntelName;
}

const char *CyrixCpuName(CpuSignature s, uint32_t featureValue)
{
    for (unsigned i = 0; i < sizeof CyrixNames / sizeof CyrixNames[0]; ++i) {
        const CyrixNameRow &row = CyrixNames[i];
        if (s.family == row.family && s.model == row.model &&
            (row.anyFeature || featureValue == row.feature))
            return row.name;
    }
    return UnknownCyrixName;
}

// Four characters of a register, lowest byte first.
static void LayOutRegister(uint32_t value, char *out)
{
    for (int i = 0; i < 4; ++i)
        out[i] = (char)((value >> (8 * i)) & 0xFF);
}

void LayOutVendor(const CpuidRegisters *leaf0, char out[13])
{
    LayOutRegister(leaf0->ebx, out);
    LayOutRegister(leaf0->edx, out + 4);
    LayOutRegister(leaf0->ecx, out + 8);
    out[12] = '\0';
}

void LayOutBrandString(const CpuidRegisters leaves[3], char out[49])
{
    for (int i = 0; i < 3; ++i) {
        LayOutRegister(leaves[i].eax, out + 16 * i);
        LayOutRegister(leaves[i].ebx, out + 16 * i + 4);
        LayOutRegister(leaves[i].ecx, out + 16 * i + 8);
        LayOutRegister(leaves[i].edx, out + 16 * i + 12);
    }
    out[BrandStringLength] = '\0'; // the text ends at its first zero, at the latest here
}

int CpuidAvailable()
{
    return CpuFlagToggles(FlagId) ? 1 : 0;
}

int ReadCpuVendor(CpuInfo *info)
{
    char vendor[13];
    memset(vendor, 0, sizeof vendor);
    CpuidRegisters leaf0;
    int ran = RunCpuid(0, &leaf0) ? 1 : 0;
    if (ran)
        LayOutVendor(&leaf0, vendor);
    CopyText(info->vendor, sizeof info->vendor, vendor);
    return ran;
}

int GetCpuVendorCode(const CpuInfo *info)
{
    return VendorCodeFromText(info->vendor);
}

// Leaf 1's signature; a faulting leaf reads as 0 (RunCpuid leaves zeros).
static CpuSignature ReadSignature()
{
    CpuidRegisters leaf1;
    RunCpuid(1, &leaf1);
    return DecodeSignature(leaf1.eax);
}

void NameIntelCpu(CpuInfo *info)
{
    CopyText(info->name, sizeof info->name, IntelCpuName(ReadSignature()));
}

void CpuidQuery(uint32_t leaf, uint32_t *eax, uint32_t *ebx, uint32_t *ecx, uint32_t *edx)
{
    CpuidRegisters r;
    RunCpuid(leaf, &r);
    *eax = r.eax;
    *ebx = r.ebx;
    *ecx = r.ecx;
    *edx = r.edx;
}

static void QueryBrandString(char out[49])
{
    CpuidRegisters leaves[3];
    for (uint32_t i = 0; i < 3; ++i) {
        CpuidRegisters &r = leaves[i];
        CpuidQuery(BrandLeafFirst + i, &r.eax, &r.ebx, &r.ecx, &r.edx);
    }
    LayOutBrandString(leaves, out);
}

void NameCpuFromBrandString(CpuInfo *info)
{
    char brand[BrandStringLength + 1];
    QueryBrandString(brand);
    CopyText(info->name, sizeof info->name, brand);
}

void NameCyrixCpu(char *name)
{
    uint32_t highestLeaf, unused1, unused2, featureValue;
    CpuidQuery(ExtendedLeafBase, &highestLeaf, &unused1, &unused2, &featureValue);
    if (highestLeaf > ExtendedLeafBase) {
        // Fewer than the three brand leaves: the name stays as it was.
        if (highestLeaf < BrandLeafLast)
            return;
        char brand[BrandStringLength + 1];
        QueryBrandString(brand);
        CopyText(name, 260, brand);
        return;
    }
    CopyText(name, 260, CyrixCpuName(ReadSignature(), featureValue));
}
