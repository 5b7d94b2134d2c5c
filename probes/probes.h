// The pure logic of the system probes: the decisions and formatters that turn what the
// platform reported into report texts. Nothing here calls the platform.
#ifndef TARROW_PROBES_H
#define TARROW_PROBES_H

#include <stddef.h>
#include <stdint.h>

#include "registry_access.h"

// os_version.cpp
struct OsDescription {
    char text[260];
    int isWindows95;
    int isWindows98;
};
void DescribeOsVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                       const char *servicePack, OsDescription *out);

// devices.cpp
enum { DeviceKeySize = 260 };
// Gives the product version of the file at path in text (260 bytes), or the "no version"
// text; the result (1 found, 0 not) is not needed for the device rows.
typedef int (*ProductVersionLookup)(const char *path, char *text);
// 1 when the n-th present device without a problem (counting from 0) whose class equals
// className (without regard to case; any class when className is NULL) exists, deviceKey
// then holding its hardware key path below HKEY_LOCAL_MACHINE; else 0.
int FindPresentDevice(int n, const char *className, char *deviceKey);
// Reads a device's value from its hardware key or else from its driver key (with subKey
// behind it when given): 1 when read into out, else 0 with out empty.
int QueryDeviceValue(const char *deviceKey, const char *subKey, const char *valueName,
                     char *out, int outSize);
// Adds the display adapter and multimedia rows; driver files are looked for in the
// "System" folder of windowsDirectory.
void AddDeviceRows(const char *windowsDirectory, ProductVersionLookup lookup);

// titles.cpp
// True when name holds a fragment of the skip list (compared case-sensitively).
bool IsSkippedTitle(const char *name);
// Adds a "Kelto Title" row for each new subkey name of an open key.
void AddTitlesUnderKey(RegKey key);

#endif
