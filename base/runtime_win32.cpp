// The few compiler helpers tarrow.exe needs, written for the i486: the compiler's own
// runtime library is built for later processors (CMOV), so the program does not link it.
// The 32-bit program's only: tarrow64.exe has its own in runtime_win64.cpp.
#include "arith64.h"

#include <stddef.h>

extern "C" {

uint64_t __udivdi3(uint64_t dividend, uint64_t divisor)
{
    return DivideUnsigned64(dividend, divisor, NULL);
}

uint64_t __umoddi3(uint64_t dividend, uint64_t divisor)
{
    uint64_t remainder;
    DivideUnsigned64(dividend, divisor, &remainder);
    return remainder;
}

uint64_t __udivmoddi4(uint64_t dividend, uint64_t divisor, uint64_t *remainder)
{
    return DivideUnsigned64(dividend, divisor, remainder);
}

int64_t __divdi3(int64_t dividend, int64_t divisor)
{
    return DivideSigned64(dividend, divisor, NULL);
}

int64_t __moddi3(int64_t dividend, int64_t divisor)
{
    int64_t remainder;
    DivideSigned64(dividend, divisor, &remainder);
    return remainder;
}

} // extern "C"

// Stack probe called before a frame larger than a page is set up: EAX holds the frame's
// size; every page below the stack pointer is touched in order so the system's guard page
// grows the stack one page at a time. Every register and the stack pointer are kept.
__asm__(".text\n"
        ".globl ___chkstk_ms\n"
        "___chkstk_ms:\n"
        "    pushl %ecx\n"
        "    pushl %eax\n"
        "    leal 12(%esp), %ecx\n" // the caller's stack pointer before its call
        "1:  cmpl $0x1000, %eax\n"
        "    jb 2f\n"
        "    subl $0x1000, %ecx\n"
        "    orl $0, (%ecx)\n"
        "    subl $0x1000, %eax\n"
        "    jmp 1b\n"
        "2:  subl %eax, %ecx\n"
        "    orl $0, (%ecx)\n"
        "    popl %eax\n"
        "    popl %ecx\n"
        "    ret\n");
