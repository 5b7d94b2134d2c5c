// Processor identification: the processor record, the naming of each vendor's processors
// and the four clock-speed sources. Platform-neutral; the processor is reached through
// cpu_platform.h only.
#ifndef TARROW_CPU_H
#define TARROW_CPU_H

#include <stdint.h>

// Room for the decimal text of any signed 32-bit speed ("-2147483648"), the "MHz" that the
// report appends in place, and the zero. Every speed of six digits or fewer reads exactly as
// it would in a ten-character field; longer ones are shown whole instead of overrunning it.
enum { SpeedTextSize = 16 };

// The processor record, filled by IdentifyCpu.
struct CpuInfo {
    char vendor[13];             // vendor identification from CPUID leaf 0
    char name[260];              // model name
    uint8_t hasMmx;              // 1 when CpuHasMmx passed
    char speedText[SpeedTextSize]; // speedMhz as "%ld" text
    int32_t cpuCount;
    int32_t speedMhz;
};

enum CpuVendor {
    VendorUnknown = -1,
    VendorIntel = 1,
    VendorAmd = 2,
    VendorCyrix = 3,
    VendorCentaur = 4,
};

// Results of IdentifyCpu.
enum {
    IdentifiedByMeasurement = 0,
    IdentifiedWithRegistrySpeed = 1,
    NoCpuidInstruction = -101,
    CpuidLeafZeroFaulted = -102,
};

// The four results of one CPUID leaf.
struct CpuidRegisters {
    uint32_t eax, ebx, ecx, edx;
};

// A processor affinity mask as Windows keeps it (DWORD_PTR): one bit per logical processor,
// as wide as a pointer, so 32 processors for the 32-bit program and 64 for the 64-bit one.
typedef uintptr_t ProcessorMask;

// Signature fields of CPUID leaf 1 (EAX masked with 0x3FFF; extended fields never read).
struct CpuSignature {
    unsigned family, model, type;
};

// identify_cpu.cpp: the record, the identification run and the report rows.
void InitCpuInfo(CpuInfo *info);
int IdentifyCpu(CpuInfo *info);
void GetCpuInfo(CpuInfo *info, CpuInfo **record, char **name, uint8_t *hasMmx,
                char **speedText, int32_t *cpuCount, int32_t *speedMhz);
uint8_t CpuHasMmx();
int32_t CountProcessors();
int32_t CountMaskBits(ProcessorMask mask);
void StoreCpuSpeed(CpuInfo *info, int32_t mhz);
// The recorded clock rate stored in the record: 1 when there was one, else 0 and the
// record unchanged.
int ReadRegistryClock(CpuInfo *info);
int32_t TruncateMhz(double mhz);
// The model row's details: the name, with the MMX suffix when it does not say so already.
void FormatCpuModelText(const char *name, uint8_t hasMmx, char *out, unsigned size);

// cpu_naming.cpp: vendor detection and the naming tables.
int CpuidAvailable();
int ReadCpuVendor(CpuInfo *info);
int GetCpuVendorCode(const CpuInfo *info);
void NameIntelCpu(CpuInfo *info);
void NameCpuFromBrandString(CpuInfo *info);
void NameCyrixCpu(char *name);
void CpuidQuery(uint32_t leaf, uint32_t *eax, uint32_t *ebx, uint32_t *ecx, uint32_t *edx);
// Pure parts of the naming, on values CPUID returned.
int VendorCodeFromText(const char *vendor);
CpuSignature DecodeSignature(uint32_t leaf1Eax);
const char *IntelCpuName(CpuSignature signature);
const char *CyrixCpuName(CpuSignature signature, uint32_t featureValue);
// Lays the three leaves 0x80000002..4 out as text: at most 48 characters and a zero.
void LayOutBrandString(const CpuidRegisters leaves[3], char out[49]);
// Lays leaf 0's EBX, EDX, ECX out as the 12-character vendor text and a zero.
void LayOutVendor(const CpuidRegisters *leaf0, char out[13]);

// registry_clock.cpp: 1 and the recorded clock rate in *mhz (any value, 0 included), or
// 0 with *mhz untouched when the system recorded none.
int ReadRegistryClockMhz(int32_t *mhz);

// timer_clock.cpp
int32_t MeasureTimerClock();
uint32_t CountCyclesPerSecond();
uint32_t NormalizeMhz(uint32_t mhz);

// cyrix_clock.cpp
double MeasureCyrixClock();
uint32_t TimeDivideLoop(uint32_t passes);
int GetCyrixCoreClass();
void ReadCyrixDir0(uint8_t *dir0, uint8_t *dir1);
uint8_t ReadCyrixReg(uint8_t index);
void WriteCyrixReg(uint8_t index, uint8_t value);
int HasAlignmentCheckFlag();
int DivisionKeepsFlags();
int CyrixCoreClassOfDir0(uint8_t dir0);
uint32_t CyrixClocksPerPass(int coreClass);
double CyrixMhzFromTicks(uint32_t ticks, int coreClass);

// tsc_clock.cpp
struct ClockMeasurement {
    uint32_t cycles;
    uint32_t microseconds;
    uint32_t rawMhz;
    uint32_t normalMhz;
};
int32_t MeasureTscClock();
uint16_t GetCpuFamily();
uint32_t GetCpuFeatures();
ClockMeasurement MeasureWithTsc();
ClockMeasurement MeasureWithLoop(uint32_t expected);
// Pure parts of the measurement.
extern const uint32_t LoopClocksByFamily[12];
uint32_t DivideRoundingHalfDown(uint32_t dividend, uint32_t divisor);
int RatesAgree(uint32_t older, uint32_t previous, uint32_t latest);
ClockMeasurement TscResultFromTotals(uint32_t totalCycles, uint32_t totalMicroseconds);

#endif
