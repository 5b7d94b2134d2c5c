// Seeded random registries: random trees under the DirectX, maker, processor and device
// keys, with values of every shape, and device entries that point at one another so that
// the device walk goes all the way down.
#include "random_registry.h"
#include "random_registry_pieces.h"
#include "fake_registry.h"

#include <stdio.h>

using namespace random_registry;

namespace
{

const char directXKey[] = "Software\\Microsoft\\DirectX";
const char *const makerKeys[] = {"Software\\Ostrand", "Software\\The Kelto Company",
                                 "Software\\Kelto"};
const char processorRoot[] = "Hardware\\Description\\System\\CentralProcessor";
const char deviceList[] = "Config Manager\\Enum";
const char hardwareRoot[] = "Enum";
const char classRoot[] = "System\\CurrentControlSet\\Services\\Class";

const char *const directXVersions[] = {
    "4.07.00.0700", "4.7.0.700",    "4.06.02.0436", "4.6.2.436",    "4.06.03.0518",
    "4.06.00.0318", "4.05.01.1721", "4.5",          "4.04.00.0068", "4.03.00.1096",
    "4.09.00.0904", "4.02.00.0095", ""};

// Titles, names on the skip list and texts other rows hold; Pick changes their case.
const char *const titleNames[] = {
    "Night Harbor", "NIGHT HARBOR", "Ember Road", "Ember Road 2", "Tallowick",
    "The Tallowick Saga", "Quillmere Deluxe", "quillmere", "Caf\xC9", "caf\xE9",
    "DirectX", "DirectX 7", "Windows 98 v4.10.2222"};

const char *const classNames[] = {"Display", "DISPLAY", "display", "Media",    "MEDIA",  "media",
                                  "Net",     "Ports",   "Displa",  "Display ", "Medias", ""};

// One of the names, in a case of its own.
template <size_t count> std::string Pick(Random &random, const char *const (&names)[count])
{
    return CaseVariant(random, names[random.Below(count)]);
}

// Random values and subkeys below path, down to `depth` more levels.
void AddRandomTree(Random &random, RegKey root, const std::string &path, int depth)
{
    AddFakeKey(root, path);
    for (unsigned long n = random.Below(4); n > 0; --n)
        SetFakeValue(root, path, RandomValueName(random), RandomValue(random));
    if (depth == 0)
        return;
    for (unsigned long n = random.Below(3); n > 0; --n)
        AddRandomTree(random, root, path + "\\" + RandomKeyName(random), depth - 1);
}

void AddDirectXKey(Random &random)
{
    if (!random.Chance(85))
        return;
    std::string path = CaseVariant(random, directXKey);
    AddRandomTree(random, REG_LOCAL_MACHINE, path, 1);
    if (random.Chance(70)) {
        std::string version = random.Chance(80) ? Pick(random, directXVersions)
                                                : RandomText(random, RandomLength(random, 400));
        SetFakeValue(REG_LOCAL_MACHINE, path, CaseVariant(random, "Version"),
                     TextValue(random, version));
    }
    if (random.Chance(50))
        SetFakeValue(REG_LOCAL_MACHINE, path, CaseVariant(random, "InstalledVersion"),
                     random.Chance(50) ? RandomNumber(random, 1 + random.Below(4))
                                       : RandomValue(random));
}

void AddMakerKeys(Random &random, unsigned long scale)
{
    for (const char *makerKey : makerKeys) {
        if (!random.Chance(60))
            continue;
        std::string path = CaseVariant(random, makerKey);
        AddFakeKey(REG_LOCAL_MACHINE, path);
        unsigned long titles = random.Below(6 * scale + 1);
        if (random.Chance(2))
            titles = 200 + random.Below(300); // a maker key with very many titles
        for (; titles > 0; --titles) {
            std::string sub =
                path + "\\" +
                (random.Chance(30) ? Pick(random, titleNames) : RandomKeyName(random));
            if (random.Chance(20))
                AddRandomTree(random, REG_LOCAL_MACHINE, sub, 2);
            else
                AddFakeKey(REG_LOCAL_MACHINE, sub);
        }
        if (random.Chance(20))
            AddRandomTree(random, REG_LOCAL_MACHINE, path, 0);
    }
}

void AddProcessorKeys(Random &random)
{
    if (!random.Chance(80))
        return;
    std::string root = CaseVariant(random, processorRoot);
    unsigned long count = 1 + random.Below(3);
    for (unsigned long i = 0; i < count; ++i) {
        std::string name = i == 0 && random.Chance(90) ? "0" : RandomKeyName(random);
        std::string path = root + "\\" + name;
        AddRandomTree(random, REG_LOCAL_MACHINE, path, 1);
        if (random.Chance(80))
            SetFakeValue(REG_LOCAL_MACHINE, path, CaseVariant(random, "~MHz"),
                         random.Chance(60) ? RandomNumber(random, 4) : RandomValue(random));
    }
}

std::string RandomDriverKey(Random &random)
{
    if (random.Chance(20))
        return RandomPath(random);
    char number[8];
    snprintf(number, sizeof number, "%04lu", random.Below(10000));
    return Pick(random, classNames) + "\\" + number;
}

std::string RandomDate(Random &random)
{
    if (random.Chance(20))
        return RandomText(random, RandomLength(random, 400));
    char date[32];
    snprintf(date, sizeof date, "%lu-%lu-%lu", 1 + random.Below(12), 1 + random.Below(31),
             1990 + random.Below(20));
    return date;
}

std::string RandomDriverFile(Random &random)
{
    if (random.Chance(30))
        return RandomText(random, RandomLength(random, 400));
    return RandomKeyName(random).substr(0, 8) + ".drv";
}

void SetSometimes(Random &random, unsigned percent, RegKey root, const std::string &path,
                  const char *name, const std::string &text)
{
    if (random.Chance(percent))
        SetFakeValue(root, path, CaseVariant(random, name), TextValue(random, text));
}

// Driver keys behind the class root, hardware keys naming them in "Driver", and the present
// device list naming the hardware keys in "HardwareKey"; each link now and then points
// elsewhere.
void AddDevices(Random &random, unsigned long scale, RandomRegistry *made)
{
    std::string classes = CaseVariant(random, classRoot);
    std::vector<std::string> drivers;
    for (unsigned long n = random.Below(4 * scale + 1); n > 0; --n) {
        std::string driver = RandomDriverKey(random);
        std::string path = classes + "\\" + driver;
        AddRandomTree(random, REG_LOCAL_MACHINE, path, 1);
        SetSometimes(random, 80, REG_LOCAL_MACHINE, path, "DriverDesc",
                     RandomText(random, RandomLength(random, 400)));
        SetSometimes(random, 70, REG_LOCAL_MACHINE, path, "DriverDate", RandomDate(random));
        SetSometimes(random, 60, REG_LOCAL_MACHINE, path + "\\" + CaseVariant(random, "DEFAULT"),
                     "drv", RandomDriverFile(random));
        drivers.push_back(driver);
    }

    std::string enumRoot = CaseVariant(random, hardwareRoot);
    std::vector<std::string> hardware;
    for (unsigned long n = 1 + random.Below(5 * scale); n > 0; --n) {
        std::string key = RandomPath(random);
        std::string path = enumRoot + "\\" + key;
        AddRandomTree(random, REG_LOCAL_MACHINE, path, 1);
        SetSometimes(random, 85, REG_LOCAL_MACHINE, path, "Class",
                     random.Chance(60)
                         ? CaseVariant(random, random.Chance(50) ? "Display" : "Media")
                     : random.Chance(60) ? Pick(random, classNames)
                                         : RandomText(random, RandomLength(random, 300)));
        std::string driver = !drivers.empty() && random.Chance(75)
                                 ? CaseVariant(random, drivers[random.Below(drivers.size())])
                                 : RandomPath(random);
        SetSometimes(random, 80, REG_LOCAL_MACHINE, path, "Driver", driver);
        SetSometimes(random, 25, REG_LOCAL_MACHINE, path, "DriverDesc",
                     RandomText(random, RandomLength(random, 400)));
        SetSometimes(random, 15, REG_LOCAL_MACHINE, path, "DriverDate", RandomDate(random));
        SetSometimes(random, 5, REG_LOCAL_MACHINE, path, "drv", RandomDriverFile(random));
        hardware.push_back(key);
        made->hardwareKeys.push_back(path);
    }

    if (random.Chance(10))
        return; // no device list at all
    std::string list = CaseVariant(random, deviceList);
    AddFakeKey(REG_DYN_DATA, list);
    unsigned long entries = random.Below(8 * scale + 1);
    if (random.Chance(1))
        entries = 50 + random.Below(100); // a machine with very many devices
    for (; entries > 0; --entries) {
        std::string entry = list + "\\" + RandomKeyName(random);
        AddRandomTree(random, REG_DYN_DATA, entry, 0);
        std::string key = random.Chance(85)
                              ? CaseVariant(random, hardware[random.Below(hardware.size())])
                              : RandomPath(random);
        SetSometimes(random, 90, REG_DYN_DATA, entry, "HardwareKey", key);
        if (random.Chance(80))
            SetFakeValue(REG_DYN_DATA, entry, CaseVariant(random, "Problem"),
                         random.Chance(75) ? std::string(4, '\0') : RandomValue(random));
    }
}

} // namespace

