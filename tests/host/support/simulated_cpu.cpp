// The simulated processor and platform: every call costs simulated time, and the
// time-stamp counter, the performance counter, the millisecond timer and timer channel 2
// all follow that one clock.
#include "simulated_cpu.h"
#include "fake_registry.h"
#include "cpu/cpu_platform.h"

#include <string.h>

SimulatedCpu simulatedCpu;

static SimulatedCpu &sim = simulatedCpu;

void ResetSimulatedCpu()
{
    sim = SimulatedCpu();
    ResetFakeRegistry();
}

void RecordSimulatedMhz(int32_t mhz)
{
    SetFakeNumber(REG_LOCAL_MACHINE, "Hardware\\Description\\System\\CentralProcessor\\0", "~MHz",
                  (uint32_t)mhz);
}

void SetSimulatedLeaf(uint32_t leaf, uint32_t eax, uint32_t ebx, uint32_t ecx, uint32_t edx)
{
    sim.leaves[leaf] = CpuidRegisters{eax, ebx, ecx, edx};
}

static uint32_t PackText(const char *text)
{
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i)
        value = (value << 8) | (uint8_t)text[i];
    return value;
}

void SetSimulatedVendor(const char *vendor, uint32_t highestLeaf)
{
    char text[12] = {};
    memcpy(text, vendor, strnlen(vendor, 12));
    SetSimulatedLeaf(0, highestLeaf, PackText(text), PackText(text + 8), PackText(text + 4));
}

void SetSimulatedBrandString(const char *brand)
{
    char text[48] = {};
    memcpy(text, brand, strnlen(brand, 48));
    for (uint32_t i = 0; i < 3; ++i) {
        const char *part = text + 16 * i;
        SetSimulatedLeaf(0x80000002u + i, PackText(part), PackText(part + 4), PackText(part + 8),
                         PackText(part + 12));
    }
}

static uint32_t CurrentKhz()
{
    size_t i = sim.rateIndex < sim.khz.size() ? sim.rateIndex : sim.khz.size() - 1;
    return sim.khz[i];
}

static void Advance(uint64_t ns)
{
    sim.nowNs += ns;
    sim.cycleMillionths += ns * CurrentKhz();
}

static void AdvanceCycles(uint64_t cycles)
{
    Advance(cycles * 1000000 / CurrentKhz());
}

bool CpuFlagToggles(uint32_t mask)
{
    if (mask == FlagId)
        return sim.idFlagToggles;
    if (mask == FlagAlignmentCheck)
        return sim.alignmentCheckToggles;
    return false;
}

bool RunCpuid(uint32_t leaf, CpuidRegisters *out)
{
    *out = CpuidRegisters{0, 0, 0, 0};
    if (sim.faultingLeaves.count(leaf))
        return false;
    auto found = sim.leaves.find(leaf);
    if (found != sim.leaves.end())
        *out = found->second;
    return true;
}

bool RunEmms()
{
    return !sim.emmsFaults;
}

bool ReadTimeStamp(uint32_t *low)
{
    *low = 0;
    if (sim.timeStampFaults)
        return false;
    *low = (uint32_t)(sim.cycleMillionths / 1000000) + sim.timeStampOffset;
    return true;
}

uint8_t ReadFlagsAfterDivide()
{
    return sim.flagsAfterDivide;
}

void RunBsfLoop()
{
    AdvanceCycles(4000ull * sim.bsfClocksPerPass);
}

void RunDivideLoop(uint32_t passes)
{
    if (!sim.interruptsOff)
        ++sim.divideLoopsWithInterruptsOn;
    AdvanceCycles((uint64_t)passes * sim.divideClocksPerPass);
}

bool PortAccessAllowed()
{
    return sim.portsAllowed;
}

bool PortFaulted()
{
    return sim.portFault;
}

void ClearPortFault()
{
    sim.portFault = false;
}

static bool PortUsable()
{
    Advance(sim.portNs);
    if (!sim.portsAllowed || sim.portsFault) {
        sim.portFault = true;
        return false;
    }
    return true;
}

static uint8_t ReadTimerChannel2()
{
    uint16_t count = sim.latchedCount;
    int index = sim.readBackIndex++;
    if (index == 0)
        return 0x00; // status byte
    return (uint8_t)(index == 1 ? count & 0xFF : count >> 8);
}

static uint8_t ReadCyrixData()
{
    return sim.cyrixRegisters[sim.cyrixIndex];
}

