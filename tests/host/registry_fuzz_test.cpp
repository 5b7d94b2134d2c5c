// The registry-fuzz run itself: a seed gives the same registry every time, the registries
// reach every key the probes read, and the checks made after each probe call catch the
// faults they are there for.
#include "app/report_store.h"
#include "probes/probes.h"
#include "support/fake_registry.h"
#include "support/registry_fuzz.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char *const wellKnownValues[] = {"HardwareKey", "Problem",    "Class",
                                       "Driver",      "DriverDesc", "drv",
                                       "Version",     "~MHz",       "InstalledVersion"};

// Every key path below key, with the sizes of the values the probes ask for; key names
// must be 1 to 255 characters long.
void DumpKey(RegKey key, const std::string &path, std::string *dump)
{
    char name[MaxRandomNameLength + 1];
    unsigned long index = 0;
    long status;
    for (; (status = EnumRegKey(key, index, name, sizeof name)) == RegOk; ++index) {
        ASSERT_NE('\0', name[0]) << path;
        RegKey sub;
        ASSERT_EQ(RegOk, OpenRegKey(key, name, &sub)) << path << "\\" << name;
        *dump += path + "\\" + name + "\n";
        for (const char *value : wellKnownValues) {
            unsigned long size = 0;
            if (QueryRegValueEx(sub, value, NULL, &size) == RegOk)
                *dump += std::string(value) + " " + std::to_string(size) + "\n";
        }
        DumpKey(sub, path + "\\" + name, dump);
        CloseRegKey(sub);
    }
    ASSERT_EQ(RegNoMoreItems, status) << "a key name longer than 255 below " << path;
}

std::string DumpRandomRegistry(uint64_t seed, RandomRegistry *made)
{
    ResetFakeRegistry();
    Random random(seed);
    FillRandomRegistry(random, made);
    std::string dump;
    DumpKey(REG_LOCAL_MACHINE, "HKLM", &dump);
    DumpKey(REG_DYN_DATA, "HKDD", &dump);
    return dump;
}

TEST(RandomRegistry, OneSeedOneRegistry)
{
    RandomRegistry first, again, other;
    for (uint64_t seed : {1ull, 2ull, 0x123456789ull}) {
        std::string dump = DumpRandomRegistry(seed, &first);
        EXPECT_EQ(dump, DumpRandomRegistry(seed, &again)) << seed;
        EXPECT_EQ(first.hardwareKeys, again.hardwareKeys);
        EXPECT_NE(dump, DumpRandomRegistry(seed + 1, &other)) << seed;
    }
    EXPECT_NE(RunSeed(1, 0), RunSeed(1, 1));
    EXPECT_NE(RunSeed(1, 0), RunSeed(2, 0));
    ResetFakeRegistry();
}

// Each key a probe reads is there, in some case or other, in a fair share of registries.
TEST(RandomRegistry, ReachesEveryKeyTheProbesRead)
{
    const struct {
        RegKey root;
        const char *path;
        int atLeast; // of 200 registries
    } keys[] = {
        {REG_LOCAL_MACHINE, "Software\\Microsoft\\DirectX", 140},
        {REG_LOCAL_MACHINE, "Software\\Ostrand", 90},
        {REG_LOCAL_MACHINE, "Software\\The Kelto Company", 90},
        {REG_LOCAL_MACHINE, "Software\\Kelto", 90},
        {REG_LOCAL_MACHINE, "Hardware\\Description\\System\\CentralProcessor\\0", 120},
        {REG_DYN_DATA, "Config Manager\\Enum", 160},
        {REG_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Class", 120},
        {REG_LOCAL_MACHINE, "Enum", 190},
    };
    int found[sizeof keys / sizeof keys[0]] = {};
    int withDevices = 0;
    RandomRegistry made;
    for (uint64_t seed = 0; seed < 200; ++seed) {
        ResetFakeRegistry();
        Random random(RunSeed(9, (unsigned long)seed));
        FillRandomRegistry(random, &made);
        for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i) {
            RegKey key;
            if (OpenRegKey(keys[i].root, keys[i].path, &key) == RegOk) {
                ++found[i];
                CloseRegKey(key);
            }
        }
        char deviceKey[DeviceKeySize];
        withDevices += FindPresentDevice(0, NULL, deviceKey);
    }
    for (size_t i = 0; i < sizeof keys / sizeof keys[0]; ++i)
        EXPECT_LE(keys[i].atLeast, found[i]) << keys[i].path;
    EXPECT_LE(100, withDevices) << "registries with a present device";
    ResetFakeRegistry();
}

const char *const plantedLabels[] = {"Planted", NULL};

// Probes with one fault each, and the fault the checks must name.
TEST(RegistryFuzz, ChecksCatchPlantedFaults)
{
    const struct {
        const char *what;
        void (*call)(FuzzRun &run, std::string *fault);
        const char *fault; // what the fault text holds, "" for none
    } cases[] = {
        {"clean",
         [](FuzzRun &, std::string *) {
             RegKey key;
             OpenRegKey(REG_LOCAL_MACHINE, "Key", &key);
             CloseRegKey(key);
             AddReportRow("Planted", "details", IconOs);
         },
         ""},
        {"key left open",
         [](FuzzRun &, std::string *) {
             RegKey key;
             OpenRegKey(REG_LOCAL_MACHINE, "Key", &key);
         },
         "left 1 keys open"},
        {"another probe's label",
         [](FuzzRun &, std::string *) { AddReportRow("Stray", "details", IconOs); },
         "row \"Stray\""},
        {"another probe's icon",
         [](FuzzRun &, std::string *) { AddReportRow("Planted", "details", IconVideo); },
         "with icon 1"},
        {"a walk without end",
         [](FuzzRun &, std::string *) {
             RegKey key;
             while (OpenRegKey(REG_LOCAL_MACHINE, "Key", &key) == RegOk)
                 CloseRegKey(key);
         },
         "made more than 1000 registry calls"},
        {"the probe's own check", [](FuzzRun &, std::string *fault) { *fault = "details \"x\""; },
         "details \"x\""},
    };
    for (const auto &c : cases) {
        ResetFakeRegistry();
        ClearReport();
        AddFakeKey(REG_LOCAL_MACHINE, "Key");
        FuzzRun run(1);
        run.callBudget = 1000;
        FuzzProbe probe = {c.what, plantedLabels, IconOs, c.call};
        std::string fault;
        EXPECT_EQ(c.fault[0] == '\0', CallFuzzProbe(probe, run, &fault)) << c.what;
        EXPECT_NE(std::string::npos, fault.find(c.fault)) << c.what << ": " << fault;
    }
    ResetFakeRegistry();
    ClearReport();
}

} // namespace
