// The pieces random registries are made of: the seeded generator, lengths that favour the
// probes' buffer sizes, texts and binary data, numbers, key and value names, key paths and
// case variants.
#include "random_registry.h"
#include "random_registry_pieces.h"

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

namespace random_registry
{

namespace
{

// Lengths at and around the probes' buffers (219, 254, 256, 260 bytes) come up often.
const size_t edgeLengths[] = {1,   3,   4,   5,   8,   218, 219, 220, 221,  253,  254, 255,
                              256, 257, 258, 259, 260, 261, 262, 511, 1023, 1024, 1025};

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

} // namespace

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

// A little-endian number of `length` bytes; mostly a plausible clock rate or problem code.
std::string RandomNumber(Random &random, size_t length)
{
    uint64_t value = random.Chance(60) ? random.Below(5000) : random.Next();
    std::string data;
    for (size_t i = 0; i < length; ++i)
        data += (char)(value >> (8 * (i % 8)));
    return data;
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

} // namespace random_registry

using namespace random_registry;

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
