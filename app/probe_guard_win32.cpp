// The probe guard on 32-bit Windows: an exception frame in the fs:[0] chain around the
// probe call, as the processor instructions have around each of theirs. A fault anywhere
// below it, in the probe or in a system DLL it called, ends at our handler unless an inner
// frame takes it. The handler unwinds the inner frames (so the system DLLs release what
// they hold), then resumes after the call with the stack pointer and the callee-saved
// registers saved when the frame was set up, as a compiler's __except does.
#include "probe_guard.h"
#include "../cpu/cpu_platform.h"

#include <windows.h>

// The frame as the system walks it from fs:[0] (link, handler), then what resuming needs.
// It lives on the stack of RunContainedProbe, as the system requires of exception frames.
struct ProbeGuardFrame {
    ProbeGuardFrame *previous; // +0
    void *handler;             // +4
    DWORD savedEsp;            // +8
    DWORD savedEbp;            // +12
    DWORD savedEbx;            // +16
    DWORD savedEsi;            // +20
    DWORD savedEdi;            // +24
    DWORD resume;              // +28
};

enum {
    UnwindingFlags = 0x2 | 0x4, // EXCEPTION_UNWINDING, EXCEPTION_EXIT_UNWIND
};

extern "C" {
// Both in assembly below. CallProbeInFrame gives 0 when the probe returned and 1 when it
// faulted; ResumeAfterProbeFault never returns.
int CallProbeInFrame(ProbeGuardFrame *frame, ProbeFunction probe);
void ResumeAfterProbeFault(ProbeGuardFrame *frame);

EXCEPTION_DISPOSITION __cdecl ProbeFaultHandler(EXCEPTION_RECORD *record, void *establisher,
                                                CONTEXT *, void *)
{
    if (record->ExceptionFlags & UnwindingFlags)
        return ExceptionContinueSearch;
    ResumeAfterProbeFault((ProbeGuardFrame *)establisher);
    return ExceptionContinueSearch; // not reached
}
}

// CallProbeInFrame(frame, probe), cdecl: saves the callee-saved registers in its own
// prologue and in the frame, links the frame in as the head of the chain, calls the probe
// and unlinks the frame again. A fault resumes at label 1 with %ebp back at this function's
// own frame, so the epilogue restores the caller's registers either way.
__asm__(".text\n"
        ".globl _CallProbeInFrame\n"
        "_CallProbeInFrame:\n"
        "    pushl %ebp\n"
        "    movl %esp, %ebp\n"
        "    pushl %ebx\n"
        "    pushl %esi\n"
        "    pushl %edi\n"
        "    movl 8(%ebp), %eax\n"         // the frame
        "    movl %esp, 8(%eax)\n"
        "    movl %ebp, 12(%eax)\n"
        "    movl %ebx, 16(%eax)\n"
        "    movl %esi, 20(%eax)\n"
        "    movl %edi, 24(%eax)\n"
        "    movl $1f, 28(%eax)\n"
        "    movl $_ProbeFaultHandler, 4(%eax)\n"
        "    movl %fs:0, %ecx\n"
        "    movl %ecx, (%eax)\n"          // link to the current head
        "    movl %eax, %fs:0\n"           // and become the head
        "    call *12(%ebp)\n"             // the probe; its result is not needed
        "    xorl %eax, %eax\n"
        "    jmp 2f\n"
        "1:  movl $1, %eax\n"              // resumed after a fault
        "2:  movl 8(%ebp), %ecx\n"
        "    movl (%ecx), %ecx\n"
        "    movl %ecx, %fs:0\n"           // the head from before the call again
        "    popl %edi\n"
        "    popl %esi\n"
        "    popl %ebx\n"
        "    popl %ebp\n"
        "    ret\n");

// ResumeAfterProbeFault(frame), cdecl, called from the handler: RtlUnwind calls every
// frame between the fault and ours with the unwinding flag and leaves ours at the head.
// RtlUnwind need not keep %ebx, %esi and %edi, so the frame's address is kept on the
// stack across it; then the registers saved in the frame are loaded and execution goes on
// at the resume label, leaving the system's dispatch frames behind on the stack.
__asm__(".text\n"
        ".globl _ResumeAfterProbeFault\n"
        "_ResumeAfterProbeFault:\n"
        "    movl 4(%esp), %eax\n"         // the frame
        "    pushl %eax\n"                 // kept across the unwind
        "    pushl $0\n"                   // ReturnValue
        "    pushl $0\n"                   // ExceptionRecord: the system makes its own
        "    pushl $3f\n"                  // TargetIp
        "    pushl %eax\n"                 // TargetFrame
        "    call _RtlUnwind@16\n"
        "3:  popl %eax\n"
        "    movl 16(%eax), %ebx\n"
        "    movl 20(%eax), %esi\n"
        "    movl 24(%eax), %edi\n"
        "    movl 12(%eax), %ebp\n"
        "    movl 8(%eax), %esp\n"
        "    jmp *28(%eax)\n");

// What a measurement may have changed while it timed: the process priority class, the
// thread priority and, through the timer route, the timer resolution.
struct Scheduling {
    DWORD priorityClass;
    int threadPriority;
};

static void SaveScheduling(Scheduling *saved)
{
    saved->priorityClass = GetPriorityClass(GetCurrentProcess());
    saved->threadPriority = GetThreadPriority(GetCurrentThread());
}

static void RestoreScheduling(const Scheduling *saved)
{
    EndUnfinishedTimerPeriod();
    if (saved->priorityClass != 0)
        SetPriorityClass(GetCurrentProcess(), saved->priorityClass);
    if (saved->threadPriority != THREAD_PRIORITY_ERROR_RETURN)
        SetThreadPriority(GetCurrentThread(), saved->threadPriority);
}

bool RunContainedProbe(ProbeFunction probe)
{
    Scheduling saved;
    SaveScheduling(&saved);
    ProbeGuardFrame frame;
    if (CallProbeInFrame(&frame, probe) == 0)
        return true;
    RestoreScheduling(&saved);
    return false;
}
