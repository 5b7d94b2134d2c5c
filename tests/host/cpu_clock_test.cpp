// The clock sources on simulated clocks: normalisation, the time-stamp passes and their
// rounding, the timer window, and the Cyrix divide timing with its port sequence.
#include "cpu/cpu.h"
#include "tests/host/support/simulated_cpu.h"

#include <gtest/gtest.h>

namespace {

class Clock : public ::testing::Test {
protected:
    void SetUp() override { ResetSimulatedCpu(); }
};

TEST_F(Clock, NormalizeToNearestKeyTiesGoingUp)
{
    const struct {
        uint32_t measured, reported;
    } cases[] = {{98, 100}, {72, 75},   {75, 75},   {108, 120}, {125, 133},
                 {299, 300}, {466, 475}, {690, 700}, {1000, 700}, {315, 300}, {316, 333}};
    for (const auto &c : cases)
        EXPECT_EQ(c.reported, NormalizeMhz(c.measured)) << c.measured;
    EXPECT_EQ("", simulatedCpu.standardOutput);
    EXPECT_EQ(0u, NormalizeMhz(71));
    EXPECT_EQ("\nOperating frequency is either unsupported or unknown!", simulatedCpu.standardOutput);
}

TEST_F(Clock, TotalsRoundUpFrom56Hundredths)
{
    const struct {
        uint32_t cycles, microseconds, raw, normal;
    } cases[] = {
        {29955, 100, 299, 299}, {29956, 100, 299, 300}, {2996, 10, 299, 300},
        {29996, 100, 299, 300}, {0, 0, 0, 0},
        {4000000000u, 1000, 4000000, 4000000}, // products of the cycles would pass 2^32
        {4000000560u, 1000, 4000000, 4000001},
    };
    for (const auto &c : cases) {
        ClockMeasurement m = TscResultFromTotals(c.cycles, c.microseconds);
        EXPECT_EQ(c.raw, m.rawMhz) << c.cycles << "/" << c.microseconds;
        EXPECT_EQ(c.normal, m.normalMhz) << c.cycles << "/" << c.microseconds;
    }
}

TEST_F(Clock, PassRatesRoundHalfDownAndAgreeWithin1Mhz)
{
    EXPECT_EQ(3u, DivideRoundingHalfDown(7, 2));  // remainder exactly half: down
    EXPECT_EQ(300u, DivideRoundingHalfDown(300500, 1000));
    EXPECT_EQ(301u, DivideRoundingHalfDown(300501, 1000));
    EXPECT_TRUE(RatesAgree(300, 301, 300));
    EXPECT_FALSE(RatesAgree(300, 300, 302));
}

ClockMeasurement MeasureRates(std::vector<uint32_t> mhz)
{
    for (uint32_t &rate : mhz)
        rate *= 1000;
    simulatedCpu.khz = mhz;
    return MeasureWithTsc();
}

TEST_F(Clock, TscPassesStopOnAgreementOrAfter20)
{
    // 1 MHz counter, one tick per read: each window is 1000 us.
    ClockMeasurement agreed = MeasureRates({300, 301, 300});
    EXPECT_EQ(3000u, agreed.microseconds);
    EXPECT_EQ(901000u, agreed.cycles);
    EXPECT_EQ(300u, agreed.normalMhz);

    ResetSimulatedCpu();
    EXPECT_EQ(4000u, MeasureRates({300, 300, 302, 301}).microseconds); // 302 is 2 off: on

    ResetSimulatedCpu();
    std::vector<uint32_t> unsettled;
    for (int i = 0; i < 30; ++i)
        unsettled.push_back(i % 2 ? 320 : 300);
    ClockMeasurement capped = MeasureRates(unsettled);
    EXPECT_EQ(20000u, capped.microseconds);
    EXPECT_EQ(310u, capped.normalMhz); // from the totals of all 20 passes
    EXPECT_EQ(0, simulatedCpu.threadPriority);
}

TEST_F(Clock, TscSurvivesWrapsAndAFailingPriorityQuery)
{
    simulatedCpu.timeStampOffset = 0xFFFFFFFFu - 400000;
    simulatedCpu.threadPriorityFails = true;
    simulatedCpu.threadPriority = 2;
    EXPECT_EQ(300u, MeasureWithTsc().normalMhz);
    EXPECT_EQ(2, simulatedCpu.threadPriority); // never raised, so nothing to restore
}

TEST_F(Clock, UnusableCountersGiveNoMeasurement)
{
    const struct {
        bool hasCounter;
        uint32_t frequency, readNs;
    } cases[] = {
        {false, 1000000, 1000}, // no high-resolution counter
        {true, 9, 200000000},   // slower than 10 Hz: no tenth of a second to divide by
        {true, 2000000000, 1},  // so fast that a 1000-tick window is under a microsecond
    };
    for (const auto &c : cases) {
        ResetSimulatedCpu();
        simulatedCpu.hasCounter = c.hasCounter;
        simulatedCpu.counterFrequency = c.frequency;
        simulatedCpu.counterReadNs = c.readNs;
        simulatedCpu.bsfClocksPerPass = 0; // the loop's time is the counter reads alone
        EXPECT_EQ(0u, MeasureWithTsc().normalMhz) << c.frequency;
        EXPECT_EQ(0u, MeasureWithLoop(188000).normalMhz) << c.frequency;
    }
    ResetSimulatedCpu();
    simulatedCpu.timeStampFaults = true;
    EXPECT_EQ(0u, MeasureWithTsc().normalMhz);
}

TEST_F(Clock, TimerWindowIsHalfASecondAcrossTheTimerWrap)
{
    const uint32_t offsets[] = {0, 0xFFFFFF00u};
    for (uint32_t offset : offsets) {
        ResetSimulatedCpu();
        simulatedCpu.khz = {466000};
        simulatedCpu.timerOffset = offset;
        EXPECT_EQ(475, MeasureTimerClock()) << offset;
        EXPECT_NEAR(700e6, (double)simulatedCpu.nowNs, 2e6);
        EXPECT_EQ(0x20u, simulatedCpu.processPriority);
        EXPECT_EQ(0, simulatedCpu.threadPriority);
        EXPECT_EQ(0, simulatedCpu.timerPeriodDepth);
    }
    // Nothing to count with: no time-stamp counter (its read faults), or no timer to
    // measure the window (WINMM missing). Both give 0 and the message, leave the
    // scheduling as it was, and only the first spends the settling time.
    const struct {
        bool timeStampFaults, hasTimer;
        uint64_t elapsedNs;
    } nothingToCount[] = {{true, true, 200000000}, {false, false, 0}};
    for (const auto &c : nothingToCount) {
        ResetSimulatedCpu();
        simulatedCpu.timeStampFaults = c.timeStampFaults;
        simulatedCpu.hasTimer = c.hasTimer;
        EXPECT_EQ(0, MeasureTimerClock()) << c.hasTimer;
        EXPECT_EQ("\nOperating frequency is either unsupported or unknown!",
                  simulatedCpu.standardOutput);
        EXPECT_EQ(0x20u, simulatedCpu.processPriority);
        EXPECT_EQ(0, simulatedCpu.timerPeriodDepth);
        EXPECT_EQ(0, simulatedCpu.timerReads);
        EXPECT_NEAR((double)c.elapsedNs, (double)simulatedCpu.nowNs, 1e6) << c.hasTimer;
    }
}

TEST_F(Clock, CyrixRateFromTicksAndCoreClass)
{
    EXPECT_NEAR(198.82, CyrixMhzFromTicks(4228, 4), 0.005);
    EXPECT_EQ(198, TruncateMhz(CyrixMhzFromTicks(4228, 4)));
    EXPECT_EQ(0.0, CyrixMhzFromTicks(0, 4));
    EXPECT_EQ(0, TruncateMhz(CyrixMhzFromTicks(0xFFFFFFF0u, 0))); // wrapped difference
    const struct {
        uint8_t dir0;
        int coreClass;
    } cases[] = {{0x1F, 1}, {0xFF, 1}, {0x1A, 1}, {0x1C, 0}, {0x60, 0}, {0x2F, 2},
                 {0x40, 3}, {0x37, 4}, {0x50, 5}, {0xFD, 0}, {0xFE, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(c.coreClass, CyrixCoreClassOfDir0(c.dir0)) << std::hex << (int)c.dir0;
}

TEST_F(Clock, CyrixDir0FallsBackWhenConfigurationRegistersDoNotRespond)
{
    const struct {
        bool ccr2, ccr3;
        uint8_t dir0;
        int coreClass;
    } cases[] = {{true, true, 0x31, 4}, {false, true, 0x31, 4}, {true, false, 0xFE, 0},
                 {false, false, 0xFD, 0}};
    for (const auto &c : cases) {
        ResetSimulatedCpu();
        simulatedCpu.ccr2Responds = c.ccr2;
        simulatedCpu.ccr3Responds = c.ccr3;
        simulatedCpu.cyrixRegisters[0xFE] = 0x31;
        simulatedCpu.cyrixRegisters[0xC3] = 0x10;
        uint8_t dir0 = 0, dir1 = 0;
        ReadCyrixDir0(&dir0, &dir1);
        EXPECT_EQ(c.dir0, dir0);
        EXPECT_EQ(c.coreClass, GetCyrixCoreClass());
        EXPECT_EQ(0x10, simulatedCpu.cyrixRegisters[0xC3]); // written back as it was
        EXPECT_FALSE(simulatedCpu.interruptsOff);
    }
    ResetSimulatedCpu();
    simulatedCpu.cyrixRegisters[0xFE] = 0x31;
    simulatedCpu.alignmentCheckToggles = false;
    EXPECT_EQ(0, GetCyrixCoreClass());
    simulatedCpu.alignmentCheckToggles = true;
    simulatedCpu.flagsAfterDivide = 0x46;
    EXPECT_EQ(0, GetCyrixCoreClass());
}

TEST_F(Clock, CyrixMeasurementTimesTheLoopWithInterruptsOff)
{
    simulatedCpu.khz = {150000};
    simulatedCpu.divideClocksPerPass = 86;
    simulatedCpu.cyrixRegisters[0xFE] = 0x31; // class 4: 86 clocks per pass
    simulatedCpu.portNs = 0;
    EXPECT_EQ(150, TruncateMhz(MeasureCyrixClock()));
    EXPECT_EQ(0, simulatedCpu.divideLoopsWithInterruptsOn);
    EXPECT_FALSE(simulatedCpu.interruptsOff);

    ResetSimulatedCpu();
    simulatedCpu.portNs = 0;
    EXPECT_EQ(0u, TimeDivideLoop(0)); // no divide and no LOOP between the gate writes
    EXPECT_EQ(0u, simulatedCpu.nowNs);
}

TEST_F(Clock, CyrixMeasurementIsZeroWhereThePortsAreRefused)
{
    simulatedCpu.portsAllowed = false;
    EXPECT_EQ(0.0, MeasureCyrixClock());
    ResetSimulatedCpu();
    simulatedCpu.portsFault = true; // allowed in principle, refused in practice
    EXPECT_EQ(0.0, MeasureCyrixClock());
}

} // namespace
