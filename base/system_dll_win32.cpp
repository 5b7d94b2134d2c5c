// Loading the system DLLs from the system folder by their full paths, and restricting the
// search for every DLL loaded by name later (by the system DLLs themselves among others).
#include "system_dll.h"
#include "kernel_lookup.h"
#include "text.h"

#include <windows.h>

typedef BOOL(WINAPI *SetDefaultDllDirectoriesFunction)(DWORD directoryFlags);
typedef BOOL(WINAPI *SetDllDirectoryFunction)(const char *path);

enum { LoadLibrarySearchSystem32 = 0x800 }; // LOAD_LIBRARY_SEARCH_SYSTEM32

static bool boundDlls[SystemDllCount];

// Windows 8 and later (Vista and 7 with the update that added it) search only the system
// folder from now on; XP SP1 and later at least leave the current folder out.
void RestrictDllSearch()
{
    SetDefaultDllDirectoriesFunction setDefaultDirectories =
        (SetDefaultDllDirectoriesFunction)FindKernelFunction("SetDefaultDllDirectories");
    if (setDefaultDirectories && setDefaultDirectories(LoadLibrarySearchSystem32))
        return;
    SetDllDirectoryFunction setDirectory =
        (SetDllDirectoryFunction)FindKernelFunction("SetDllDirectoryA");
    if (setDirectory)
        setDirectory("");
}

// The altered search path makes the DLL's own imports be looked for beside it, in the
// system folder, not beside the program. Which LoadLibraryExA flags the first Windows 95
// takes is not clear from its documentation: where the call fails although the file is
// there, the same path is loaded without the flag.
static HMODULE LoadFromFolder(const char *folder, const char *fileName)
{
    char path[MAX_PATH];
    if (!BuildFilePath(folder, fileName, path, sizeof path))
        return NULL;
    HMODULE module = LoadLibraryExA(path, NULL, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES)
        module = LoadLibraryA(path);
    return module;
}

static void *FindExport(void *module, const char *name)
{
    return (void *)GetProcAddress((HMODULE)module, name);
}

// A 32-bit program on 64-bit Windows is given System32, which the system redirects to the
// 32-bit folder, SysWOW64: the DLLs it can load.
void LoadSystemDlls()
{
    char folder[MAX_PATH];
    UINT length = GetSystemDirectoryA(folder, sizeof folder);
    if (length == 0 || length >= sizeof folder)
        return; // no system folder that fits: every DLL keeps its stand-ins
    for (int dll = 0; dll < SystemDllCount; ++dll) {
        HMODULE module = LoadFromFolder(folder, systemDllTables[dll].fileName);
        boundDlls[dll] = BindDllFunctions(&systemDllTables[dll], module, FindExport);
        if (module && !boundDlls[dll])
            FreeLibrary(module);
    }
}

bool IsSystemDllBound(SystemDll dll)
{
    return boundDlls[dll];
}
