// The maker's titles: the case-sensitive skip list, the duplicate test against the whole
// report (A-Z folded only), key order and registry views, and subkey names longer or
// shorter than the key reported.
#include "app/report_store.h"
#include "base/tarrow.h"
#include "probes/probes.h"
#include "support/fake_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(TitleSkipList, MatchesFragmentsCaseSensitively)
{
    const struct {
        const char *name;
        bool skipped;
    } cases[] = {
        {"Tallowick", true},        {"The Tallowick Saga", true}, {"Gold Tallowick", true},
        {"tallowick", false},       {"TALLOWICK", false},         {"Tallo wick", false},
        {"Quillmere Deluxe", true}, {"quillmere", false},         {"", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(c.skipped, IsSkippedTitle(c.name)) << c.name;
}

class Titles : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearReport();
        ResetFakeRegistry();
    }
    void TearDown() override
    {
        EXPECT_EQ(0, CountOpenFakeKeys());
        ClearReport();
        ResetFakeRegistry();
    }
    std::vector<std::string> TitleRows()
    {
        std::vector<std::string> titles;
        char text[ReportTextBufferSize];
        for (int row = 0; row < GetReportRowCount(); ++row) {
            GetReportRowText(row, 0, text);
            if (std::string(text) != "Kelto Title")
                continue;
            EXPECT_EQ(IconTitles, GetReportRowIcon(row));
            GetReportRowText(row, 1, text);
            titles.push_back(text);
        }
        return titles;
    }
};

TEST_F(Titles, KeyOrderSkipListAndDuplicatesOfAnyRow)
{
    AddReportRow("Operating System", "Windows 98 v4.10.2222", IconOs);
    const char *const keys[][2] = {
        {"Software\\Ostrand", "Night Harbor"},
        {"Software\\Ostrand", "Tallowick"},
        {"Software\\Ostrand", "Caf\xC9"},
        {"Software\\The Kelto Company", "Quillmere Deluxe"},
        {"Software\\The Kelto Company", "WINDOWS 98 v4.10.2222"},
        {"Software\\The Kelto Company", "Ember Road"},
        {"Software\\The Kelto Company", "tallowick"},
        {"Software\\Kelto", "NIGHT HARBOR"},
        {"Software\\Kelto", "Ember Road 2"},
        {"Software\\Kelto", "caf\xE9"}, // only A-Z fold: a title of its own
    };
    // The maker keys are made in reverse order: the rows' order comes from the walk alone.
    AddFakeKey(REG_LOCAL_MACHINE, "Software\\Kelto");
    AddFakeKey(REG_LOCAL_MACHINE, "Software\\The Kelto Company");
    for (const auto &key : keys)
        AddFakeKey(REG_LOCAL_MACHINE, std::string(key[0]) + "\\" + key[1]);
    AddMakerTitleRows();
    std::vector<std::string> titles = {"Night Harbor", "Caf\xC9", "Ember Road", "tallowick",
                                       "Ember Road 2", "caf\xE9"};
    EXPECT_EQ(titles, TitleRows());

    // Under WoW64 the native view is walked next, in key order, by the same tests.
    AddFakeKey(FAKE_NATIVE_LOCAL_MACHINE, "Software\\Kelto\\Salt Marsh");
    AddFakeKey(FAKE_NATIVE_LOCAL_MACHINE, "Software\\Ostrand\\EMBER ROAD");
    AddFakeKey(FAKE_NATIVE_LOCAL_MACHINE, "Software\\Ostrand\\Tallowick Gold");
    AddFakeKey(FAKE_NATIVE_LOCAL_MACHINE, "Software\\The Kelto Company\\Tide Line");
    SetFakeWow64(true);
    ClearReport();
    AddReportRow("Operating System", "Windows 98 v4.10.2222", IconOs);
    AddMakerTitleRows();
    titles.insert(titles.end(), {"Tide Line", "Salt Marsh"});
    EXPECT_EQ(titles, TitleRows());
    EXPECT_EQ(3, CountFakeNativeViewRequests());
}

// One 64-bit Windows read by tarrow.exe under WoW64 and by tarrow64.exe: the same titles in
// the same order, the 32-bit view's first, each asking for the other view by its own bit.
// A 64-bit Windows without WoW64 has no 32-bit view to find.
TEST_F(Titles, BothProgramsListTheSameTitlesFromBothViews)
{
    const char *const view32[] = {"Ostrand\\Night Harbor", "Ostrand\\Tallowick",
                                  "Kelto\\Ember Road"};
    const char *const view64[] = {"Ostrand\\EMBER ROAD", "The Kelto Company\\Tide Line",
                                  "Kelto\\Salt Marsh", "Kelto\\night harbor"};
    const struct {
        bool program64, hasView32;
        std::vector<std::string> titles;
        int requests32, requests64; // opens that asked for the other view by its bit
    } cases[] = {
        {false, true, {"Night Harbor", "Ember Road", "Tide Line", "Salt Marsh"}, 0, 3},
        {true, true, {"Night Harbor", "Ember Road", "Tide Line", "Salt Marsh"}, 3, 0},
        {true, false, {"EMBER ROAD", "Tide Line", "Salt Marsh", "night harbor"}, 3, 0},
    };
    for (const auto &c : cases) {
        ResetFakeRegistry();
        ClearReport();
        if (c.hasView32)
            for (const char *key : view32)
                AddFakeKey(REG_LOCAL_MACHINE, std::string("Software\\") + key);
        for (const char *key : view64)
            AddFakeKey(FAKE_NATIVE_LOCAL_MACHINE, std::string("Software\\") + key);
        SetFakeWow64(!c.program64);
        SetFake64BitProgram(c.program64);
        AddMakerTitleRows();
        EXPECT_EQ(c.titles, TitleRows()) << c.program64 << c.hasView32;
        EXPECT_EQ(c.requests32, CountFake32BitViewRequests()) << c.program64 << c.hasView32;
        EXPECT_EQ(c.requests64, CountFakeNativeViewRequests()) << c.program64 << c.hasView32;
    }
}

TEST_F(Titles, NamesLongerThanTheReportedLongestAreKept)
{
    const std::vector<std::string> names = {"A", std::string(40, 'b'), "Cc",
                                            std::string(255, 'd')};
    for (const std::string &name : names)
        AddFakeKey(REG_LOCAL_MACHINE, "Software\\Kelto\\" + name);
    // Understated and overstated longest names; the last wraps round to one short.
    const unsigned long skews[][2] = {{1, 0}, {39, 0}, {300, 0}, {0, 5000}, {0, ~0ul}};
    SetFakeJunkOnMoreData(true);
    for (const auto &skew : skews) {
        ClearReport();
        UnderstateFakeLongestSubKey(skew[0]);
        OverstateFakeLongestSubKey(skew[1]);
        AddMakerTitleRows();
        std::vector<std::string> expected = names;
        expected.back().resize(254); // the report reads back 254 characters
        EXPECT_EQ(expected, TitleRows()) << skew[0] << ", " << skew[1];
    }
}

} // namespace
