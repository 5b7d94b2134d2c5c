// The processor and the build host behind cpu_platform.h, for the bench tools: the real
// instructions, a monotonic clock standing in for the performance counter and the timer.
#ifndef TARROW_NATIVE_CPU_PLATFORM_H
#define TARROW_NATIVE_CPU_PLATFORM_H

// The stand-in performance counter ticks at 10 MHz, as Windows NT's and Wine's do.
enum { NativeCounterFrequency = 10000000 };

// How often the thread was raised to time-critical priority: one per timing pass.
extern int nativeTimeCriticalRaises;

#endif
