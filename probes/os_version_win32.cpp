// The "Operating System" row and the facts that decide whether the device rows are listed.
#include "probes.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <windows.h>
#include <string.h>

int AddOsVersionRow()
{
    OSVERSIONINFOA version;
    memset(&version, 0, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    OsDescription description;
    if (GetVersionExA(&version)) {
        // The service-pack text is cut at its field even if the system left no zero.
        char servicePack[sizeof version.szCSDVersion + 1];
        CopyText(servicePack, sizeof servicePack, version.szCSDVersion);
        DescribeOsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion,
                          version.dwBuildNumber, servicePack, &description);
    } else {
        DescribeOsVersion(0xFFFFFFFF, 0, 0, 0, "", &description);
    }
    if (description.isWindows95)
        osFacts.isWindows95 = 1;
    if (description.isWindows98)
        osFacts.isWindows98 = 1;
    AddReportRow("Operating System", description.text, IconOs);
    return 0;
}
