// Clock rate from time-stamp ticks across half a second of the multimedia timer, reported
// as the rate of the nearest entry of a table of known processor clocks.
#include "cpu.h"
#include "cpu_platform.h"

enum {
    SettleMilliseconds = 200, // lets the new priority and timer resolution take hold
    WindowMilliseconds = 500,
};

struct MhzPair {
    uint32_t measured, reported;
};

// Measured MHz, reported MHz; ascending, no key repeated.
static const MhzPair MhzNormalTable[] = {
    {72, 75},   {78, 75},   {87, 90},   {93, 90},   {97, 100},  {103, 100}, {113, 120},
    {119, 120}, {130, 133}, {136, 133}, {163, 166}, {169, 166}, {177, 180}, {183, 180},
    {197, 200}, {203, 200}, {231, 233}, {236, 233}, {245, 250}, {263, 266}, {269, 266},
    {287, 300}, {315, 300}, {316, 333}, {330, 333}, {350, 350}, {363, 366}, {377, 380},
    {400, 400}, {450, 450}, {460, 475}, {490, 500}, {540, 550}, {570, 575}, {590, 600},
    {620, 625}, {640, 650}, {670, 675}, {690, 700},
};
enum { MhzNormalCount = sizeof MhzNormalTable / sizeof MhzNormalTable[0] };

uint32_t NormalizeMhz(uint32_t mhz)
{
    if (mhz < MhzNormalTable[0].measured) {
        WriteStandardOutput("\nOperating frequency is either unsupported or unknown!");
        return 0;
    }
    for (int i = 0; i + 1 < MhzNormalCount; ++i) {
        const MhzPair &low = MhzNormalTable[i];
        const MhzPair &high = MhzNormalTable[i + 1];
        if (mhz == low.measured)
            return low.reported;
        if (mhz < high.measured)
            return (mhz - low.measured < high.measured - mhz) ? low.reported : high.reported;
    }
    return MhzNormalTable[MhzNormalCount - 1].reported; // the last key and above
}

// Twice the time-stamp ticks of a 500 ms window, modulo 2^32. Without a time-stamp counter
// (its read faults), or without the timer that measures the window, there is nothing to
// count and the result is 0.
uint32_t CountCyclesPerSecond()
{
    if (!HasMillisecondTimer())
        return 0; // nothing to time the window with: no priority raised, no time spent
    uint32_t savedClass = GetProcessPriority();
    SetProcessPriority(PriorityClassRealtime);
    int savedThread = GetThreadPriorityLevel();
    SetThreadPriorityLevel(ThreadPriorityTimeCritical);
    BeginTimerPeriod();
    SleepMilliseconds(SettleMilliseconds);

    uint32_t tsc0 = 0, tsc1 = 0;
    bool counted = ReadTimeStamp(&tsc0);
    if (counted) {
        uint32_t start = ReadMillisecondTimer();
        while (ReadMillisecondTimer() - start < WindowMilliseconds) {
        }
        counted = ReadTimeStamp(&tsc1);
    }

    EndTimerPeriod();
    SetProcessPriority(savedClass);
    SetThreadPriorityLevel(savedThread);
    return counted ? 2 * (tsc1 - tsc0) : 0;
}

int32_t MeasureTimerClock()
{
    uint32_t hz = CountCyclesPerSecond();
    return (int32_t)NormalizeMhz(hz / 1000000);
}
