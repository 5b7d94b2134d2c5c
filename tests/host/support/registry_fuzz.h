// The registry-fuzz run: every registry-driven probe over seeded random registries that may
// change while the probe walks them, with the rules each call must keep checked afterwards.
// Sanitizer reports are not counted here: the sanitizer build stops the process on the first.
#ifndef TARROW_REGISTRY_FUZZ_H
#define TARROW_REGISTRY_FUZZ_H

#include "random_registry.h"

#include "base/tarrow.h"

#include <stdint.h>
#include <string>

// Registry calls one probe call may make before it counts as not returning: the registry
// is then emptied, so that any walk that looks at its answers ends. The largest random
// registries take about a tenth of it.
enum { FuzzCallBudget = 2000000 };

// One random registry and what the run draws from while the probes walk it.
struct FuzzRun {
    Random random;
    RandomRegistry made;
    unsigned changePercent; // chance that a registry call is followed by a change
    unsigned long callBudget;

    explicit FuzzRun(uint64_t seed) : random(seed), changePercent(0), callBudget(FuzzCallBudget) {}
};

// One probe as the run calls it: call runs it over the registry and checks what only this
// probe can tell (its rows, what it gave back), describing a broken rule in *fault. Every
// row it adds has one of its labels (a NULL-ended list) and its icon.
struct FuzzProbe {
    const char *name;
    const char *const *labels;
    ReportIcon icon;
    void (*call)(FuzzRun &run, std::string *fault);
};

// DirectX, titles, processor clock, devices, and one device lookup with odd arguments.
extern const FuzzProbe registryProbes[];
extern const int registryProbeCount;

// Calls the probe with the registry changing under it now and then, and checks the rules
// every probe keeps: it returns within the call budget, closes every key it opened, and
// every report row it added reads back zero-terminated, with the probe's label and icon.
// Gives true when no rule was broken.
bool CallFuzzProbe(const FuzzProbe &probe, FuzzRun &run, std::string *fault);

struct FuzzFigures {
    unsigned long runs;
    unsigned long probesCalled;
    unsigned long faults;
};

// Runs `runs` registries, from run `first` of the run seeded `seed`, each probe once over
// each; every fault is told to report(seed, run, probe, fault) as well as counted.
typedef void (*FuzzFaultReport)(uint64_t seed, unsigned long run, const char *probe,
                                const std::string &fault);
void RunRegistryFuzz(uint64_t seed, unsigned long first, unsigned long runs, FuzzFaultReport report,
                     FuzzFigures *figures);

#endif
