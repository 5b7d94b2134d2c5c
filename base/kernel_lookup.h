// KERNEL32 functions newer than the first Windows 95, found at run time: that system would
// not load a program that imports them (kernel_lookup_win32.cpp).
#ifndef TARROW_KERNEL_LOOKUP_H
#define TARROW_KERNEL_LOOKUP_H

// The function's entry point, or NULL where the system lacks it.
void *FindKernelFunction(const char *name);

#endif
