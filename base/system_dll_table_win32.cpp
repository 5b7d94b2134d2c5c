// The functions each system DLL gives the program, and the import slot that each call goes
// through. A slot holds a stand-in until its DLL is bound, and keeps it wherever the DLL
// cannot be had: each stand-in answers as the system does when that service is not there,
// so that a missing DLL costs only what needs it and no call ever finds an empty slot.
#include "system_dll.h"

#include <windows.h>
#include <commctrl.h>
#include <mmsystem.h>
#include <winsock.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

// Linker names: on 32-bit Windows a C name takes a leading underscore and a stdcall one the
// bytes of its arguments after an @; 64-bit Windows decorates neither.
#ifdef _WIN64
#define STDCALL_NAME(function, argumentBytes) #function
#define CDECL_NAME(function) #function
#define JUMP_THROUGH(slot) "jmp *" slot "(%rip)"
#else
#define STDCALL_NAME(function, argumentBytes) "_" #function "@" #argumentBytes
#define CDECL_NAME(function) "_" #function
#define JUMP_THROUGH(slot) "jmp *" slot
#endif

// The import slot of a function, "__imp_" and its linker name, as an import library names
// it: a call that the headers mark as imported goes through it. The thunk under the
// function's own linker name jumps through it, for the calls they leave unmarked. The
// stand-in must have the function's own type, calling convention included: a stdcall
// function that took other arguments would leave the caller's stack wrong.
#define IMPORT_SLOT(function, linkerName, standIn)                                                 \
    static constexpr decltype(&function) function##StandIn = &standIn;                             \
    void *function##Slot __asm__("__imp_" linkerName) = (void *)function##StandIn;                 \
    __asm__(".text\n.globl " linkerName "\n" linkerName                                            \
            ":\n\t" JUMP_THROUGH("__imp_" linkerName) "\n")

// -- The C runtime -------------------------------------------------------------------------
// Without it the program cannot go on (start-up tells the user); the stand-ins only keep
// every call defined until then. The three string functions are real, so that the command
// line can still be read to decide how to say so.

static FILE noStreams[3];

static FILE *__cdecl NoFileOpened(const char *, const char *)
{
    return NULL;
}

static int __cdecl NoStreamCall(FILE *)
{
    return EOF;
}

static int __cdecl NoTextWritten(const char *, FILE *)
{
    return EOF;
}

static size_t __cdecl NoItemsWritten(const void *, size_t, size_t, FILE *)
{
    return 0;
}

static void *__cdecl NoBlock(size_t)
{
    return NULL;
}

static void *__cdecl NoZeroedBlock(size_t, size_t)
{
    return NULL;
}

static void *__cdecl NoBlockResized(void *, size_t)
{
    return NULL;
}

static void __cdecl NoBlockFreed(void *) {}

// An empty text, whole and terminated.
static int __cdecl NoTextFormatted(char *out, size_t size, const char *, va_list)
{
    if (size != 0)
        out[0] = '\0';
    return 0;
}

// The loops stay loops: turned into calls of the library functions they stand in for, they
// would call themselves through their own slots.
#define OWN_LOOP __attribute__((optimize("no-tree-loop-distribute-patterns")))

static OWN_LOOP int __cdecl CompareBytes(const void *a, const void *b, size_t size)
{
    const unsigned char *left = (const unsigned char *)a;
    const unsigned char *right = (const unsigned char *)b;
    for (size_t i = 0; i < size; ++i)
        if (left[i] != right[i])
            return left[i] < right[i] ? -1 : 1;
    return 0;
}

static OWN_LOOP size_t __cdecl MeasureText(const char *text)
{
    size_t length = 0;
    while (text[length] != '\0')
        ++length;
    return length;
}

static OWN_LOOP char *__cdecl FindFragment(const char *text, const char *fragment)
{
    for (;; ++text) {
        size_t i = 0;
        while (fragment[i] != '\0' && text[i] == fragment[i])
            ++i;
        if (fragment[i] == '\0')
            return (char *)text;
        if (*text == '\0')
            return NULL;
    }
}

