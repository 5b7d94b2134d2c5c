// Recorded CPUID dumps: one line per leaf, "CPUID 00000001: EAX-EBX-ECX-EDX" in hex, with
// '#' comment lines; "# expect: TEXT" names the model row the dump should give.
#ifndef TARROW_CPUID_DUMP_H
#define TARROW_CPUID_DUMP_H

#include "cpu/cpu.h"

#include <stdint.h>

#include <map>
#include <string>

struct CpuidDump {
    std::map<uint32_t, CpuidRegisters> leaves;
    std::string expect; // empty when the file has no expect line
};

// Parses one line; false when it is neither a leaf, a comment nor blank.
bool ParseCpuidDumpLine(const std::string &line, CpuidDump *dump);
// Reads a whole file; on failure error names the file (and line) and says what is wrong.
bool LoadCpuidDump(const std::string &path, CpuidDump *dump, std::string *error);
// Loads the dump's leaves into the simulated processor.
void UseCpuidDump(const CpuidDump &dump);

#endif
