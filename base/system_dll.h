// The DLLs the program calls beyond the four that Windows always maps from its own folder
// (KERNEL32, USER32, GDI32, ADVAPI32). A DLL imported by name would be looked for in the
// program's folder first, where anything downloaded beside it may lie, and a missing one
// would stop the program before its first instruction. So each is loaded at start by its
// full path in the system folder and its functions are bound into the program's own import
// slots, which the calls go through as they would through the loader's
// (system_dll_win32.cpp, the tables in system_dll_table_win32.cpp).
#ifndef TARROW_SYSTEM_DLL_H
#define TARROW_SYSTEM_DLL_H

// In the order they are loaded: COMCTL32 last, so that the DLLs it may look up by name
// later are already in the process.
enum SystemDll {
    CRuntimeDll,       // CRTDLL.DLL (MSVCRT.DLL for tarrow64.exe): the log's streams, sprintf
    VersionDll,        // VERSION.DLL: file version resources
    MultimediaDll,     // WINMM.DLL: the multimedia timer
    SocketsDll,        // WSOCK32.DLL: Windows Sockets 1.1
    CommonControlsDll, // COMCTL32.DLL: the list view and its image list
    SystemDllCount
};

// One function a DLL gives: its exported name and the program's import slot for it. Until
// the DLL is bound the slot holds a stand-in of the function's own type.
struct BoundFunction {
    const char *name;
    void **slot;
};

struct SystemDllTable {
    const char *fileName; // in the system folder
    const BoundFunction *functions;
    int functionCount;
};

// system_dll_table_win32.cpp, indexed by SystemDll.
extern const SystemDllTable systemDllTables[SystemDllCount];

// A DLL's exported entry point or data by name, NULL when it has none (GetProcAddress).
typedef void *(*ExportLookup)(void *module, const char *name);

// Binds a DLL whole or not at all: when module exports every function of the table, each
// slot takes its entry point and the result is true; otherwise every slot keeps its
// stand-in and the result is false.
bool BindDllFunctions(const SystemDllTable *table, void *module, ExportLookup lookup);

// Windows only (system_dll_win32.cpp), first thing at start, in this order.
// Takes the program's folder and the current folder out of the search for every DLL that
// is loaded by name from now on, where the system can.
void RestrictDllSearch();
// Loads and binds every system DLL; one that cannot be loaded, or lacks a function, keeps
// its stand-ins.
void LoadSystemDlls();

// Whether the DLL was loaded and bound whole.
bool IsSystemDllBound(SystemDll dll);

#endif
