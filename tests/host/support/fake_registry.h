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

#endif
