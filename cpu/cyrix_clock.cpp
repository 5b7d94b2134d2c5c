// Cyrix clock rate: a loop of integer divides timed with channel 2 of the 8254 interval
// timer, converted with the clocks that the loop takes on the Cyrix core at hand.
#include "cpu.h"
#include "cpu_platform.h"

// Ports. Configuration registers are reached by writing the index to CyrixIndexPort and
// then reading or writing CyrixDataPort; every access selects its register anew.
enum {
    CyrixIndexPort = 0x22,
    CyrixDataPort = 0x23,
    TimerChannel2Port = 0x42,
    TimerCommandPort = 0x43,
    SystemControlPort = 0x61, // bit 0 gates timer channel 2
};

// Configuration registers and the bits probed to see whether they respond.
enum {
    Ccr0 = 0xC0,
    Ccr2 = 0xC2,
    Ccr3 = 0xC3,
    Dir0 = 0xFE,
    Dir1 = 0xFF,
    Ccr2ProbeBit = 0x04,
    Ccr3ProbeBit = 0x80,
    Dir0NoCcr3 = 0xFE, // DIR0 stand-ins when it cannot be read
    Dir0NoCcr = 0xFD,
};

enum {
    TimerGateBit = 0x01,
    TimerOneShot = 0xB0,   // channel 2, low then high byte, mode 0, binary
    TimerReadBack = 0xC8,  // latch count and status of channel 2
    TimerSquareWave = 0xB6, // channel 2, low then high byte, mode 3, binary
    TimerHz = 1193182,
    LoadedPasses = 8192,
    RunsPerSum = 10,
};

struct DivideTiming {
    uint32_t clocksPerDivide, clocksPerLoop;
};

// Clocks of one 32-bit IDIV and of LOOP, by core class (GetCyrixCoreClass).
static const DivideTiming DivideTimingByClass[6] = {
    {46, 7}, {40, 8}, {45, 2}, {45, 2}, {17, 1}, {17, 1},
};

struct Dir0Range {
    uint8_t first, last;
    int coreClass;
};

// DIR0 ranges by core class; every other value is class 0.
static const Dir0Range Dir0Classes[] = {
    {0x1A, 0x1B, 1}, {0x1F, 0x1F, 1}, {0xFF, 0xFF, 1}, {0x28, 0x2F, 2},
    {0x40, 0x47, 3}, {0x30, 0x37, 4}, {0x50, 0x5F, 5},
};

int CyrixCoreClassOfDir0(uint8_t dir0)
{
    for (unsigned i = 0; i < sizeof Dir0Classes / sizeof Dir0Classes[0]; ++i)
        if (dir0 >= Dir0Classes[i].first && dir0 <= Dir0Classes[i].last)
            return Dir0Classes[i].coreClass;
    return 0;
}

uint32_t CyrixClocksPerPass(int coreClass)
{
    const DivideTiming &t = DivideTimingByClass[coreClass >= 0 && coreClass < 6 ? coreClass : 0];
    return 5 * t.clocksPerDivide + t.clocksPerLoop;
}

double CyrixMhzFromTicks(uint32_t ticks, int coreClass)
{
    if (ticks == 0)
        return 0;
    float clocks = (float)(CyrixClocksPerPass(coreClass) * LoadedPasses);
    float seconds = (float)(ticks / (double)TimerHz);
    return ((double)clocks / seconds) / 1000000.0;
}

uint8_t ReadCyrixReg(uint8_t index)
{
    uint32_t flags = DisableInterrupts();
    WritePort(CyrixIndexPort, index);
    uint8_t value = ReadPort(CyrixDataPort);
    RestoreInterrupts(flags);
    return value;
}

void WriteCyrixReg(uint8_t index, uint8_t value)
{
    uint32_t flags = DisableInterrupts();
    WritePort(CyrixIndexPort, index);
    WritePort(CyrixDataPort, value);
    RestoreInterrupts(flags);
}

