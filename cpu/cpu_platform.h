// The processor and the platform as the identification sees them: each operation is one
// instruction or one system call. Windows: the instructions in cpu_platform_win32.cpp and,
// for the 64-bit program, cpu_platform_win64.cpp, the system calls in cpu_system_win32.cpp;
// the host has a simulated one for the unit tests and a native one for the bench tools.
#ifndef TARROW_CPU_PLATFORM_H
#define TARROW_CPU_PLATFORM_H

#include "cpu.h"

#include <stdint.h>

enum {
    FlagAlignmentCheck = 0x40000, // EFLAGS bit 18
    FlagId = 0x200000,            // EFLAGS bit 21
    FlagInterrupt = 0x200,        // EFLAGS bit 9
};

// Processor instructions. Those that may fault run under a guard and report a fault as false.
bool CpuFlagToggles(uint32_t mask);                  // can this EFLAGS bit be flipped?
bool RunCpuid(uint32_t leaf, CpuidRegisters *out);   // out is all zeros after a fault
bool RunEmms();
bool ReadTimeStamp(uint32_t *low);                   // low 32 bits of RDTSC
uint8_t ReadFlagsAfterDivide();                      // SAHF of 0, DIV 5 by 2, LAHF
void RunBsfLoop();                                   // 4000 passes of BSF, DEC, JNZ
void RunDivideLoop(uint32_t passes);                 // passes of five IDIV and one LOOP

// I/O ports and the interrupt flag. Only the Windows 95 family lets user code do them;
// a fault is remembered until ClearPortFault so that a measurement can be discarded.
bool PortAccessAllowed();
uint8_t ReadPort(uint16_t port);
void WritePort(uint16_t port, uint8_t value);
uint32_t DisableInterrupts(); // returns the flags from before
void RestoreInterrupts(uint32_t savedFlags);
bool PortFaulted();
void ClearPortFault();

// Clocks.
bool ReadPerformanceFrequency(uint32_t *low); // low 32 bits; false when there is no counter
uint32_t ReadPerformanceCounter();            // low 32 bits
// Whether there is a millisecond timer to read (the multimedia timer's DLL could be had).
bool HasMillisecondTimer();
uint32_t ReadMillisecondTimer();
void BeginTimerPeriod(); // 1 ms timer resolution
void EndTimerPeriod();
// Ends the 1 ms resolution if a measurement began it and was cut short before ending it.
void EndUnfinishedTimerPeriod();
void SleepMilliseconds(uint32_t milliseconds);

// Scheduling.
enum {
    PriorityClassRealtime = 0x100,
    ThreadPriorityTimeCritical = 15,
    ThreadPriorityErrorReturn = 0x7FFFFFFF,
};
uint32_t GetProcessPriority();
void SetProcessPriority(uint32_t priorityClass);
int GetThreadPriorityLevel();
void SetThreadPriorityLevel(int priority);

// The system.
bool GetSystemAffinityMask(ProcessorMask *mask);
// The logical processors of every processor group, as Windows 7 and later count them;
// false where the system cannot (the function is missing, or it answers 0).
bool CountActiveProcessors(int32_t *count);
void WriteStandardOutput(const char *text);

#endif
