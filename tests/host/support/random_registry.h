// Seeded random registries for the registry-fuzz run: key trees of random shape under every
// path the registry probes read, filled into the in-memory registry. One seed, one registry,
// on every machine.
#ifndef TARROW_RANDOM_REGISTRY_H
#define TARROW_RANDOM_REGISTRY_H

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

// splitmix64: small, fast, and the same sequence everywhere for a seed.
struct Random {
    uint64_t state;

    explicit Random(uint64_t seed) : state(seed) {}
    uint64_t Next();
    // 0 to n - 1; n is at least 1.
    unsigned long Below(unsigned long n);
    bool Chance(unsigned percent);
};

// The seed of run `run` of a run seeded `seed`, so that any one run can be repeated alone.
uint64_t RunSeed(uint64_t seed, unsigned long run);

enum {
    MaxRandomValueBytes = 10000,
    MaxRandomNameLength = 255,
};

// Random pieces, also used to change the registry while a probe walks it.
std::string RandomKeyName(Random &random);   // 1..255 bytes, no zero, no backslash
std::string RandomValueName(Random &random); // 0..255 bytes, no zero
// `length` bytes without a zero: mostly letters and digits, now and then any byte.
std::string RandomText(Random &random, size_t length);
// `length` bytes of any value, zeros included.
std::string RandomBinary(Random &random, size_t length);
// Raw value bytes 0..10,000 long: empty, texts with and without their zero, a text with
// bytes behind its zero, binary data, numbers of 1 to 8 bytes.
std::string RandomValue(Random &random);
// The text in one of the shapes a registry holds it: with or without its zero, with bytes
// behind the zero; now and then something else entirely.
std::string TextValue(Random &random, const std::string &text);
// The text with its ASCII letters' case changed at random.
std::string CaseVariant(Random &random, const std::string &text);

// What the generator made, for the run to aim its own lookups at.
struct RandomRegistry {
    std::vector<std::string> hardwareKeys; // full paths below HKEY_LOCAL_MACHINE
    std::vector<std::string> otherRows;    // details of rows to put in the report first
};

// Fills the in-memory registry (reset beforehand) with one random registry.
void FillRandomRegistry(Random &random, RandomRegistry *made);

#endif
