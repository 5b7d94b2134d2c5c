// The display adapters and multimedia devices the configuration manager lists as present:
// the device list walk, one device's value lookup and the report rows, over the registry
// seam; the Windows directory and the file version lookup come from devices_win32.cpp.
#include "probes.h"
#include "../base/registry_access.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <string.h>

static const char presentDevicesKey[] = "Config Manager\\Enum";
static const char hardwareKeyRoot[] = "Enum\\";
static const char driverKeyRoot[] = "System\\CurrentControlSet\\Services\\Class\\";

enum {
    HardwareKeyValueSize = 254, // room for the HardwareKey value behind "Enum\"
    DriverValueSize = 219,      // room for the Driver value behind the class root
};

// Appends text to out and tells whether all of it fitted; a path that was cut would name
// another key or file, so callers do not use it.
static bool AppendWhole(char *out, size_t size, const char *text)
{
    size_t used = BoundedLength(out, size);
    AppendText(out, size, text);
    return used + strlen(text) < size;
}

// Reads one entry of the present-device list: its hardware key path into deviceKey and
// its problem code. Gives false when the entry has no usable hardware key.
static bool ReadPresentDevice(RegKey devices, const char *entry, char *deviceKey,
                              uint32_t *problem)
{
    RegKey device;
    if (OpenRegKey(devices, entry, &device) != RegOk)
        return false;
    CopyText(deviceKey, DeviceKeySize, hardwareKeyRoot);
    int cut = 0;
    char *behindRoot = deviceKey + sizeof hardwareKeyRoot - 1;
    ReadRegText(device, "HardwareKey", behindRoot, HardwareKeyValueSize, &cut);
    *problem = 0; // a device without a Problem value has none
    ReadRegNumber(device, "Problem", problem);
    CloseRegKey(device);
    return behindRoot[0] != '\0' && !cut;
}

static bool IsOfClass(const char *deviceKey, const char *className)
{
    char deviceClass[TextBufferSize];
    QueryDeviceValue(deviceKey, NULL, "Class", deviceClass, sizeof deviceClass);
    return EqualsIgnoringAsciiCase(deviceClass, className);
}

int FindPresentDevice(int n, const char *className, char *deviceKey)
{
    RegKey devices;
    if (OpenRegKey(REG_DYN_DATA, presentDevicesKey, &devices) != RegOk)
        return 0;
    char entry[TextBufferSize];
    for (unsigned long index = 0;; ++index) {
        long status = EnumRegKey(devices, index, entry, sizeof entry);
        if (status == RegMoreData)
            continue; // a name no key can have: not a device of ours
        if (status != RegOk)
            break;
        uint32_t problem = 0;
        if (!ReadPresentDevice(devices, entry, deviceKey, &problem) || problem != 0)
            continue;
        if (className && !IsOfClass(deviceKey, className))
            continue;
        if (n == 0) {
            CloseRegKey(devices);
            return 1;
        }
        --n;
    }
    CloseRegKey(devices);
    return 0;
}

// Forms the path of a device's driver key from its hardware key's Driver value, with
// subKey behind it when given. Gives false when there is no whole path to open.
static bool FormDriverKeyPath(RegKey hardwareKey, const char *subKey, char *path)
{
    CopyText(path, DeviceKeySize, driverKeyRoot);
    char *behindRoot = path + sizeof driverKeyRoot - 1;
    int cut = 0;
    if (ReadRegText(hardwareKey, "Driver", behindRoot, DriverValueSize, &cut) != RegOk || cut ||
        behindRoot[0] == '\0')
        return false;
    if (!subKey)
        return true;
    return AppendWhole(path, DeviceKeySize, "\\") && AppendWhole(path, DeviceKeySize, subKey);
}

static int QueryDriverKeyValue(RegKey hardwareKey, const char *subKey, const char *valueName,
                               char *out, int outSize)
{
    char path[DeviceKeySize];
    if (!FormDriverKeyPath(hardwareKey, subKey, path))
        return 0;
    RegKey driverKey;
    if (OpenRegKey(REG_LOCAL_MACHINE, path, &driverKey) != RegOk)
        return 0;
    int found = ReadRegText(driverKey, valueName, out, outSize, NULL) == RegOk;
    CloseRegKey(driverKey);
    return found;
}

int QueryDeviceValue(const char *deviceKey, const char *subKey, const char *valueName,
                     char *out, int outSize)
{
    if (outSize <= 0)
        return 0;
    out[0] = '\0';
    RegKey hardwareKey;
    if (OpenRegKey(REG_LOCAL_MACHINE, deviceKey, &hardwareKey) != RegOk)
        return 0;
    // The hardware key is asked first, even for a value that lives in a driver subkey.
    int found = ReadRegText(hardwareKey, valueName, out, outSize, NULL) == RegOk;
    if (!found)
        found = QueryDriverKeyValue(hardwareKey, subKey, valueName, out, outSize);
    CloseRegKey(hardwareKey);
    return found;
}

// The version of a display driver file in the system directory; a path that does not fit
// names no file of ours and gives the lookup's own "no version" text.
static void ReadDriverVersion(const char *systemDirectory, const char *driverFile,
                              ProductVersionLookup lookup, char *version)
{
    char path[TextBufferSize] = "";
    if (systemDirectory[0] != '\0') {
        CopyText(path, sizeof path, systemDirectory);
        if (!AppendWhole(path, sizeof path, driverFile))
            path[0] = '\0';
    }
    lookup(path, version);
}

static void AddDisplayAdapterRows(const char *systemDirectory, ProductVersionLookup lookup)
{
    char deviceKey[DeviceKeySize];
    char text[TextBufferSize];
    char driverFile[TextBufferSize];
    for (int n = 0; FindPresentDevice(n, "Display", deviceKey); ++n) {
        QueryDeviceValue(deviceKey, NULL, "DriverDesc", text, sizeof text);
        AddReportRow("Video Adapter", text, IconVideo);
        QueryDeviceValue(deviceKey, NULL, "DriverDate", text, sizeof text);
        AddReportRow("Driver Date", text, IconVideo);
        QueryDeviceValue(deviceKey, "DEFAULT", "drv", driverFile, sizeof driverFile);
        ReadDriverVersion(systemDirectory, driverFile, lookup, text);
        AddReportRow("Driver Version", text, IconVideo);
    }
}

// One "Driver Date" row closes the multimedia devices with the last one's date; with no
// multimedia device there is no date to show, and no row.
static void AddMultimediaRows()
{
    char deviceKey[DeviceKeySize];
    char text[TextBufferSize];
    char lastDate[TextBufferSize];
    int n = 0;
    for (; FindPresentDevice(n, "Media", deviceKey); ++n) {
        QueryDeviceValue(deviceKey, NULL, "DriverDesc", text, sizeof text);
        AddReportRow("Multimedia Components", text, IconVideo);
        QueryDeviceValue(deviceKey, NULL, "DriverDate", lastDate, sizeof lastDate);
    }
    if (n > 0)
        AddReportRow("Driver Date", lastDate, IconVideo);
}

void AddDeviceRows(const char *windowsDirectory, ProductVersionLookup lookup)
{
    char systemDirectory[TextBufferSize];
    CopyText(systemDirectory, sizeof systemDirectory, windowsDirectory);
    if (windowsDirectory[0] == '\0' ||
        !AppendWhole(systemDirectory, sizeof systemDirectory, "\\System\\"))
        systemDirectory[0] = '\0'; // no system directory: no driver file can be looked up
    AddDisplayAdapterRows(systemDirectory, lookup);
    AddMultimediaRows();
}
