// KERNEL32 functions newer than the first Windows 95, found at run time: that system would
// not load a program that imports them.
#include "kernel_lookup.h"

#include <windows.h>

// KERNEL32 is loaded in every process, so its entry points stay valid for the whole run.
void *FindKernelFunction(const char *name)
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return NULL;
    return (void *)GetProcAddress(kernel, name);
}
