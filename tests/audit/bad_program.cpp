// A program built against every rule the audit enforces, so the audit's test can show that
// each rule rejects: P6 code (CMOV) and CPUID outside the processor code, an import from
// MSVCRT.DLL, a KERNEL32 function of Windows Vista, and a PE version of 6.0.
#include <windows.h>
#include <stdio.h>

static int PickWithCmov(int condition, int a, int b)
{
    __asm__("testl %1, %1\n\tcmovel %2, %0" : "+r"(a) : "r"(condition), "r"(b) : "cc");
    return a;
}

static unsigned ReadVendorLeaf()
{
    unsigned eax = 0, ebx, ecx, edx;
    __asm__ volatile("cpuid" : "+a"(eax), "=b"(ebx), "=c"(ecx), "=d"(edx));
    return eax;
}

int main(int argc, char **)
{
    ULONGLONG ticks = GetTickCount64();
    printf("%d %u %lu\n", PickWithCmov(argc, 1, 2), ReadVendorLeaf(), (unsigned long)ticks);
    return 0;
}
