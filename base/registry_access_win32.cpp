// The registry seam on Windows: each function hands its arguments to the Win32 call of the
// same name, translating only the key handles.
#include "registry_access.h"
#include "kernel_lookup.h"

#include <windows.h>

static HKEY ToHkey(RegKey key)
{
    if (key == REG_LOCAL_MACHINE)
        return HKEY_LOCAL_MACHINE;
    if (key == REG_DYN_DATA)
        return HKEY_DYN_DATA;
    return (HKEY)key;
}

long OpenRegKey(RegKey parent, const char *path, RegKey *key)
{
    HKEY opened = NULL;
    LONG status = RegOpenKeyA(ToHkey(parent), path, &opened);
    *key = status == ERROR_SUCCESS ? (RegKey)opened : NULL;
    return status;
}

long OpenRegKeyEx(RegKey parent, const char *path, unsigned long access, RegKey *key)
{
    HKEY opened = NULL;
    LONG status = RegOpenKeyExA(ToHkey(parent), path, 0, access, &opened);
    *key = status == ERROR_SUCCESS ? (RegKey)opened : NULL;
    return status;
}

long EnumRegKey(RegKey key, unsigned long index, char *name, unsigned long nameSize)
{
    return RegEnumKeyA(ToHkey(key), index, name, nameSize);
}

long EnumRegKeyEx(RegKey key, unsigned long index, char *name, unsigned long *nameLength)
{
    DWORD length = *nameLength;
    LONG status = RegEnumKeyExA(ToHkey(key), index, name, &length, NULL, NULL, NULL, NULL);
    *nameLength = length;
    return status;
}

long QueryRegInfoKey(RegKey key, unsigned long *longestSubKeyName)
{
    DWORD longest = 0;
    LONG status = RegQueryInfoKeyA(ToHkey(key), NULL, NULL, NULL, NULL, &longest, NULL, NULL,
                                   NULL, NULL, NULL, NULL);
    *longestSubKeyName = longest;
    return status;
}

long QueryRegValueEx(RegKey key, const char *valueName, unsigned char *data,
                     unsigned long *size)
{
    DWORD length = *size;
    LONG status = RegQueryValueExA(ToHkey(key), valueName, NULL, NULL, data, &length);
    *size = length;
    return status;
}

long CloseRegKey(RegKey key)
{
    return RegCloseKey(ToHkey(key));
}

#ifdef _WIN64
// tarrow64.exe: its own view is the 64-bit one.
bool GetRegViewAccess(RegView view, unsigned long *access)
{
    *access = view == RegView32Bit ? RegKey32BitView : 0;
    return true;
}
#else
// IsWow64Process is missing from Windows 95 to 2000 and XP before SP2: none of those runs
// under WoW64.
typedef BOOL(WINAPI *IsWow64ProcessFunction)(HANDLE process, BOOL *isWow64);

static bool RunsUnderWow64()
{
    IsWow64ProcessFunction isWow64Process =
        (IsWow64ProcessFunction)FindKernelFunction("IsWow64Process");
    BOOL underWow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &underWow64) && underWow64;
}

// tarrow.exe: its own view is the 32-bit one.
bool GetRegViewAccess(RegView view, unsigned long *access)
{
    *access = view == RegView64Bit ? RegKey64BitView : 0;
    return view == RegView32Bit || RunsUnderWow64();
}
#endif
