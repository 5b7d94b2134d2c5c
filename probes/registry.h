// Registry reads shared by the probes (registry_win32.cpp).
#ifndef TARROW_REGISTRY_H
#define TARROW_REGISTRY_H

#include <windows.h>

// Reads a value of any type into out as a text. At most `offered` bytes of data are kept
// (offered < outSize); longer data is cut there, and out is always zero-terminated, also
// when the stored data has no zero of its own. Returns ERROR_SUCCESS when the value was
// read (cut or not), otherwise the registry's error, out then holding an empty text.
LONG ReadRegistryText(HKEY key, const char *valueName, char *out, DWORD outSize, DWORD offered);

#endif
