// The processor on 32-bit Windows: the instructions as inline assembly, each one that may
// fault inside its own fs:[0] exception frame, and the ports of the Windows 95 family. The
// system calls are in cpu_system_win32.cpp, shared with the 64-bit program.
#include "cpu_platform.h"

#include <windows.h>
#include <string.h>

// An exception frame as the system walks it from fs:[0]: the link and the handler, then
// our own fields. A fault inside the frame resumes at `resume` with `faulted` set; the
// faulting instruction is the only one between installing and removing the frame, so
// every register but its outputs is as it was before it.
struct GuardFrame {
    GuardFrame *previous;
    void *handler;
    void *resume;
    volatile DWORD faulted;
};

enum {
    UnwindingFlags = 0x2 | 0x4, // EXCEPTION_UNWINDING, EXCEPTION_EXIT_UNWIND
};

extern "C" EXCEPTION_DISPOSITION __cdecl GuardHandler(EXCEPTION_RECORD *record, void *establisher,
                                                      CONTEXT *context, void *)
{
    if (record->ExceptionFlags & UnwindingFlags)
        return ExceptionContinueSearch;
    GuardFrame *frame = (GuardFrame *)establisher;
    frame->faulted = 1;
    context->Eip = (DWORD)frame->resume;
    return ExceptionContinueExecution;
}

static void PrepareFrame(GuardFrame *frame)
{
    frame->previous = 0;
    frame->handler = (void *)GuardHandler;
    frame->resume = 0;
    frame->faulted = 0;
}

// Install: link to the current head, note the resume label, become the head.
// Remove: the resume label, then the old head back into fs:[0]. %[frame] holds &frame.
#define GUARD_ENTER                                                                        \
    "pushl %%fs:0\n\t"                                                                     \
    "popl (%[frame])\n\t"                                                                  \
    "movl $1f, 8(%[frame])\n\t"                                                            \
    "movl %[frame], %%fs:0\n\t"
#define GUARD_LEAVE                                                                        \
    "1:\n\t"                                                                               \
    "pushl (%[frame])\n\t"                                                                 \
    "popl %%fs:0\n\t"

bool CpuFlagToggles(uint32_t mask)
{
    uint32_t changed, saved;
    __asm__ __volatile__("pushfl\n\t"
                         "popl %0\n\t"
                         "movl %0, %1\n\t"
                         "xorl %2, %0\n\t"
                         "pushl %0\n\t"
                         "popfl\n\t"
                         "pushfl\n\t"
                         "popl %0\n\t"
                         "pushl %1\n\t"
                         "popfl\n\t" // the old flags back at once (AC must not stay set)
                         "xorl %1, %0\n\t"
                         : "=&r"(changed), "=&r"(saved)
                         : "ri"(mask)
                         : "cc");
    return (changed & mask) != 0;
}

bool RunCpuid(uint32_t leaf, CpuidRegisters *out)
{
    GuardFrame frame;
    PrepareFrame(&frame);
    uint32_t a = leaf, b = 0, c = 0, d = 0;
    __asm__ __volatile__(GUARD_ENTER "cpuid\n\t" GUARD_LEAVE
                         : "+a"(a), "+b"(b), "+c"(c), "+d"(d)
                         : [frame] "D"(&frame)
                         : "memory", "cc");
    if (frame.faulted) {
        memset(out, 0, sizeof *out);
        return false;
    }
    out->eax = a;
    out->ebx = b;
    out->ecx = c;
    out->edx = d;
    return true;
}

bool RunEmms()
{
    GuardFrame frame;
    PrepareFrame(&frame);
    __asm__ __volatile__(GUARD_ENTER "emms\n\t" GUARD_LEAVE
                         :
                         : [frame] "D"(&frame)
                         : "memory");
    return !frame.faulted;
}

bool ReadTimeStamp(uint32_t *low)
{
    GuardFrame frame;
    PrepareFrame(&frame);
    uint32_t a = 0, d = 0;
    __asm__ __volatile__(GUARD_ENTER "rdtsc\n\t" GUARD_LEAVE
                         : "+a"(a), "+d"(d)
                         : [frame] "D"(&frame)
                         : "memory");
    *low = a;
    return !frame.faulted;
}

uint8_t ReadFlagsAfterDivide()
{
    uint32_t ax;
    __asm__ __volatile__("xorl %%eax, %%eax\n\t"
                         "sahf\n\t"           // arithmetic flags all clear
                         "movw $5, %%ax\n\t"
                         "movb $2, %%cl\n\t"
                         "divb %%cl\n\t"      // AX / CL, unsigned
                         "lahf\n\t"           // AH = low byte of the flags
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
    // Dividend EDX:EAX = 0, divisor 1: every quotient and remainder is 0 again. The setup
    // and JECXZ run for zero passes as well, so they cancel out of loaded minus empty.
    uint32_t count = passes;
    __asm__ __volatile__("xorl %%eax, %%eax\n\t"
                         "xorl %%edx, %%edx\n\t"
                         "movl $1, %%ebx\n\t"
                         "jecxz 2f\n\t"
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

// Port access and CLI/STI: allowed to user code on the Windows 95 family only. Each is
// still guarded; a fault marks the measurement in progress as void.
static bool portFault = false;

bool PortAccessAllowed()
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool PortFaulted()
{
    return portFault;
}

void ClearPortFault()
{
    portFault = false;
}

uint8_t ReadPort(uint16_t port)
{
    GuardFrame frame;
    PrepareFrame(&frame);
    uint32_t value = 0;
    __asm__ __volatile__(GUARD_ENTER "inb %%dx, %%al\n\t" GUARD_LEAVE
                         : "+a"(value)
                         : "d"(port), [frame] "D"(&frame)
                         : "memory");
    if (frame.faulted)
        portFault = true;
    return (uint8_t)value;
}

void WritePort(uint16_t port, uint8_t value)
{
    GuardFrame frame;
    PrepareFrame(&frame);
    __asm__ __volatile__(GUARD_ENTER "outb %%al, %%dx\n\t" GUARD_LEAVE
                         :
                         : "a"(value), "d"(port), [frame] "D"(&frame)
                         : "memory");
    if (frame.faulted)
        portFault = true;
}

uint32_t DisableInterrupts()
{
    uint32_t flags;
    __asm__ __volatile__("pushfl\n\t"
                         "popl %0\n\t"
                         : "=r"(flags));
    GuardFrame frame;
    PrepareFrame(&frame);
    __asm__ __volatile__(GUARD_ENTER "cli\n\t" GUARD_LEAVE
                         :
                         : [frame] "D"(&frame)
                         : "memory");
    if (frame.faulted)
        portFault = true;
    return flags;
}

void RestoreInterrupts(uint32_t savedFlags)
{
    if (!(savedFlags & FlagInterrupt))
        return; // they were off before: stay off
    GuardFrame frame;
    PrepareFrame(&frame);
    __asm__ __volatile__(GUARD_ENTER "sti\n\t" GUARD_LEAVE
                         :
                         : [frame] "D"(&frame)
                         : "memory");
    if (frame.faulted)
        portFault = true;
}
