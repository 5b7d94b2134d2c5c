// The video adapter and multimedia rows on Windows: the device walk of devices.cpp with
// the Windows directory and the file version lookup of this machine.
#include "probes.h"
#include "../base/tarrow.h"

#include <windows.h>

int AddVideoAndMultimediaRows()
{
    char windowsDirectory[TextBufferSize];
    UINT length = GetWindowsDirectoryA(windowsDirectory, sizeof windowsDirectory);
    if (length == 0 || length >= sizeof windowsDirectory)
        windowsDirectory[0] = '\0'; // too long for the buffer: no driver file path
    AddDeviceRows(windowsDirectory, GetFileProductVersion);
    return 0;
}
