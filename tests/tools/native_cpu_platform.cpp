// The build host as the identification's platform: CPUID, RDTSC and the timing loops run
// natively; CLOCK_MONOTONIC serves as performance counter and millisecond timer; the nice
// value stands in for priorities. No port access: the host refuses it to user code.
#include "native_cpu_platform.h"
#include "cpu/cpu_platform.h"

#include <cpuid.h>
#include <sched.h>
#include <stdio.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

int nativeTimeCriticalRaises = 0;
uint32_t nativeCounterFrequency = 10000000;

static uint64_t MonotonicNs()
{
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (uint64_t)now.tv_sec * 1000000000ull + (uint64_t)now.tv_nsec;
}

bool CpuFlagToggles(uint32_t mask)
{
    uint64_t before, after;
    __asm__ __volatile__("pushfq\n\t"
                         "popq %0\n\t"
                         "movq %0, %1\n\t"
                         "xorq %2, %1\n\t"
                         "pushq %1\n\t"
                         "popfq\n\t"
                         "pushfq\n\t"
                         "popq %1\n\t"
                         "pushq %0\n\t"
                         "popfq\n\t" // the old flags back at once
                         : "=&r"(before), "=&r"(after)
                         : "r"((uint64_t)mask)
                         : "cc");
    return ((before ^ after) & mask) != 0;
}

bool RunCpuid(uint32_t leaf, CpuidRegisters *out)
{
    unsigned a, b, c, d;
    __cpuid_count(leaf, 0, a, b, c, d);
    *out = CpuidRegisters{a, b, c, d};
    return true;
}

bool RunEmms()
{
    __asm__ __volatile__("emms");
    return true;
}

bool ReadTimeStamp(uint32_t *low)
{
    uint32_t a, d;
    __asm__ __volatile__("rdtsc" : "=a"(a), "=d"(d));
    *low = a;
    return true;
}

uint8_t ReadFlagsAfterDivide()
{
    uint32_t ax;
    __asm__ __volatile__("xorl %%eax, %%eax\n\t"
                         "sahf\n\t"
                         "movw $5, %%ax\n\t"
                         "movb $2, %%cl\n\t"
                         "divb %%cl\n\t"
                         "lahf\n\t"
                         : "=&a"(ax)
                         :
                         : "ecx", "cc");
    return (uint8_t)(ax >> 8);
}

void RunBsfLoop()
{
    __asm__ __volatile__("movl $0x80000000, %%eax\n\t"
                         "movw $4000, %%cx\n\t"
                         "1:\n\t"
                         "bsfl %%eax, %%edx\n\t"
                         "decw %%cx\n\t"
                         "jnz 1b\n\t"
                         :
                         :
                         : "eax", "ecx", "edx", "cc");
}

void RunDivideLoop(uint32_t passes)
{
    uint64_t count = passes;
    __asm__ __volatile__("xorl %%eax, %%eax\n\t"
                         "xorl %%edx, %%edx\n\t"
                         "movl $1, %%ebx\n\t"
                         "jrcxz 2f\n\t"
                         "1:\n\t"
                         "idivl %%ebx\n\t"
                         "idivl %%ebx\n\t"
                         "idivl %%ebx\n\t"
                         "idivl %%ebx\n\t"
                         "idivl %%ebx\n\t"
                         "loop 1b\n\t"
                         "2:\n\t"
                         : "+c"(count)
                         :
                         : "eax", "ebx", "edx", "cc");
}

static bool portFault = false;

bool PortAccessAllowed()
{
    return false;
}

uint8_t ReadPort(uint16_t)
{
    portFault = true;
    return 0xFF;
}

void WritePort(uint16_t, uint8_t)
{
    portFault = true;
}

uint32_t DisableInterrupts()
{
    portFault = true;
    return FlagInterrupt;
}

void RestoreInterrupts(uint32_t)
{
}

bool PortFaulted()
{
    return portFault;
}

void ClearPortFault()
{
    portFault = false;
}

bool ReadPerformanceFrequency(uint32_t *low)
{
    *low = nativeCounterFrequency;
    return true;
}

uint32_t ReadPerformanceCounter()
{
    unsigned __int128 ticks = (unsigned __int128)MonotonicNs() * nativeCounterFrequency;
    return (uint32_t)(ticks / 1000000000u);
}

bool HasMillisecondTimer()
{
    return true;
}

uint32_t ReadMillisecondTimer()
{
    return (uint32_t)(MonotonicNs() / 1000000);
}

void BeginTimerPeriod()
{
}

void EndTimerPeriod()
{
}

void EndUnfinishedTimerPeriod()
{
}

void SleepMilliseconds(uint32_t milliseconds)
{
    timespec pause = {(time_t)(milliseconds / 1000), (long)(milliseconds % 1000) * 1000000L};
    nanosleep(&pause, NULL);
}

// Priorities as nice values: the real-time class and time-critical priority are -20.
enum { HighestNice = -20 };

static int NiceOf(int who)
{
    return getpriority(PRIO_PROCESS, (id_t)who);
}

uint32_t GetProcessPriority()
{
    return (uint32_t)NiceOf(0);
}

void SetProcessPriority(uint32_t priorityClass)
{
    int nice = priorityClass == PriorityClassRealtime ? HighestNice : (int)priorityClass;
    setpriority(PRIO_PROCESS, 0, nice);
}

int GetThreadPriorityLevel()
{
    return NiceOf((int)syscall(SYS_gettid));
}

void SetThreadPriorityLevel(int priority)
{
    int nice = priority;
    if (priority == ThreadPriorityTimeCritical) {
        nice = HighestNice;
        ++nativeTimeCriticalRaises;
    }
    setpriority(PRIO_PROCESS, (id_t)syscall(SYS_gettid), nice);
}

bool GetSystemAffinityMask(ProcessorMask *mask)
{
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return false;
    ProcessorMask bits = 0;
    for (int cpu = 0; cpu < (int)sizeof bits * 8; ++cpu)
        if (CPU_ISSET(cpu, &set))
            bits |= (ProcessorMask)1 << cpu;
    *mask = bits;
    return true;
}

// The tools measure one processor's clock; they never count processors past the mask.
bool CountActiveProcessors(int32_t *)
{
    return false;
}

void WriteStandardOutput(const char *text)
{
    fputs(text, stdout);
}
