// An in-memory registry behind the registry seam, for host tests: keys are created by the
// test, answered with the Win32 calls' rules (lengths, ERROR_MORE_DATA, no added zero).
#ifndef TARROW_FAKE_REGISTRY_H
#define TARROW_FAKE_REGISTRY_H

#include "base/registry_access.h"

#include <stddef.h>
#include <string>

void ResetFakeRegistry();
// Creates the key path (and every key on it) below root.
void AddFakeKey(RegKey root, const std::string &path);
// Stores raw bytes as the value, exactly as given: no zero is added.
void SetFakeValue(RegKey root, const std::string &path, const std::string &name,
                  const std::string &bytes);
// Stores a text with its terminating zero, as a well-formed string value.
void SetFakeText(RegKey root, const std::string &path, const std::string &name,
                 const std::string &text);
void SetFakeNumber(RegKey root, const std::string &path, const std::string &name,
                   uint32_t value);
// Makes RegQueryInfoKeyA report longest subkey names shorter by this many characters, as
// when a key gains a longer subkey between the two calls.
void UnderstateFakeLongestSubKey(unsigned long by);
// Adds this many characters to the longest subkey name RegQueryInfoKeyA reports (wrapping
// round as an unsigned long does), as a damaged registry may.
void OverstateFakeLongestSubKey(unsigned long by);
// Handles opened and not closed yet.
int CountOpenFakeKeys();

// Who the program runs as. A limited account (the default after ResetFakeRegistry, as on
// Windows NT for a user and from Vista on for every program that is not elevated) is
// refused, with ERROR_ACCESS_DENIED, any key opened with a right to change it.
enum FakeAccount { FakeLimitedAccount, FakeAdministrator };
void SetFakeAccount(FakeAccount account);
// Key opens asked for since the reset, and how many of them asked for a write right.
int CountFakeOpenRequests();
int CountFakeWriteRightRequests();

// 64-bit Windows. Its HKEY_LOCAL_MACHINE has two trees: the default one is the 32-bit view,
// the second one, filled through the root below, the native, 64-bit view. A 32-bit program
// under WoW64 (off after the reset) reads its own, 32-bit view, and the native view when it
// opens a key with KEY_WOW64_64KEY. A 64-bit program (off after the reset) reads the native
// view as its own, and the 32-bit view when it opens a key with KEY_WOW64_32KEY. A 32-bit
// program on 32-bit Windows has the default tree only, and an open asking for either view
// is refused, as Windows 2000 refuses access bits it does not know.
#define FAKE_NATIVE_LOCAL_MACHINE ((RegKey)(uintptr_t)0x80000102UL)
enum { FakeInvalidParameter = 87 }; // ERROR_INVALID_PARAMETER
void SetFakeWow64(bool underWow64);
void SetFake64BitProgram(bool sixtyFourBit);
// Key opens since the reset that asked for the native view, and for the 32-bit view.
int CountFakeNativeViewRequests();
int CountFake32BitViewRequests();

// A registry that changes under the walk. Deleting a key deletes everything below it; a
// handle open on a deleted key then answers every call but RegCloseKey with
// ERROR_KEY_DELETED, as on Windows. Deleting a root deletes all its keys and values.
enum { FakeKeyDeleted = 1018 }; // ERROR_KEY_DELETED
// Deletes the key path below key (a root or an open handle); an empty path deletes key itself.
void DeleteFakeKey(RegKey key, const std::string &path);
// Deletes the index-th subkey of key, if it has one.
void DeleteFakeSubKey(RegKey key, unsigned long index);
void DeleteFakeValue(RegKey key, const std::string &name);

// Calls made through the seam, as the hook sees them once each has been answered. name is
// the path opened or the value asked for; sizeOnly marks a value query without a buffer.
enum FakeCallKind { FakeOpenCall, FakeEnumCall, FakeQueryInfoCall, FakeQueryValueCall };
struct FakeCall {
    FakeCallKind kind;
    RegKey key; // the handle the call was made on; for an open, the one it gave (or NULL)
    const char *name;
    bool sizeOnly;
    long status;
};
// The hook runs after every call but RegCloseKey and may change the registry through the
// functions above; NULL removes it.
typedef void (*FakeCallHook)(const FakeCall &call);
void SetFakeCallHook(FakeCallHook hook);

// When set, a buffer the call answers with ERROR_MORE_DATA is filled to its given size with
// bytes that are not zero: Windows leaves its contents undefined.
void SetFakeJunkOnMoreData(bool junk);

#endif