IMPORT_SLOT(fopen, CDECL_NAME(fopen), NoFileOpened);
IMPORT_SLOT(fclose, CDECL_NAME(fclose), NoStreamCall);
IMPORT_SLOT(fflush, CDECL_NAME(fflush), NoStreamCall);
IMPORT_SLOT(fputs, CDECL_NAME(fputs), NoTextWritten);
IMPORT_SLOT(fwrite, CDECL_NAME(fwrite), NoItemsWritten);
IMPORT_SLOT(malloc, CDECL_NAME(malloc), NoBlock);
IMPORT_SLOT(calloc, CDECL_NAME(calloc), NoZeroedBlock);
IMPORT_SLOT(realloc, CDECL_NAME(realloc), NoBlockResized);
IMPORT_SLOT(free, CDECL_NAME(free), NoBlockFreed);
IMPORT_SLOT(_vsnprintf, CDECL_NAME(_vsnprintf), NoTextFormatted);
IMPORT_SLOT(memcmp, CDECL_NAME(memcmp), CompareBytes);
IMPORT_SLOT(strlen, CDECL_NAME(strlen), MeasureText);
IMPORT_SLOT(strstr, CDECL_NAME(strstr), FindFragment);

// The standard streams: the headers ask for one by its index, through __acrt_iob_func, a
// function of the program's own that finds them in the bound C runtime.
#ifdef _WIN64
static const char cRuntimeFileName[] = "MSVCRT.DLL";
// MSVCRT.DLL hands out its array of streams through __iob_func.
static const char streamsExport[] = "__iob_func";
typedef FILE *(__cdecl *StreamsFunction)();
static FILE *__cdecl NoStreams()
{
    return noStreams;
}
static void *streamsSlot = (void *)&NoStreams;
static FILE *StandardStreams()
{
    return ((StreamsFunction)streamsSlot)();
}
#else
static const char cRuntimeFileName[] = "CRTDLL.DLL";
// CRTDLL.DLL exports its array of streams itself, as data.
static const char streamsExport[] = "_iob";
static void *streamsSlot = noStreams;
static FILE *StandardStreams()
{
    return (FILE *)streamsSlot;
}
#endif

static FILE *__cdecl StreamOfIndex(unsigned index)
{
    return &StandardStreams()[index];
}
IMPORT_SLOT(__acrt_iob_func, CDECL_NAME(__acrt_iob_func), StreamOfIndex);

static const BoundFunction cRuntimeFunctions[] = {
    {"fopen", &fopenSlot},           {"fclose", &fcloseSlot},       {"fflush", &fflushSlot},
    {"fputs", &fputsSlot},           {"fwrite", &fwriteSlot},       {"malloc", &mallocSlot},
    {"calloc", &callocSlot},         {"realloc", &reallocSlot},     {"free", &freeSlot},
    {"memcmp", &memcmpSlot},         {"strlen", &strlenSlot},       {"strstr", &strstrSlot},
    {"_vsnprintf", &_vsnprintfSlot}, {streamsExport, &streamsSlot},
};

// -- VERSION: a file without a version resource, as GetFileVersionInfoSizeA answers it ---

static DWORD WINAPI NoVersionInfoSize(LPCSTR, LPDWORD handle)
{
    if (handle)
        *handle = 0;
    return 0;
}

static WINBOOL WINAPI NoVersionInfo(LPCSTR, DWORD, DWORD, LPVOID)
{
    return FALSE;
}

static WINBOOL WINAPI NoVersionValue(LPCVOID, LPCSTR, LPVOID *value, PUINT length)
{
    if (value)
        *value = NULL;
    if (length)
        *length = 0;
    return FALSE;
}

IMPORT_SLOT(GetFileVersionInfoSizeA, STDCALL_NAME(GetFileVersionInfoSizeA, 8), NoVersionInfoSize);
IMPORT_SLOT(GetFileVersionInfoA, STDCALL_NAME(GetFileVersionInfoA, 16), NoVersionInfo);
IMPORT_SLOT(VerQueryValueA, STDCALL_NAME(VerQueryValueA, 16), NoVersionValue);

