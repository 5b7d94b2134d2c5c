// The file steps of writing the log on Windows. The NT family replaces the old log in one
// step with MoveFileExA, looked up at run time; Windows 95, 98 and Me have that function
// only as a stub that fails, so there the old log is deleted and the new one renamed into
// its place.
#include "export.h"
#include "../base/kernel_lookup.h"

#include <windows.h>

typedef BOOL(WINAPI *MoveFileExFunction)(const char *from, const char *to, DWORD flags);

enum { MoveFileReplaceExisting = 1 }; // MOVEFILE_REPLACE_EXISTING

FILE *OpenNewLogFile(const char *path)
{
    return fopen(path, "w+");
}

// GetVersion's top bit marks Windows 95, 98 and Me (and Win32s).
static bool IsWindows95Family()
{
    return (GetVersion() & 0x80000000UL) != 0;
}

// Once the old log is deleted, the new one is the only complete log: a rename that fails
// then leaves it under its own name rather than losing both.
static int ReplaceByDeleteAndRename(const char *newPath, const char *target)
{
    if (!DeleteFileA(target) && GetLastError() != ERROR_FILE_NOT_FOUND) {
        DeleteFileA(newPath);
        return 0;
    }
    return MoveFileA(newPath, target) ? 1 : 0;
}

int ReplaceLogFile(const char *newPath, const char *target)
{
    if (IsWindows95Family())
        return ReplaceByDeleteAndRename(newPath, target);
    MoveFileExFunction moveFileEx = (MoveFileExFunction)FindKernelFunction("MoveFileExA");
    if (!moveFileEx) // every NT has it; should it be missing, the two steps still serve
        return ReplaceByDeleteAndRename(newPath, target);
    if (moveFileEx(newPath, target, MoveFileReplaceExisting))
        return 1;
    DeleteFileA(newPath);
    return 0;
}

void RemoveLogFile(const char *path)
{
    DeleteFileA(path);
}

void FailLogLineForTest(int) {}