std::string RandomValue(Random &random)
{
    switch (random.Below(9)) {
    case 0:
        return "";
    case 1:
        return RandomText(random, RandomLength(random, MaxRandomValueBytes)) + '\0';
    case 2:
        return RandomText(random, RandomLength(random, MaxRandomValueBytes));
    case 3:
        return RandomText(random, RandomLength(random, 300)) + '\0' +
               RandomBinary(random, RandomLength(random, 300));
    case 4:
        return RandomBinary(random, RandomLength(random, MaxRandomValueBytes));
    case 5:
        return RandomNumber(random, 4);
    case 6:
        return RandomNumber(random, 1 + random.Below(8));
    case 7: // now and then a long text, the longest there is among them
        if (random.Chance(70))
            return RandomText(random, RandomLength(random, 300)) + '\0';
        return RandomText(random, random.Chance(10) ? (size_t)MaxRandomValueBytes
                                                    : random.Below(MaxRandomValueBytes + 1));
    default:
        return TextValue(random, Pick(random, titleNames));
    }
}

std::string TextValue(Random &random, const std::string &text)
{
    switch (random.Below(10)) {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return text + '\0';
    case 5:
        return text; // no zero of its own
    case 6:
        return text + '\0' + RandomBinary(random, random.Below(40));
    case 7:
        return text + RandomText(random, RandomLength(random, 300));
    case 8:
        return text.substr(0, random.Below(text.size() + 1));
    default:
        return RandomValue(random);
    }
}

void FillRandomRegistry(Random &random, RandomRegistry *made)
{
    made->hardwareKeys.clear();
    made->otherRows.clear();
    // Most registries are small; some have many keys of each kind.
    unsigned long scale = random.Chance(70) ? 1 : random.Chance(80) ? 4 : 16;
    AddRandomTree(random, REG_LOCAL_MACHINE, "", 1);
    AddRandomTree(random, REG_LOCAL_MACHINE, CaseVariant(random, "Software\\Microsoft"), 1);
    AddRandomTree(random, REG_DYN_DATA, "", 1);
    AddDirectXKey(random);
    AddMakerKeys(random, scale);
    AddProcessorKeys(random);
    AddDevices(random, scale, made);
    for (unsigned long n = random.Below(3); n > 0; --n)
        made->otherRows.push_back(random.Chance(60)
                                      ? Pick(random, titleNames)
                                      : RandomText(random, RandomLength(random, 300)));
}
