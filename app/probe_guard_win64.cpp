// The probe guard on 64-bit Windows. There is no exception chain on the stack: the system
// finds each frame's handler in the program's unwind tables. The probe is called through
// a small trampoline whose unwind entry names ProbeFaultHandler. A fault anywhere below it,
// in the probe or in a system DLL it called, reaches the handler unless an inner frame
// takes it (as lstrlenA does with a bad pointer). The handler has the system unwind every
// frame between the fault and the trampoline, which releases what the system DLLs hold
// and restores the callee-saved registers from the frames' own unwind entries, and resume
// in the trampoline at its fault label, as a compiler's __except does.
#include "probe_guard.h"
#include "../cpu/cpu_platform.h"

#include <windows.h>

enum {
    UnwindingFlags = 0x2 | 0x4, // EXCEPTION_UNWINDING, EXCEPTION_EXIT_UNWIND
};

extern "C" {
// In assembly below. CallProbeInFrame gives 0 when the probe returned and 1 when it
// faulted; ProbeFaultResume is the label a fault resumes at.
int CallProbeInFrame(ProbeFunction probe);
void ProbeFaultResume();

EXCEPTION_DISPOSITION ProbeFaultHandler(EXCEPTION_RECORD *record, void *establisher,
                                        CONTEXT *, DISPATCHER_CONTEXT *dispatcher)
{
    if (record->ExceptionFlags & UnwindingFlags)
        return ExceptionContinueSearch;
    // Never returns: the stack and registers become the trampoline's at the fault label,
    // with 1 in RAX.
    RtlUnwindEx(establisher, (void *)ProbeFaultResume, record, (void *)1,
                dispatcher->ContextRecord, dispatcher->HistoryTable);
    return ExceptionContinueSearch; // not reached
}
}

// CallProbeInFrame(probe): the probe's address comes in RCX. The frame is the 32 bytes of
// home space the probe may use and 8 bytes that keep the stack 16-byte aligned at the
// call; the trampoline changes no callee-saved register, so after the unwind they hold the
// caller's values again. The unwind ends with the stack pointer at the trampoline's frame,
// as after its prologue, and the fault label returns through the same epilogue. The call
// returns to an instruction outside the epilogue, so that the system, walking the stack,
// takes the trampoline as a frame in its body and asks its handler.
__asm__(".text\n"
        ".globl CallProbeInFrame\n"
        ".def CallProbeInFrame; .scl 2; .type 32; .endef\n"
        ".seh_proc CallProbeInFrame\n"
        "CallProbeInFrame:\n"
        "    .seh_handler ProbeFaultHandler, @except\n"
        "    subq $40, %rsp\n"
        "    .seh_stackalloc 40\n"
        "    .seh_endprologue\n"
        "    call *%rcx\n" // the probe; its result is not needed
        "    xorl %eax, %eax\n"
        "    jmp 1f\n"
        ".globl ProbeFaultResume\n"
        "ProbeFaultResume:\n"
        "    movl $1, %eax\n" // resumed after a fault
        "1:  addq $40, %rsp\n"
        "    ret\n"
        ".seh_endproc\n");

// What a measurement may have changed while it timed: the process priority class, the
// thread priority and, through the timer route, the timer resolution.
bool RunContainedProbe(ProbeFunction probe)
{
    uint32_t priorityClass = GetProcessPriority();
    int threadPriority = GetThreadPriorityLevel();
    if (CallProbeInFrame(probe) == 0)
        return true;
    EndUnfinishedTimerPeriod();
    if (priorityClass != 0)
        SetProcessPriority(priorityClass);
    if (threadPriority != ThreadPriorityErrorReturn)
        SetThreadPriorityLevel(threadPriority);
    return false;
}
