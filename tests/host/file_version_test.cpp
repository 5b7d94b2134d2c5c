// Choosing the product version among a file's string tables, and cutting long values.
#include "probes/probes.h"
#include "probes/version_table.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char *const key1252 = "\\StringFileInfo\\040904E4\\ProductVersion";
const char *const key1200 = "\\StringFileInfo\\040904B0\\ProductVersion";

const VersionTableEntry versionTable[] = {
    {"both.dll", key1200, "1200 table"},
    {"both.dll", key1252, "1252 table"},
    {"only1200.dll", key1200, "3.10.00.0466 "},
    {"only1252.dll", key1252, "2.53, beta"},
    {"german.dll", "\\StringFileInfo\\040704E4\\ProductVersion", "1.0"},
    {"noproduct.dll", "\\StringFileInfo\\040904E4\\FileVersion", "1.0"},
};

TEST(GetFileProductVersion, CodePage1252FirstThen1200)
{
    SetVersionTable(versionTable, sizeof versionTable / sizeof versionTable[0]);
    const struct {
        const char *path;
        int found;
        const char *text;
    } cases[] = {
        {"both.dll", 1, "1252 table"},
        {"only1200.dll", 1, "3.10.00.0466 "}, // copied as stored
        {"only1252.dll", 1, "2.53, beta"},
        {"german.dll", 0, "No Version Info"},
        {"noproduct.dll", 0, "No Version Info"},
        {"missing.dll", 0, "No Version Info"},
    };
    for (const auto &c : cases) {
        char text[260];
        EXPECT_EQ(c.found, GetFileProductVersion(c.path, text)) << c.path;
        EXPECT_STREQ(c.text, text) << c.path;
    }
    SetVersionTable(NULL, 0);
}

// A value of span bytes with no zero of its own.
bool QueryUnterminated(const void *resource, const char *, const char **value, size_t *span)
{
    *value = (const char *)resource;
    *span = 4;
    return true;
}

TEST(PickProductVersion, StaysInsideTheValueAndTheBuffer)
{
    const char unterminated[] = {'1', '.', '0', '5', '!', '!'};
    char text[260];
    memset(text, 'x', sizeof text);
    EXPECT_EQ(1, PickProductVersion(QueryUnterminated, unterminated, text, sizeof text));
    EXPECT_STREQ("1.05", text);

    std::string longVersion(600, '9');
    const VersionTableEntry longEntry[] = {{"long.dll", key1252, longVersion.c_str()}};
    SetVersionTable(longEntry, 1);
    EXPECT_EQ(1, GetFileProductVersion("long.dll", text));
    EXPECT_EQ(std::string(259, '9'), text);
    SetVersionTable(NULL, 0);
}

} // namespace
