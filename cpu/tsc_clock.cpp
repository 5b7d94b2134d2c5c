// Intel clock rate: time-stamp ticks across short windows of the performance counter until
// three passes agree, or, without a time-stamp counter, a BSF loop of known length timed.
#include "cpu.h"
#include "cpu_platform.h"

enum {
    FeatureTsc = 0x10, // CPUID leaf 1, EDX bit 4
    SettleTicks = 50,  // counter ticks that let the raised priority take hold
    WindowTicks = 1000,
    MinimumPasses = 3,
    MaximumPasses = 20,
    AgreementLimit = 3, // each of three rates within 1 MHz of their mean: |3r - sum| <= 3
    LoopPasses = 4000,
    LoopRuns = 10,
    MicrosecondsPerTenthSecond = 100000,
};

// Clocks of one BSF, DEC, JNZ pass of RunBsfLoop, by processor family; 0 where the loop
// cannot time the processor.
const uint32_t LoopClocksByFamily[12] = {0, 0, 0, 115, 47, 43, 38, 38, 38, 38, 38, 38};

static const ClockMeasurement NoMeasurement = {0, 0, 0, 0};

uint32_t DivideRoundingHalfDown(uint32_t dividend, uint32_t divisor)
{
    uint32_t quotient = dividend / divisor;
    if (dividend % divisor > divisor / 2)
        ++quotient;
    return quotient;
}

int RatesAgree(uint32_t older, uint32_t previous, uint32_t latest)
{
    int32_t sum = (int32_t)(older + previous + latest);
    const uint32_t rates[3] = {latest, previous, older};
    for (int i = 0; i < 3; ++i) {
        int32_t deviation = 3 * (int32_t)rates[i] - sum;
        if (deviation > AgreementLimit || deviation < -AgreementLimit)
            return 0;
    }
    return 1;
}

// Whole MHz of the totals, rounded up exactly when the first two decimals are 56 or more.
// The decimals come from the remainder, which gives the same digits as multiplying the
// total cycles by 10 and 100 but cannot overflow.
ClockMeasurement TscResultFromTotals(uint32_t totalCycles, uint32_t totalMicroseconds)
{
    if (totalMicroseconds == 0)
        return NoMeasurement;
    uint32_t rawMhz = totalCycles / totalMicroseconds;
    uint32_t remainder = totalCycles % totalMicroseconds;
    uint32_t tenths = (remainder * 10) / totalMicroseconds;
    uint32_t hundredth = (remainder * 100) / totalMicroseconds - 10 * tenths;
    if (hundredth >= 6)
        ++tenths;
    ClockMeasurement result;
    result.cycles = totalCycles;
    result.microseconds = totalMicroseconds;
    result.rawMhz = rawMhz;
    result.normalMhz = tenths >= 6 ? rawMhz + 1 : rawMhz;
    return result;
}

// Counter ticks per tenth of a second (f / 10): a window of t ticks lasts
// t * 100000 / (f / 10) microseconds. No counter, or one slower than 10 Hz, gives 0.
static uint32_t ReadCounterTenth()
{
    uint32_t frequency;
    if (!ReadPerformanceFrequency(&frequency))
        return 0;
    return frequency / 10;
}

struct WindowReading {
    uint32_t counter, stamp;
};

// Polls the counter, reading the time-stamp right after each call, until the counter is at
// least `ticks` past `from`. False when the time-stamp read faults.
static bool PollUntil(uint32_t from, uint32_t ticks, WindowReading *last)
{
    do {
        last->counter = ReadPerformanceCounter();
        if (!ReadTimeStamp(&last->stamp))
            return false;
    } while (last->counter - from < ticks);
    return true;
}

ClockMeasurement MeasureWithTsc()
{
    uint32_t tenth = ReadCounterTenth();
    if (tenth == 0)
        return NoMeasurement;
    uint32_t totalCycles = 0, totalMicroseconds = 0;
    uint32_t older = 0, previous = 0, latest = 0;
    for (int n = 1;; ++n) {
        older = previous;
        previous = latest;
        uint32_t start = ReadPerformanceCounter();
        int saved = GetThreadPriorityLevel();
        bool raised = saved != ThreadPriorityErrorReturn;
        if (raised)
            SetThreadPriorityLevel(ThreadPriorityTimeCritical);
        WindowReading begin, end;
        bool counted = PollUntil(start, SettleTicks, &begin) &&
                       PollUntil(begin.counter, WindowTicks, &end);
        if (raised)
            SetThreadPriorityLevel(saved);
        if (!counted)
            return NoMeasurement;

        uint32_t cycles = end.stamp - begin.stamp;
        uint32_t scaled = (end.counter - begin.counter) * MicrosecondsPerTenthSecond;
        totalCycles += cycles;
        totalMicroseconds += scaled / tenth;
        uint32_t us = DivideRoundingHalfDown(scaled, tenth);
        if (us == 0)
            return NoMeasurement; // a counter so fast that a window is under 1 us
        latest = DivideRoundingHalfDown(cycles, us);

        if (n < MinimumPasses)
            continue;
        if (n >= MaximumPasses || RatesAgree(older, previous, latest))
            break;
    }
    return TscResultFromTotals(totalCycles, totalMicroseconds);
}

ClockMeasurement MeasureWithLoop(uint32_t expected)
{
    uint32_t tenth = ReadCounterTenth();
    if (tenth == 0)
        return NoMeasurement;
    uint32_t best = 0xFFFFFFFF;
    for (int run = 0; run < LoopRuns; ++run) {
        uint32_t a = ReadPerformanceCounter();
        RunBsfLoop();
        uint32_t b = ReadPerformanceCounter();
        if (b - a < best)
            best = b - a;
    }
    uint32_t us = DivideRoundingHalfDown(best * MicrosecondsPerTenthSecond, tenth);
    if (us == 0)
        return NoMeasurement;
    ClockMeasurement result;
    result.cycles = expected;
    result.microseconds = us;
    result.rawMhz = expected / us;
    result.normalMhz = DivideRoundingHalfDown(expected, us);
    return result;
}

uint16_t GetCpuFamily()
{
    CpuidRegisters leaf1;
    RunCpuid(1, &leaf1);
    return (uint16_t)((leaf1.eax & 0xF00) >> 8);
}

uint32_t GetCpuFeatures()
{
    if (!CpuidAvailable())
        return 0;
    CpuidRegisters leaf1;
    RunCpuid(1, &leaf1);
    return leaf1.edx;
}

int32_t MeasureTscClock()
{
    uint16_t family = GetCpuFamily();
    uint32_t features = GetCpuFeatures();
    ClockMeasurement measurement = NoMeasurement;
    if (features & FeatureTsc)
        measurement = MeasureWithTsc();
    else if (family >= 3 && family < 12 && LoopClocksByFamily[family] != 0)
        measurement = MeasureWithLoop(LoopClocksByFamily[family] * LoopPasses);
    return (int32_t)measurement.normalMhz;
}
