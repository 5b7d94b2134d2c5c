// cpuid-replay FILE: the "CPU Model/Name" details that the program shows for a recorded
// CPUID dump, on one line. The dump drives the simulated processor; EMMS runs.
#include "app/report_store.h"
#include "base/tarrow.h"
#include "tests/host/support/cpuid_dump.h"
#include "tests/host/support/simulated_cpu.h"

#include <stdio.h>

int main(int argc, char **argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: cpuid-replay FILE\n");
        return 2;
    }
    CpuidDump dump;
    std::string error;
    if (!LoadCpuidDump(argv[1], &dump, &error)) {
        fprintf(stderr, "cpuid-replay: %s\n", error.c_str());
        return 2;
    }
    ResetSimulatedCpu();
    UseCpuidDump(dump);
    ClearReport();
    AddCpuRows();
    char details[ReportTextBufferSize];
    GetReportRowText(0, 1, details);
    printf("%s\n", details);
    return 0;
}
