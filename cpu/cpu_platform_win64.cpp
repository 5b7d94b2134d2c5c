// The processor on 64-bit Windows. The instructions that may fault (CPUID, RDTSC, EMMS)
// each run in a small assembly function whose unwind entry names InstructionFaultHandler
// and, as its handler data, the label a fault resumes at; the handler sends the faulting
// thread there, where the function returns 0. Every x86-64 processor has CPUID, so the
// 486 and CPUID flag tests of the 32-bit program have nothing to find out here, and no
// 64-bit Windows lets a program reach the I/O ports or the interrupt flag.
#include "cpu_platform.h"

#include <windows.h>
#include <string.h>

enum {
    UnwindingFlags = 0x2 | 0x4, // EXCEPTION_UNWINDING, EXCEPTION_EXIT_UNWIND
};

extern "C" {
// In assembly below: 1 when the instruction ran, 0 when it faulted.
int GuardedCpuid(uint32_t leaf, uint32_t registers[4]); // EAX, EBX, ECX, EDX
int GuardedRdtsc(uint32_t *low);
int GuardedEmms();

// A fault inside one of the functions above: resume at the label its handler data holds,
// an offset from the program's image base, with every register as at the fault.
EXCEPTION_DISPOSITION InstructionFaultHandler(EXCEPTION_RECORD *record, void *, CONTEXT *context,
                                              DISPATCHER_CONTEXT *dispatcher)
{
    if (record->ExceptionFlags & UnwindingFlags)
        return ExceptionContinueSearch;
    const DWORD *resumeOffset = (const DWORD *)dispatcher->HandlerData;
    context->Rip = dispatcher->ImageBase + *resumeOffset;
    return ExceptionContinueExecution;
}
}

// The start of a guarded function NAME: its unwind entry with the handler, the resume label
// .LNAME_fault as handler data, then back to the code. RBX is saved in the prologue for
// CPUID, which overwrites it; the others save it as well, so that one fault path serves all.
#define GUARDED_FUNCTION(name)                                                             \
    ".text\n"                                                                              \
    ".globl " name "\n"                                                                    \
    ".def " name "; .scl 2; .type 32; .endef\n"                                            \
    ".seh_proc " name "\n" name ":\n"                                                      \
    "    pushq %rbx\n"                                                                     \
    "    .seh_pushreg %rbx\n"                                                              \
    "    .seh_endprologue\n"                                                               \
    "    .seh_handler InstructionFaultHandler, @except\n"                                  \
    "    .seh_handlerdata\n"                                                               \
    "    .rva .L" name "_fault\n"                                                          \
    ".text\n"
// The end: RAX = 1 after the instruction ran, 0 at the resume label.
#define GUARDED_FUNCTION_END(name)                                                         \
    "    movl $1, %eax\n"                                                                  \
    "    popq %rbx\n"                                                                      \
    "    ret\n"                                                                            \
    ".L" name "_fault:\n"                                                                  \
    "    xorl %eax, %eax\n"                                                                \
    "    popq %rbx\n"                                                                      \
    "    ret\n"                                                                            \
    ".seh_endproc\n"

// GuardedCpuid(leaf in ECX, registers in RDX), subleaf 0.
__asm__(GUARDED_FUNCTION("GuardedCpuid")
        "    movq %rdx, %r8\n"
        "    movl %ecx, %eax\n"
        "    xorl %ecx, %ecx\n"
        "    cpuid\n"
        "    movl %eax, (%r8)\n"
        "    movl %ebx, 4(%r8)\n"
        "    movl %ecx, 8(%r8)\n"
        "    movl %edx, 12(%r8)\n"
        GUARDED_FUNCTION_END("GuardedCpuid"));

// GuardedRdtsc(low in RCX).
__asm__(GUARDED_FUNCTION("GuardedRdtsc")
        "    movq %rcx, %r8\n"
        "    rdtsc\n"
        "    movl %eax, (%r8)\n"
        GUARDED_FUNCTION_END("GuardedRdtsc"));

__asm__(GUARDED_FUNCTION("GuardedEmms")
        "    emms\n"
        GUARDED_FUNCTION_END("GuardedEmms"));

// Every x86-64 processor can flip the alignment-check flag (it is past the 486) and the ID
// flag (it has CPUID).
bool CpuFlagToggles(uint32_t mask)
{
    return (mask & (FlagAlignmentCheck | FlagId)) != 0;
}

bool RunCpuid(uint32_t leaf, CpuidRegisters *out)
{
    uint32_t registers[4];
    if (!GuardedCpuid(leaf, registers)) {
        memset(out, 0, sizeof *out);
        return false;
    }
    out->eax = registers[0];
    out->ebx = registers[1];
    out->ecx = registers[2];
    out->edx = registers[3];
    return true;
}

bool RunEmms()
{
    return GuardedEmms() != 0;
}

bool ReadTimeStamp(uint32_t *low)
{
    *low = 0;
    return GuardedRdtsc(low) != 0;
}

// The first x86-64 processors have no LAHF and SAHF in 64-bit mode: the flags go through
// the stack instead. The arithmetic flags (SF, ZF, AF, PF, CF) are cleared before the
// divide and its low byte of the flags is the result.
uint8_t ReadFlagsAfterDivide()
{
    uint64_t flags;
    __asm__ __volatile__("pushfq\n\t"
                         "andq $~0xD5, (%%rsp)\n\t"
                         "popfq\n\t"
                         "movw $5, %%ax\n\t"
                         "movb $2, %%cl\n\t"
                         "divb %%cl\n\t" // AX / CL, unsigned
                         "pushfq\n\t"
                         "popq %0\n\t"
                         : "=r"(flags)
                         :
                         : "rax", "rcx", "cc");
    return (uint8_t)flags;
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
                         : "rax", "rcx", "rdx", "cc");
}

void RunDivideLoop(uint32_t passes)
{
    // Dividend EDX:EAX = 0, divisor 1: every quotient and remainder is 0 again. LOOP counts
    // in RCX in 64-bit code, so the count is widened. The setup and JRCXZ run for zero
    // passes as well, so they cancel out of loaded minus empty.
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
                         : "rax", "rbx", "rdx", "cc");
}

// No port access and no CLI/STI for a 64-bit program. The calls below are never reached
// after PortAccessAllowed says no; should one be, it counts as a refused access and voids
// the measurement.
static bool portFault = false;

bool PortAccessAllowed()
{
    return false;
}

bool PortFaulted()
{
    return portFault;
}

void ClearPortFault()
{
    portFault = false;
}

uint8_t ReadPort(uint16_t)
{
    portFault = true;
    return 0;
}

void WritePort(uint16_t, uint8_t)
{
    portFault = true;
}

uint32_t DisableInterrupts()
{
    portFault = true;
    return FlagInterrupt; // they stay on
}

void RestoreInterrupts(uint32_t)
{
}
