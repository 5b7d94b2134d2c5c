// The platform's system calls for the processor code, the same on 32-bit and 64-bit
// Windows: the performance counter, the multimedia timer, priorities, the processor count
// and standard output. The instructions are in cpu_platform_win32.cpp and
// cpu_platform_win64.cpp.
#include "cpu_platform.h"
#include "../base/kernel_lookup.h"
#include "../base/system_dll.h"

#include <windows.h>
#include <mmsystem.h>
#include <stdio.h>

bool ReadPerformanceFrequency(uint32_t *low)
{
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency))
        return false;
    *low = frequency.LowPart;
    return true;
}

uint32_t ReadPerformanceCounter()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.LowPart;
}

bool HasMillisecondTimer()
{
    return IsSystemDllBound(MultimediaDll);
}

uint32_t ReadMillisecondTimer()
{
    return timeGetTime();
}

// Whether the 1 ms resolution is in force for a measurement, so that it can be ended if a
// fault cuts the measurement short.
static bool timerPeriodBegun = false;

void BeginTimerPeriod()
{
    timeBeginPeriod(1);
    timerPeriodBegun = true;
}

void EndTimerPeriod()
{
    timeEndPeriod(1);
    timerPeriodBegun = false;
}

void EndUnfinishedTimerPeriod()
{
    if (timerPeriodBegun)
        EndTimerPeriod();
}

void SleepMilliseconds(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

uint32_t GetProcessPriority()
{
    return GetPriorityClass(GetCurrentProcess());
}

void SetProcessPriority(uint32_t priorityClass)
{
    SetPriorityClass(GetCurrentProcess(), priorityClass);
}

int GetThreadPriorityLevel()
{
    return GetThreadPriority(GetCurrentThread());
}

void SetThreadPriorityLevel(int priority)
{
    SetThreadPriority(GetCurrentThread(), priority);
}

bool GetSystemAffinityMask(ProcessorMask *mask)
{
    DWORD_PTR processMask = 0, systemMask = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &processMask, &systemMask))
        return false;
    *mask = systemMask;
    return true;
}

// GetActiveProcessorCount exists from Windows 7 on; older systems would refuse to load a
// program that imports it.
typedef DWORD(WINAPI *ActiveProcessorCountFunction)(WORD groupNumber);
enum { AllProcessorGroups = 0xFFFF }; // ALL_PROCESSOR_GROUPS

bool CountActiveProcessors(int32_t *count)
{
    ActiveProcessorCountFunction countActive =
        (ActiveProcessorCountFunction)FindKernelFunction("GetActiveProcessorCount");
    DWORD active = countActive ? countActive(AllProcessorGroups) : 0;
    if (active == 0)
        return false;
    *count = (int32_t)active;
    return true;
}

// Through the C runtime DLL's own stream in text mode, so a line end leaves the program as
// CR LF; a GUI program without a console loses the text.
void WriteStandardOutput(const char *text)
{
    fputs(text, stdout);
    fflush(stdout);
}
