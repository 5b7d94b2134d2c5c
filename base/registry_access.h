// The registry as the probes read it: a thin seam of plain functions over the Win32
// registry calls (registry_access_win32.cpp; an in-memory registry on the host), and
// bounded value reads built on it (registry_values.cpp).
#ifndef TARROW_REGISTRY_ACCESS_H
#define TARROW_REGISTRY_ACCESS_H

#include <stdint.h>

typedef struct RegKeyObject *RegKey;

// The two roots the probes start from, with the values Win32 gives them.
#define REG_LOCAL_MACHINE ((RegKey)(uintptr_t)0x80000002UL)
#define REG_DYN_DATA ((RegKey)(uintptr_t)0x80000006UL)

// Win32 error codes the walks look at.
enum {
    RegOk = 0,
    RegFileNotFound = 2,
    RegAccessDenied = 5,
    RegNotEnoughMemory = 8,
    RegMoreData = 234,
    RegNoMoreItems = 259,
};
// The program only reads the registry, and asks for no more than that: on Windows NT a
// limited account, and from Vista on any program that is not elevated, is refused keys of
// HKEY_LOCAL_MACHINE opened with write rights (KEY_ALL_ACCESS among them).
enum { RegKeyRead = 0x20019 }; // KEY_READ: query values, enumerate subkeys, notify
// On 64-bit Windows HKEY_LOCAL_MACHINE\Software has two views: the 32-bit programs' keys
// (Software\Wow6432Node) and the 64-bit programs' keys. A program opens the keys of its own
// view unless one of these access bits asks for the other. Windows 2000 refuses access bits
// it does not know, so a 32-bit program asks for the 64-bit view only under WoW64.
enum {
    RegKey64BitView = 0x0100, // KEY_WOW64_64KEY
    RegKey32BitView = 0x0200, // KEY_WOW64_32KEY
};
enum RegView { RegView32Bit, RegView64Bit };

// registry_access_win32.cpp: each is the Win32 call named beside it.
long OpenRegKey(RegKey parent, const char *path, RegKey *key);          // RegOpenKeyA
long OpenRegKeyEx(RegKey parent, const char *path, unsigned long access,
                  RegKey *key);                                        // RegOpenKeyExA
long EnumRegKey(RegKey key, unsigned long index, char *name,
                unsigned long nameSize);                               // RegEnumKeyA
long EnumRegKeyEx(RegKey key, unsigned long index, char *name,
                  unsigned long *nameLength);                          // RegEnumKeyExA
long QueryRegInfoKey(RegKey key, unsigned long *longestSubKeyName);    // RegQueryInfoKeyA
long QueryRegValueEx(RegKey key, const char *valueName, unsigned char *data,
                     unsigned long *size);                             // RegQueryValueExA
long CloseRegKey(RegKey key);                                          // RegCloseKey
// The access bits that open the keys of the view, for OpenRegKeyEx beside RegKeyRead; false
// where this program has no such view. The 32-bit program reads the 32-bit view as its own
// and the 64-bit view only under WoW64 (IsWow64Process, which Windows lacks before XP SP2);
// the 64-bit program reads the 64-bit view as its own and asks for the 32-bit one, which a
// 64-bit Windows without WoW64 may not have.
bool GetRegViewAccess(RegView view, unsigned long *access);

// registry_values.cpp: reads that never leave the caller's buffer, whatever the stored
// value's type or length. A value longer than the buffer is cut, not refused.

// Reads a value as text into out: the stored bytes up to their first zero, cut at
// outSize - 1 bytes and always zero-terminated. *wasCut (when given) tells whether the
// text was longer than the buffer. On failure out holds an empty text.
long ReadRegText(RegKey key, const char *valueName, char *out, unsigned long outSize,
                 int *wasCut);

// Reads a 4-byte little-endian number; shorter data is zero-extended, longer data gives
// its first four bytes. *value is left alone when the value cannot be read.
long ReadRegNumber(RegKey key, const char *valueName, uint32_t *value);

#endif
