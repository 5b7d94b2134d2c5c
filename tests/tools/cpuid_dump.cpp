// cpuid-dump: this machine's CPUID leaves 0, 1 and 0x80000000..0x80000004 in the corpus
// format, so that the program's model row under Wine can be checked with cpuid-replay.
#include <cpuid.h>
#include <stdio.h>

static void PrintLeaf(unsigned leaf)
{
    unsigned a, b, c, d;
    __cpuid_count(leaf, 0, a, b, c, d);
    printf("CPUID %08X: %08X-%08X-%08X-%08X\n", leaf, a, b, c, d);
}

int main()
{
    PrintLeaf(0);
    PrintLeaf(1);
    unsigned highest, b, c, d;
    __cpuid(0x80000000u, highest, b, c, d);
    unsigned last = highest < 0x80000004u ? highest : 0x80000004u;
    for (unsigned leaf = 0x80000000u; leaf <= last && highest >= 0x80000000u; ++leaf)
        PrintLeaf(leaf);
    return 0;
}