// Flips one bit of a configuration register and reads it back through another register
// access; the register responds when the bit stuck. The old value is written back.
static bool RegisterResponds(uint8_t index, uint8_t probeBit)
{
    uint8_t kept = ReadCyrixReg(index);
    WriteCyrixReg(index, kept ^ probeBit);
    ReadCyrixReg(Ccr0);
    bool responds = ReadCyrixReg(index) != kept;
    WriteCyrixReg(index, kept);
    return responds;
}

void ReadCyrixDir0(uint8_t *dir0, uint8_t *dir1)
{
    bool ccr2 = RegisterResponds(Ccr2, Ccr2ProbeBit);
    bool ccr3 = RegisterResponds(Ccr3, Ccr3ProbeBit);
    if (ccr3) {
        *dir0 = ReadCyrixReg(Dir0);
        *dir1 = ReadCyrixReg(Dir1);
    } else if (ccr2) {
        *dir0 = Dir0NoCcr3;
    } else {
        *dir0 = Dir0NoCcr;
        *dir1 = 1;
    }
}

int HasAlignmentCheckFlag()
{
    return CpuFlagToggles(FlagAlignmentCheck) ? 1 : 0;
}

// Cyrix cores leave the arithmetic flags alone across DIV; bit 1 always reads as 1.
int DivisionKeepsFlags()
{
    return ReadFlagsAfterDivide() == 0x02 ? 1 : 0;
}

int GetCyrixCoreClass()
{
    if (!HasAlignmentCheckFlag())
        return 0;
    if (!DivisionKeepsFlags())
        return 0;
    uint8_t dir0 = 0, dir1 = 0;
    ReadCyrixDir0(&dir0, &dir1);
    return CyrixCoreClassOfDir0(dir0);
}

// Timer ticks of `passes` passes of the divide loop, with interrupts off throughout.
uint32_t TimeDivideLoop(uint32_t passes)
{
    uint32_t flags = DisableInterrupts();
    uint8_t control = (uint8_t)(ReadPort(SystemControlPort) & ~TimerGateBit);
    WritePort(SystemControlPort, control); // gate closed
    WritePort(TimerCommandPort, TimerOneShot);
    WritePort(TimerChannel2Port, 0xFF); // count from 0xFFFF
    WritePort(TimerChannel2Port, 0xFF);
    WritePort(SystemControlPort, control | TimerGateBit); // gate open: the counter runs
    RunDivideLoop(passes);
    WritePort(SystemControlPort, control); // gate closed: the counter stops
    WritePort(TimerCommandPort, TimerReadBack);
    ReadPort(TimerChannel2Port); // status, not used
    uint32_t low = ReadPort(TimerChannel2Port);
    uint32_t high = ReadPort(TimerChannel2Port);
    uint32_t elapsed = ~(low | (high << 8)) & 0xFFFF;
    WritePort(TimerCommandPort, TimerSquareWave); // channel 2 back to its usual setting
    WritePort(TimerChannel2Port, 0x00);
    WritePort(TimerChannel2Port, 0x00);
    RestoreInterrupts(flags);
    return elapsed;
}

// Where the system refuses port access or disabling interrupts there is nothing to time:
// the rate is 0 rather than a fault.
double MeasureCyrixClock()
{
    if (!PortAccessAllowed())
        return 0;
    ClearPortFault();
    uint32_t loaded = 0, empty = 0;
    for (int i = 0; i < RunsPerSum; ++i)
        loaded += TimeDivideLoop(LoadedPasses);
    for (int i = 0; i < RunsPerSum; ++i)
        empty += TimeDivideLoop(0);
    uint32_t ticks = loaded / RunsPerSum - empty / RunsPerSum;
    int coreClass = GetCyrixCoreClass();
    if (PortFaulted())
        return 0;
    return CyrixMhzFromTicks(ticks, coreClass);
}
