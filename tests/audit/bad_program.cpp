// A program built against every rule the audit enforces, so the audit's test can show that
// each rule rejects: P6 code (CMOV), an SSE4.2 instruction (POPCNT) and CPUID outside the
// processor code, an import from MSVCRT.DLL and one from VERSION.DLL, a KERNEL32 function
// of Windows Vista, a console program, and a PE version of 6.0. Built for each tree's
// processor.
#include <windows.h>
#include <stdio.h>

static int PickWithCmov(int condition, int a, int b)
{
    __asm__("testl %1, %1\n\tcmovel %2, %0" : "+r"(a) : "r"(condition), "r"(b) : "cc");
    return a;
}

static unsigned CountBits(unsigned value)
{
    unsigned count;
    __asm__("popcntl %1, %0" : "=r"(count) : "r"(value) : "cc");
    return count;
}

static unsigned ReadVendorLeaf()
{
    unsigned eax = 0, ebx, ecx, edx;
    __asm__ volatile("cpuid" : "+a"(eax), "=b"(ebx), "=c"(ecx), "=d"(edx));
    return eax;
}

int main(int argc, char **argv)
{
    ULONGLONG ticks = GetTickCount64();
    DWORD handle = 0;
    printf("%d %u %u %lu %lu\n", PickWithCmov(argc, 1, 2), CountBits(argc), ReadVendorLeaf(),
           (unsigned long)ticks, GetFileVersionInfoSizeA(argv[0], &handle));
    return 0;
}
