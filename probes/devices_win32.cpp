// The video adapter and multimedia rows on Windows: the device walk of devices.cpp with
// the Windows directory and the file version lookup of this machine.
#include "probes.h"
#include "../app/tarrow.h"

#include <windows.h>

// Product version of a file; written beside the other probes in file_version_win32.cpp.
// Declared here until that source lands.
int GetFileProductVersion(const char *path, char *text);

int AddVideoAndMultimediaRows()
{
    char windowsDirectory[TextBufferSize];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length == 0 || length >= sizeof windowsDirectory)
        windowsDirectory[0] = '\0'; // too long for the buffer: no driver file path
    AddDeviceRows(windowsDirectory, GetFileProductVersion);
    return 0;
}
