// The processor and the build host behind cpu_platform.h, for the bench tools: the real
// instructions, a monotonic clock standing in for the performance counter and the timer.
#ifndef TARROW_NATIVE_CPU_PLATFORM_H
#define TARROW_NATIVE_CPU_PLATFORM_H

#include <stdint.h>

// The stand-in performance counter's rate: 10 MHz by default, as Windows NT's and Wine's;
// 1,193,182 Hz is the Windows 95 family's.
extern uint32_t nativeCounterFrequency;

// How often the thread was raised to time-critical priority: one per timing pass.
extern int nativeTimeCriticalRaises;

#endif
