// The Glide rows: the product versions of the two Glide libraries in the system directory.
#include "probes.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <windows.h>

static const struct {
    const char *fileName;
    const char *label;
} glideLibraries[] = {
    {"glide2x.dll", "Glide 2x Version"},
    {"glide3x.dll", "Glide 3x Version"},
};

#ifdef _WIN64
// The Glide libraries are 32-bit: on 64-bit Windows they are in the 32-bit system folder
// (SysWOW64), which tarrow.exe sees as its own system folder. A Windows without WoW64 has
// none, and the system folder is looked at instead.
static UINT GetGlideDirectory(char *directory, UINT size)
{
    UINT length = GetSystemWow64DirectoryA(directory, size);
    return length != 0 ? length : GetSystemDirectoryA(directory, size);
}
#else
static UINT GetGlideDirectory(char *directory, UINT size)
{
    return GetSystemDirectoryA(directory, size);
}
#endif

int AddGlideRows()
{
    char directory[TextBufferSize];
    UINT length = GetGlideDirectory(directory, sizeof directory);
    if (length == 0 || length >= sizeof directory)
        return 1; // no system directory that fits: no library to look at
    char path[TextBufferSize];
    char version[TextBufferSize];
    for (size_t i = 0; i < sizeof glideLibraries / sizeof glideLibraries[0]; ++i) {
        if (BuildFilePath(directory, glideLibraries[i].fileName, path, sizeof path) &&
            GetFileProductVersion(path, version))
            AddReportRow(glideLibraries[i].label, version, IconDisplay);
    }
    return 1;
}
