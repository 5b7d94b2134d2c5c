// registry-fuzz: the registry-driven probes over seeded random registries. Prints each fault
// with the seed and run that repeat it, then the figures; exits 1 when any fault was found.
//     registry-fuzz [--seed N] [--runs N] [--from RUN]
#include "tests/host/support/registry_fuzz.h"

#include <chrono>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static const unsigned long MaxFaultsShown = 20;
static unsigned long faultsShown = 0;

static void ShowFault(uint64_t seed, unsigned long run, const char *probe, const std::string &fault)
{
    if (++faultsShown > MaxFaultsShown)
        return;
    printf("fault: --seed %llu --from %lu --runs 1: %s: %s\n", (unsigned long long)seed, run, probe,
           fault.c_str());
    fflush(stdout); // shown even when a sanitizer stops the run later
}

static bool ReadNumber(const char *text, unsigned long long *value)
{
    char *end;
    *value = strtoull(text, &end, 0);
    return text[0] != '\0' && *end == '\0';
}

int main(int argc, char **argv)
{
    unsigned long long seed = 1, runs = 1000, from = 0;
    for (int i = 1; i < argc; ++i) {
        unsigned long long *option = !strcmp(argv[i], "--seed")   ? &seed
                                     : !strcmp(argv[i], "--runs") ? &runs
                                     : !strcmp(argv[i], "--from") ? &from
                                                                  : NULL;
        if (!option || i + 1 == argc || !ReadNumber(argv[++i], option)) {
            fprintf(stderr, "usage: registry-fuzz [--seed N] [--runs N] [--from RUN]\n");
            return 2;
        }
    }
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    FuzzFigures figures;
    RunRegistryFuzz(seed, (unsigned long)from, (unsigned long)runs, ShowFault, &figures);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    printf("registry-fuzz: seed %llu, runs %lu, probes called %lu, faults %lu, seconds %.1f\n",
           seed, figures.runs, figures.probesCalled, figures.faults, seconds);
    return figures.faults == 0 ? 0 : 1;
}
