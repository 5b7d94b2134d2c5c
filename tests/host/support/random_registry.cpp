// Seeded random registries: random trees under the DirectX, maker, processor and device
// keys, with values of every shape, and device entries that point at one another so that
// the device walk goes all the way down.
#include "random_registry.h"
#include "fake_registry.h"

#include <stdio.h>
#include <string.h>

uint64_t Random::Next()
{
    uint64_t z = (state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

unsigned long Random::Below(unsigned long n)
{
    return (unsigned long)(Next() % n);
}

bool Random::Chance(unsigned percent)
{
    return Below(100) < percent;
}

uint64_t RunSeed(uint64_t seed, unsigned long run)
{
    Random mix(seed ^ ((uint64_t)run * 0xD1B54A32D192ED03ULL));
    return mix.Next();
}

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

// Lengths at and around the probes' buffers (219, 254, 256, 260 bytes) come up often.
const size_t edgeLengths[] = {1,   3,   4,   5,   8,   218, 219, 220, 221,  253,  254, 255,
                              256, 257, 258, 259, 260, 261, 262, 511, 1023, 1024, 1025};

size_t RandomLength(Random &random, size_t longest)
{
    size_t length;
    switch (random.Below(10)) {
    case 0:
    case 1:
    case 2:
    case 3:
        length = random.Below(17);
        break;
    case 4:
    case 5:
    case 6:
        length = random.Below(301);
        break;
    case 7:
    case 8:
        length = edgeLengths[random.Below(sizeof edgeLengths / sizeof edgeLengths[0])];
        break;
    default:
        length = random.Below(longest + 1);
        break;
    }
    return length < longest ? length : longest;
}

} // namespace

// Eight bytes come from each draw.
std::string RandomText(Random &random, size_t length)
{
    static const char plain[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
                                " .";
    bool anyByte = random.Chance(30);
    std::string text = RandomBinary(random, length);
    char *c = length ? &text[0] : NULL;
    for (size_t i = 0; i < length; ++i) {
        unsigned char byte = (unsigned char)c[i];
        c[i] = anyByte ? (byte ? (char)byte : '\x01') : plain[byte % 64];
    }
    return text;
}

// Any bytes, zeros included.
std::string RandomBinary(Random &random, size_t length)
{
    std::string data(length, '\0');
    for (size_t i = 0; i < length; i += 8) {
        uint64_t bits = random.Next();
        memcpy(&data[i], &bits, length - i < 8 ? length - i : 8);
    }
    return data;
}

namespace
{

// A little-endian number of `length` bytes; mostly a plausible clock rate or problem code.
std::string RandomNumber(Random &random, size_t length)
{
    uint64_t value = random.Chance(60) ? random.Below(5000) : random.Next();
    std::string data;
    for (size_t i = 0; i < length; ++i)
        data += (char)(value >> (8 * (i % 8)));
    return data;
}

// A random text as a key path: no part of it longer than a key name may be.
std::string AsKeyPath(const std::string &text)
{
    std::string path;
    size_t partLength = 0;
    for (char c : text) {
        partLength = c == '\\' ? 0 : partLength + 1;
        if (partLength > MaxRandomNameLength) {
            path += '\\';
            partLength = 1;
        }
        path += c;
    }
    return path;
}

// A key path of one to four parts, now and then with empty parts or any bytes.
std::string RandomPath(Random &random)
{
    std::string path;
    switch (random.Below(8)) {
    case 0:
        return AsKeyPath(RandomText(random, RandomLength(random, 600)));
    case 1:
        path = "\\"; // a leading backslash
        break;
    default:
        break;
    }
    bool shortParts = random.Chance(70);
    for (unsigned long parts = 1 + random.Below(4); parts > 0; --parts) {
        path += shortParts ? RandomText(random, 1 + random.Below(12)) : RandomKeyName(random);
        if (parts > 1)
            path += random.Chance(5) ? "\\\\" : "\\";
    }
    return path;
}

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

std::string RandomKeyName(Random &random)
{
    size_t length = RandomLength(random, MaxRandomNameLength);
    std::string name = RandomText(random, length ? length : 1);
    for (char &c : name)
        if (c == '\\')
            c = '/';
    return name;
}

std::string RandomValueName(Random &random)
{
    return RandomText(random, RandomLength(random, MaxRandomNameLength));
}

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

std::string CaseVariant(Random &random, const std::string &text)
{
    if (random.Chance(40))
        return text;
    std::string variant = text;
    uint64_t bits = random.Next();
    for (size_t i = 0; i < variant.size(); ++i) {
        if (i % 64 == 0 && i > 0)
            bits = random.Next();
        char c = variant[i];
        bool flip = bits >> (i % 64) & 1;
        if (flip && c >= 'a' && c <= 'z')
            variant[i] = (char)(c - 'a' + 'A');
        else if (flip && c >= 'A' && c <= 'Z')
            variant[i] = (char)(c - 'A' + 'a');
    }
    return variant;
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
