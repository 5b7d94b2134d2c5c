// The pure logic of the system probes: the decisions and formatters that turn what the
// platform reported into report texts. Nothing here calls the platform.
#ifndef TARROW_PROBES_H
#define TARROW_PROBES_H

#include <stddef.h>
#include <stdint.h>

// os_version.cpp
struct OsDescription {
    char text[260];
    int isWindows95;
    int isWindows98;
};
void DescribeOsVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                       const char *servicePack, OsDescription *out);

#endif
