// Reading recorded CPUID dumps into the simulated processor.
#include "cpuid_dump.h"
#include "simulated_cpu.h"

#include <fstream>

static bool ParseHex8(const std::string &text, size_t at, uint32_t *value)
{
    if (at + 8 > text.size())
        return false;
    uint32_t result = 0;
    for (size_t i = at; i < at + 8; ++i) {
        char c = text[i];
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return false;
        result = (result << 4) | (uint32_t)digit;
    }
    *value = result;
    return true;
}

static std::string TrimRight(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.pop_back();
    return text;
}

bool ParseCpuidDumpLine(const std::string &rawLine, CpuidDump *dump)
{
    std::string line = TrimRight(rawLine);
    if (line.empty())
        return true;
    if (line[0] == '#') {
        static const std::string expectTag = "# expect: ";
        if (line.compare(0, expectTag.size(), expectTag) == 0)
            dump->expect = line.substr(expectTag.size());
        return true;
    }
    // CPUID LLLLLLLL: AAAAAAAA-BBBBBBBB-CCCCCCCC-DDDDDDDD
    if (line.size() != 6 + 8 + 2 + 4 * 8 + 3 || line.compare(0, 6, "CPUID ") != 0 ||
        line.compare(14, 2, ": ") != 0 || line[24] != '-' || line[33] != '-' || line[42] != '-')
        return false;
    uint32_t leaf;
    CpuidRegisters r;
    if (!ParseHex8(line, 6, &leaf) || !ParseHex8(line, 16, &r.eax) ||
        !ParseHex8(line, 25, &r.ebx) || !ParseHex8(line, 34, &r.ecx) ||
        !ParseHex8(line, 43, &r.edx))
        return false;
    dump->leaves[leaf] = r;
    return true;
}

bool LoadCpuidDump(const std::string &path, CpuidDump *dump, std::string *error)
{
    std::ifstream file(path.c_str());
    if (!file) {
        *error = path + ": cannot be opened";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(file, line); ++number) {
        if (!ParseCpuidDumpLine(line, dump)) {
            *error = path + ":" + std::to_string(number) + ": not a CPUID line: " + TrimRight(line);
            return false;
        }
    }
    return true;
}

void UseCpuidDump(const CpuidDump &dump)
{
    simulatedCpu.leaves = dump.leaves;
}
