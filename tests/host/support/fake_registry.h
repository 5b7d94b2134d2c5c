// An in-memory registry behind the registry seam, for host tests: keys are created by the
// test, answered with the Win32 calls' rules (lengths, ERROR_MORE_DATA, no added zero).
#ifndef TARROW_FAKE_REGISTRY_H
#define TARROW_FAKE_REGISTRY_H

#include "probes/registry_access.h"

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

#endif
