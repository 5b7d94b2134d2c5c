// The file steps of writing the log on Windows. The NT family replaces the old log in one
// step with MoveFileExA; Windows 95, 98 and Me have that function only as a stub that fails,
// so there the old log is deleted and the new one renamed into its place.
#include "export.h"
#include "../base/kernel_lookup.h"

#include <windows.h>

typedef BOOL(WINAPI *MoveFileExFunction)(const char *from, const char *to, DWORD flags);

enum { MoveFileReplaceExisting = 1 }; // MOVEFILE_REPLACE_EXISTING

FILE *OpenNewLogFile(const char *path)
{
    return fopen(path, "w+");
}

static int ReplaceByDeleteAndRename(const char *newPath, const char *target)
{
    if (!DeleteFileA(target) && GetLastError() != ERROR_FILE_NOT_FOUND)
        return 0;
    return MoveFileA(newPath, target) ? 1 : 0;
}

int ReplaceLogFile(const char *newPath, const char *target)
{
    MoveFileExFunction moveFileEx = (MoveFileExFunction)FindKernelFunction("MoveFileExA");
    if (moveFileEx) {
        if (moveFileEx(newPath, target, MoveFileReplaceExisting))
            return 1;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED)
            return 0;
    }
    return ReplaceByDeleteAndRename(newPath, target);
}

void RemoveLogFile(const char *path)
{
    DeleteFileA(path);
}

void FailLogLineForTest(int) {}