static const BoundFunction versionFunctions[] = {
    {"GetFileVersionInfoSizeA", &GetFileVersionInfoSizeASlot},
    {"GetFileVersionInfoA", &GetFileVersionInfoASlot},
    {"VerQueryValueA", &VerQueryValueASlot},
};

// -- WINMM: no multimedia timer. The clock code asks IsSystemDllBound before it times;
// the time still advances should anything wait on it.

static MMRESULT WINAPI NoTimerPeriod(UINT)
{
    return TIMERR_NOCANDO;
}

static DWORD WINAPI TickCountTime()
{
    return GetTickCount();
}

IMPORT_SLOT(timeBeginPeriod, STDCALL_NAME(timeBeginPeriod, 4), NoTimerPeriod);
IMPORT_SLOT(timeEndPeriod, STDCALL_NAME(timeEndPeriod, 4), NoTimerPeriod);
IMPORT_SLOT(timeGetTime, STDCALL_NAME(timeGetTime, 0), TickCountTime);

static const BoundFunction multimediaFunctions[] = {
    {"timeBeginPeriod", &timeBeginPeriodSlot},
    {"timeEndPeriod", &timeEndPeriodSlot},
    {"timeGetTime", &timeGetTimeSlot},
};

// -- WSOCK32: Windows Sockets that do not start, as on a PC without networking ------------

static int PASCAL NoSocketsStarted(WORD, LPWSADATA)
{
    return WSASYSNOTREADY;
}

static int PASCAL NoSocketsCleanedUp()
{
    return SOCKET_ERROR;
}

static SOCKET PASCAL NoSocket(int, int, int)
{
    return INVALID_SOCKET;
}

static int PASCAL NoSocketClosed(SOCKET)
{
    return SOCKET_ERROR;
}

IMPORT_SLOT(WSAStartup, STDCALL_NAME(WSAStartup, 8), NoSocketsStarted);
IMPORT_SLOT(WSACleanup, STDCALL_NAME(WSACleanup, 0), NoSocketsCleanedUp);
IMPORT_SLOT(socket, STDCALL_NAME(socket, 12), NoSocket);
IMPORT_SLOT(closesocket, STDCALL_NAME(closesocket, 4), NoSocketClosed);

static const BoundFunction socketsFunctions[] = {
    {"WSAStartup", &WSAStartupSlot},
    {"WSACleanup", &WSACleanupSlot},
    {"socket", &socketSlot},
    {"closesocket", &closesocketSlot},
};

// -- COMCTL32: no list view; the window cannot be made (start-up tells the user), and a
// log run keeps its rows without one.

static void WINAPI NoCommonControls() {}

static HIMAGELIST WINAPI NoImageList(int, int, UINT, int, int)
{
    return NULL;
}

static int WINAPI NoIconAdded(HIMAGELIST, int, HICON)
{
    return -1;
}

IMPORT_SLOT(InitCommonControls, STDCALL_NAME(InitCommonControls, 0), NoCommonControls);
IMPORT_SLOT(ImageList_Create, STDCALL_NAME(ImageList_Create, 20), NoImageList);
IMPORT_SLOT(ImageList_ReplaceIcon, STDCALL_NAME(ImageList_ReplaceIcon, 12), NoIconAdded);

static const BoundFunction commonControlsFunctions[] = {
    {"InitCommonControls", &InitCommonControlsSlot},
    {"ImageList_Create", &ImageList_CreateSlot},
    {"ImageList_ReplaceIcon", &ImageList_ReplaceIconSlot},
};

#define FUNCTIONS(table) table, (int)(sizeof table / sizeof table[0])

const SystemDllTable systemDllTables[SystemDllCount] = {
    {cRuntimeFileName, FUNCTIONS(cRuntimeFunctions)},     // CRuntimeDll
    {"VERSION.DLL", FUNCTIONS(versionFunctions)},         // VersionDll
    {"WINMM.DLL", FUNCTIONS(multimediaFunctions)},        // MultimediaDll
    {"WSOCK32.DLL", FUNCTIONS(socketsFunctions)},         // SocketsDll
    {"COMCTL32.DLL", FUNCTIONS(commonControlsFunctions)}, // CommonControlsDll
};
