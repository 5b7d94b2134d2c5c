// clockbench: runs the time-stamp-counter measurement and the timer measurement on this
// machine and sets each against the time-stamp frequency the kernel reports.
#include "cpu/cpu.h"
#include "native_cpu_platform.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

struct KernelFrequency {
    double mhz;
    char source[200];
};

static double WallMilliseconds()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000.0 + now.tv_nsec / 1000000.0;
}

// The figure after `tag` in a line, e.g. "tsc: Detected 2593.906 MHz processor".
static bool FindFigure(const char *line, const char *tag, double *mhz)
{
    const char *at = strstr(line, tag);
    if (!at)
        return false;
    *mhz = strtod(at + strlen(tag), NULL);
    return *mhz > 0;
}

// The kernel log's calibration (the refined figure when there is one), else /proc/cpuinfo.
static KernelFrequency ReadKernelFrequency()
{
    KernelFrequency found = {0, "not found"};
    FILE *log = popen("dmesg 2>/dev/null", "r");
    char line[512];
    if (log) {
        while (fgets(line, sizeof line, log)) {
            double mhz;
            if (FindFigure(line, "tsc: Refined TSC clocksource calibration: ", &mhz)) {
                found.mhz = mhz;
                snprintf(found.source, sizeof found.source, "dmesg \"tsc: Refined ...\"");
            } else if (found.mhz == 0 && FindFigure(line, "tsc: Detected ", &mhz)) {
                found.mhz = mhz;
                snprintf(found.source, sizeof found.source, "dmesg \"tsc: Detected %.3f MHz\"", mhz);
            }
        }
        pclose(log);
    }
    if (found.mhz != 0)
        return found;
    FILE *info = fopen("/proc/cpuinfo", "r");
    if (info) {
        while (fgets(line, sizeof line, info)) {
            const char *colon = strchr(line, ':');
            if (strncmp(line, "cpu MHz", 7) == 0 && colon) {
                found.mhz = strtod(colon + 1, NULL);
                snprintf(found.source, sizeof found.source, "/proc/cpuinfo \"cpu MHz\"");
                break;
            }
        }
        fclose(info);
    }
    return found;
}

static void PrintDifference(double measured, const KernelFrequency &kernel)
{
    if (kernel.mhz == 0) {
        printf("  difference: kernel figure unknown\n");
        return;
    }
    double difference = measured - kernel.mhz;
    printf("  kernel: %.3f MHz (%s)\n  difference: %+.3f MHz (%+.3f %%)\n", kernel.mhz,
           kernel.source, difference, 100.0 * difference / kernel.mhz);
}

enum { Repeats = 100 };

// One run in full, then the spread of repeated runs, with the counter at `rate` Hz.
static void BenchTscRoute(uint32_t rate, const KernelFrequency &kernel)
{
    nativeCounterFrequency = rate;
    nativeTimeCriticalRaises = 0;
    double start = WallMilliseconds();
    ClockMeasurement tsc = MeasureWithTsc();
    double wall = WallMilliseconds() - start;
    double exact = tsc.microseconds ? (double)tsc.cycles / tsc.microseconds : 0;
    printf("time-stamp counter route (MeasureWithTsc, counter at %u Hz):\n", rate);
    printf("  %u MHz reported (%u raw, %.3f from %u cycles / %u us), %d passes, %.3f ms wall\n",
           tsc.normalMhz, tsc.rawMhz, exact, tsc.cycles, tsc.microseconds,
           nativeTimeCriticalRaises, wall);
    PrintDifference(tsc.normalMhz, kernel);

    uint32_t lowest = 0xFFFFFFFF, highest = 0;
    int within = 0;
    for (int i = 0; i < Repeats; ++i) {
        uint32_t mhz = MeasureWithTsc().normalMhz;
        lowest = mhz < lowest ? mhz : lowest;
        highest = mhz > highest ? mhz : highest;
        double off = kernel.mhz ? (mhz - kernel.mhz) / kernel.mhz : 0;
        within += (off <= 0.001 && off >= -0.001);
    }
    printf("  %d more runs: %u to %u MHz, %d within 0.1 %% of the kernel's figure\n\n", Repeats,
           lowest, highest, within);
}

int main()
{
    KernelFrequency kernel = ReadKernelFrequency();

    static const uint32_t counterRates[] = {10000000, 1193182};
    for (uint32_t rate : counterRates)
        BenchTscRoute(rate, kernel);

    double start = WallMilliseconds();
    uint32_t hz = CountCyclesPerSecond();
    double timerWall = WallMilliseconds() - start;
    uint32_t normal = NormalizeMhz(hz / 1000000);
    printf("timer route (CountCyclesPerSecond over 500 ms):\n");
    printf("  %u MHz counted (%u Hz, modulo 2^32), %u MHz after the table, 1 pass, %.3f ms wall\n",
           hz / 1000000, hz, normal, timerWall);
    PrintDifference(hz / 1e6, kernel);
    return 0;
}