static bool Responds(uint8_t index)
{
    if (index == 0xC2)
        return sim.ccr2Responds;
    if (index == 0xC3)
        return sim.ccr3Responds;
    return true;
}

uint8_t ReadPort(uint16_t port)
{
    if (!PortUsable())
        return 0xFF;
    switch (port) {
    case 0x42:
        return ReadTimerChannel2();
    case 0x61:
        return (uint8_t)(0x20 | (sim.gateOpen ? 1 : 0));
    case 0x23:
        return ReadCyrixData();
    }
    return 0xFF;
}

static void WriteSystemControl(uint8_t value)
{
    bool open = (value & 1) != 0;
    if (open && !sim.gateOpen)
        sim.gateOpenedNs = sim.nowNs;
    if (!open && sim.gateOpen)
        sim.gateElapsedNs += sim.nowNs - sim.gateOpenedNs;
    sim.gateOpen = open;
}

static void WriteTimerCommand(uint8_t value)
{
    if (value == 0xB0) { // one-shot from 0xFFFF: nothing counted yet
        sim.gateElapsedNs = 0;
    } else if (value == 0xC8) {
        uint64_t ticks = sim.gateElapsedNs * 1193182ull / 1000000000ull;
        sim.latchedCount = (uint16_t)(0xFFFF - ticks);
        sim.readBackIndex = 0;
    }
}

void WritePort(uint16_t port, uint8_t value)
{
    if (!PortUsable())
        return;
    switch (port) {
    case 0x61:
        WriteSystemControl(value);
        break;
    case 0x43:
        WriteTimerCommand(value);
        break;
    case 0x22:
        sim.cyrixIndex = value;
        break;
    case 0x23:
        if (Responds(sim.cyrixIndex))
            sim.cyrixRegisters[sim.cyrixIndex] = value;
        break;
    }
}

uint32_t DisableInterrupts()
{
    uint32_t flags = 0x02 | (sim.interruptsOff ? 0 : FlagInterrupt);
    if (PortUsable())
        sim.interruptsOff = true;
    return flags;
}

void RestoreInterrupts(uint32_t savedFlags)
{
    if (savedFlags & FlagInterrupt)
        sim.interruptsOff = false;
}

bool ReadPerformanceFrequency(uint32_t *low)
{
    if (!sim.hasCounter)
        return false;
    *low = sim.counterFrequency;
    return true;
}

uint32_t ReadPerformanceCounter()
{
    Advance(sim.counterReadNs);
    ++sim.counterReads;
    return (uint32_t)(sim.nowNs * sim.counterFrequency / 1000000000ull);
}

bool HasMillisecondTimer()
{
    return sim.hasTimer;
}

uint32_t ReadMillisecondTimer()
{
    Advance(sim.timerReadNs);
    ++sim.timerReads;
    return sim.timerOffset + (uint32_t)(sim.nowNs / 1000000);
}

void BeginTimerPeriod()
{
    ++sim.timerPeriodDepth;
}

void EndTimerPeriod()
{
    --sim.timerPeriodDepth;
}

void EndUnfinishedTimerPeriod()
{
    if (sim.timerPeriodDepth > 0)
        EndTimerPeriod();
}

void SleepMilliseconds(uint32_t milliseconds)
{
    Advance((uint64_t)milliseconds * 1000000);
}

uint32_t GetProcessPriority()
{
    return sim.processPriority;
}

void SetProcessPriority(uint32_t priorityClass)
{
    sim.processPriority = priorityClass;
}

int GetThreadPriorityLevel()
{
    return sim.threadPriorityFails ? ThreadPriorityErrorReturn : sim.threadPriority;
}

void SetThreadPriorityLevel(int priority)
{
    // Each new raise starts the next rate of the schedule.
    if (priority == ThreadPriorityTimeCritical && sim.threadPriority != priority)
        sim.rateIndex = sim.raises++;
    sim.threadPriority = priority;
}

bool GetSystemAffinityMask(ProcessorMask *mask)
{
    if (!sim.affinityKnown)
        return false;
    *mask = sim.systemAffinityMask;
    return true;
}

bool CountActiveProcessors(int32_t *count)
{
    if (sim.activeProcessors == 0)
        return false;
    *count = sim.activeProcessors;
    return true;
}

void WriteStandardOutput(const char *text)
{
    sim.standardOutput += text;
}
