// The processor record, the identification run that picks a naming and a clock source by
// vendor, the MMX test, the processor count and the three processor rows of the report.
#include "cpu.h"
#include "cpu_platform.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <string.h>

enum {
    FeatureMmx = 0x800000, // CPUID leaf 1, EDX bit 23
};

static const char MmxSuffix[] = " with MMX(tm) Technology";
static const char UnknownProcessorName[] = "Unknown Processor";

// Every text starts out empty and the speed at 0, so that a run that stops early (no
// CPUID, or a Cyrix naming that keeps the name) still shows defined texts.
void InitCpuInfo(CpuInfo *info)
{
    memset(info, 0, sizeof *info);
    CopyText(info->speedText, sizeof info->speedText, "0");
    info->hasMmx = 0;
    info->cpuCount = 1;
}

void StoreCpuSpeed(CpuInfo *info, int32_t mhz)
{
    info->speedMhz = mhz;
    FormatText(info->speedText, sizeof info->speedText, "%ld", (long)mhz);
}

int ReadRegistryClock(CpuInfo *info)
{
    int32_t mhz;
    if (!ReadRegistryClockMhz(&mhz))
        return 0;
    StoreCpuSpeed(info, mhz);
    return 1;
}

// Toward zero; values outside the 32-bit range (or not a number) cannot be a clock rate.
int32_t TruncateMhz(double mhz)
{
    if (!(mhz > -2147483648.0 && mhz < 2147483648.0))
        return 0;
    return (int32_t)mhz;
}

uint8_t CpuHasMmx()
{
    CpuidRegisters leaf1;
    if (!RunCpuid(1, &leaf1))
        return 0;
    if (!(leaf1.edx & FeatureMmx))
        return 0;
    // The system must also let an MMX instruction run.
    return RunEmms() ? 1 : 0;
}

int32_t CountMaskBits(ProcessorMask mask)
{
    int32_t count = 0;
    while (mask != 0) {
        mask &= mask - 1; // clears the lowest set bit
        ++count;
    }
    return count;
}

// The processors configured in the system, not those this process may use. An affinity
// mask holds the processors of the program's own processor group only, at most 32 for a
// 32-bit program and 64 for a 64-bit one, so where Windows counts the processors of every
// group that count is taken. A failed query still means at least the processor this runs on.
int32_t CountProcessors()
{
    int32_t active;
    if (CountActiveProcessors(&active))
        return active;
    ProcessorMask mask;
    if (!GetSystemAffinityMask(&mask))
        return 1;
    return CountMaskBits(mask);
}

static int IdentifyAmd(CpuInfo *info)
{
    NameCpuFromBrandString(info);
    if (ReadRegistryClock(info) == 1) {
        info->hasMmx = CpuHasMmx();
        return IdentifiedWithRegistrySpeed;
    }
    StoreCpuSpeed(info, MeasureTimerClock());
    info->hasMmx = CpuHasMmx();
    return IdentifiedByMeasurement;
}

static int IdentifyCyrix(CpuInfo *info)
{
    NameCyrixCpu(info->name);
    if (ReadRegistryClock(info) == 1) {
        info->hasMmx = CpuHasMmx();
        return IdentifiedWithRegistrySpeed;
    }
    StoreCpuSpeed(info, TruncateMhz(MeasureCyrixClock()));
    info->hasMmx = CpuHasMmx();
    return IdentifiedByMeasurement;
}

int IdentifyCpu(CpuInfo *info)
{
    if (!CpuidAvailable())
        return NoCpuidInstruction;
    if (!ReadCpuVendor(info))
        return CpuidLeafZeroFaulted;
    switch (GetCpuVendorCode(info)) {
    case VendorIntel:
        NameIntelCpu(info);
        StoreCpuSpeed(info, MeasureTscClock());
        info->cpuCount = CountProcessors();
        info->hasMmx = CpuHasMmx();
        return IdentifiedByMeasurement;
    case VendorAmd:
        return IdentifyAmd(info);
    case VendorCyrix:
        return IdentifyCyrix(info);
    case VendorCentaur:
        NameCpuFromBrandString(info);
        break;
    default:
        CopyText(info->name, sizeof info->name, UnknownProcessorName);
        break;
    }
    // Centaur and unknown vendors: the timer measurement, never the registry.
    StoreCpuSpeed(info, MeasureTimerClock());
    info->hasMmx = CpuHasMmx();
    return IdentifiedByMeasurement;
}

void GetCpuInfo(CpuInfo *info, CpuInfo **record, char **name, uint8_t *hasMmx,
                char **speedText, int32_t *cpuCount, int32_t *speedMhz)
{
    *record = info;
    *name = info->name;
    *hasMmx = info->hasMmx;
    *speedText = info->speedText;
    *cpuCount = info->cpuCount;
    *speedMhz = info->speedMhz;
}

void FormatCpuModelText(const char *name, uint8_t hasMmx, char *out, unsigned size)
{
    CopyText(out, size, name);
    if (hasMmx == 1 && !ContainsText(name, "multimedia extensions") && !ContainsText(name, "MMX"))
        AppendText(out, size, MmxSuffix);
}

int AddCpuRows()
{
    CpuInfo info;
    InitCpuInfo(&info);
    IdentifyCpu(&info);

    CpuInfo *record;
    char *name, *speedText;
    uint8_t hasMmx;
    int32_t cpuCount, speedMhz;
    GetCpuInfo(&info, &record, &name, &hasMmx, &speedText, &cpuCount, &speedMhz);

    char row[TextBufferSize];
    FormatCpuModelText(name, hasMmx, row, sizeof row);
    AddReportRow("CPU Model/Name", row, IconProcessor);

    AppendText(speedText, sizeof record->speedText, "MHz");
    AddReportRow("CPU Speed", speedText, IconProcessor);

    FormatText(row, sizeof row, "%d", (int)cpuCount);
    AddReportRow("# of CPU's", row, IconProcessor);
    return 0;
}
