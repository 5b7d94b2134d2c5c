// The one compiler helper tarrow64.exe needs. An x86-64 processor divides 64-bit numbers
// itself, so only the stack probe is left; the compiler's runtime library is not linked,
// as in the 32-bit program.

// Stack probe called before a frame larger than a page is set up: RAX holds the frame's
// size; every page below the stack pointer is touched in order so the system's guard page
// grows the stack one page at a time. Every register and the stack pointer are kept. Its
// unwind entry lets a stack overflow inside it be dispatched past it.
__asm__(".text\n"
        ".globl ___chkstk_ms\n"
        ".def ___chkstk_ms; .scl 2; .type 32; .endef\n"
        ".seh_proc ___chkstk_ms\n"
        "___chkstk_ms:\n"
        "    pushq %rcx\n"
        "    .seh_pushreg %rcx\n"
        "    pushq %rax\n"
        "    .seh_pushreg %rax\n"
        "    .seh_endprologue\n"
        "    leaq 24(%rsp), %rcx\n" // the caller's stack pointer before its call
        "1:  cmpq $0x1000, %rax\n"
        "    jb 2f\n"
        "    subq $0x1000, %rcx\n"
        "    orq $0, (%rcx)\n"
        "    subq $0x1000, %rax\n"
        "    jmp 1b\n"
        "2:  subq %rax, %rcx\n"
        "    orq $0, (%rcx)\n"
        "    popq %rax\n"
        "    popq %rcx\n"
        "    ret\n"
        ".seh_endproc\n");
