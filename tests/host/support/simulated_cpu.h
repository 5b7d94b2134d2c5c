// A simulated processor and platform behind cpu_platform.h: recorded CPUID leaves, a clock
// that advances with every call, an 8254 channel 2, Cyrix configuration registers and a
// recorded clock rate in the in-memory registry, so the identification runs end to end
// without the processor.
#ifndef TARROW_SIMULATED_CPU_H
#define TARROW_SIMULATED_CPU_H

#include "cpu/cpu.h"

#include <stdint.h>

#include <map>
#include <set>
#include <string>
#include <vector>

struct SimulatedCpu {
    // The processor.
    bool idFlagToggles = true;
    std::map<uint32_t, CpuidRegisters> leaves; // an absent leaf reads as zeros
    std::set<uint32_t> faultingLeaves;
    bool emmsFaults = false;
    bool timeStampFaults = false;
    bool alignmentCheckToggles = true;
    uint8_t flagsAfterDivide = 0x02;
    uint32_t divideClocksPerPass = 237; // what one pass of the divide loop really takes
    uint32_t bsfClocksPerPass = 47;

    // The clock. The processor runs at khz[i] from the i-th raise of the thread to
    // time-critical priority on (the last rate stays); before that at khz[0].
    std::vector<uint32_t> khz = {300000};
    uint32_t timeStampOffset = 0;
    bool hasCounter = true;
    uint32_t counterFrequency = 1000000;
    uint32_t counterReadNs = 1000; // one tick of the default counter per read
    bool hasTimer = true;          // false: the multimedia timer's DLL could not be loaded
    uint32_t timerReadNs = 1000;
    uint32_t timerOffset = 0; // the millisecond timer's reading at time 0
    uint32_t portNs = 1000;

    // Ports and interrupts.
    bool portsAllowed = true;
    bool portsFault = false; // allowed, yet every access faults
    bool ccr2Responds = true;
    bool ccr3Responds = true;
    uint8_t dir0 = 0x31, dir1 = 0x00;

    // The system.
    bool affinityKnown = true;
    ProcessorMask systemAffinityMask = 1;
    int32_t activeProcessors = 0; // GetActiveProcessorCount's answer; 0: no such function

    // What the code did.
    std::string standardOutput;
    uint32_t processPriority = 0x20; // NORMAL_PRIORITY_CLASS
    int threadPriority = 0;
    bool threadPriorityFails = false;
    int timerPeriodDepth = 0;
    int counterReads = 0;
    int timerReads = 0;
    int divideLoopsWithInterruptsOn = 0;
    bool interruptsOff = false;

    // Internal state of the clock and the devices.
    uint64_t nowNs = 0;
    uint64_t cycleMillionths = 0; // cycles * 1,000,000, accumulated as kHz * ns
    size_t rateIndex = 0;
    size_t raises = 0;
    bool gateOpen = false;
    uint64_t gateOpenedNs = 0, gateElapsedNs = 0;
    uint16_t latchedCount = 0xFFFF;
    int readBackIndex = 0;
    uint8_t cyrixIndex = 0;
    uint8_t cyrixRegisters[256] = {};
    bool portFault = false;
};

extern SimulatedCpu simulatedCpu;

// Back to a fresh simulated machine (a 300 MHz processor, no CPUID leaves, an empty
// registry read by a limited account).
void ResetSimulatedCpu();
void SetSimulatedLeaf(uint32_t leaf, uint32_t eax, uint32_t ebx, uint32_t ecx, uint32_t edx);
// Leaf 0 with a 12-character vendor text and the given highest leaf.
void SetSimulatedVendor(const char *vendor, uint32_t highestLeaf);
// Leaves 0x80000002..4 from a text of at most 48 characters (zero-padded).
void SetSimulatedBrandString(const char *brand);
// The first processor's "~MHz" value in the in-memory registry, as a 4-byte number.
void RecordSimulatedMhz(int32_t mhz);

#endif
