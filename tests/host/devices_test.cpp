// The device walk end to end over the in-memory registry: which devices give rows, in
// which order, and how values of every shape and length come out.
#include "app/report_store.h"
#include "base/tarrow.h"
#include "probes/probes.h"
#include "support/fake_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char classRoot[] = "System\\CurrentControlSet\\Services\\Class\\";

std::vector<std::string> lookedUp;

int FakeVersionLookup(const char *path, char *text)
{
    lookedUp.push_back(path);
    bool known = std::string(path) == "C:\\WINDOWS\\System\\lumen.drv";
    strcpy(text, known ? "4.10.01.2222" : "No Version Info");
    return known;
}

// A present device: its entry in the device list, its hardware key and its driver key.
void AddDevice(const std::string &entry, const std::string &hardwareKey, uint32_t problem,
               const std::string &deviceClass, const std::string &driver,
               const std::string &desc, const std::string &date, const std::string &drv = "")
{
    std::string listed = "Config Manager\\Enum\\" + entry;
    SetFakeText(REG_DYN_DATA, listed, "HardwareKey", hardwareKey);
    SetFakeNumber(REG_DYN_DATA, listed, "Problem", problem);
    SetFakeText(REG_LOCAL_MACHINE, "Enum\\" + hardwareKey, "Class", deviceClass);
    SetFakeText(REG_LOCAL_MACHINE, "Enum\\" + hardwareKey, "Driver", driver);
    SetFakeText(REG_LOCAL_MACHINE, classRoot + driver, "DriverDesc", desc);
    SetFakeText(REG_LOCAL_MACHINE, classRoot + driver, "DriverDate", date);
    if (!drv.empty())
        SetFakeText(REG_LOCAL_MACHINE, classRoot + driver + "\\DEFAULT", "drv", drv);
}

class Devices : public ::testing::Test {
protected:
    void SetUp() override
    {
        ClearReport();
        ResetFakeRegistry();
        lookedUp.clear();
    }
    void TearDown() override
    {
        EXPECT_EQ(0, CountOpenFakeKeys()); // every key closed on every path
        ClearReport();
        ResetFakeRegistry();
    }
    void ExpectRows(const std::vector<std::pair<std::string, std::string>> &expected)
    {
        ASSERT_EQ((int)expected.size(), GetReportRowCount());
        char text[ReportTextBufferSize];
        for (int row = 0; row < GetReportRowCount(); ++row) {
            GetReportRowText(row, 0, text);
            EXPECT_EQ(expected[row].first, text) << row;
            GetReportRowText(row, 1, text);
            EXPECT_EQ(expected[row].second, text) << row;
            EXPECT_EQ(IconVideo, GetReportRowIcon(row)) << row;
        }
    }
};

TEST_F(Devices, ListsPresentAdaptersThenMultimediaWithTheLastDate)
{
    AddDevice("C29A3C40", "PCI\\VEN_10DE\\BUS_01", 0, "Display", "Display\\0000",
              "Lumen 3D Pro", "4-12-1999", "lumen.drv");
    AddDevice("C29A4010", "PCI\\VEN_5333\\BUS_02", 22, "Display", "Display\\0001", "Broken",
              "1-1-1990", "broken.drv");
    AddDevice("C29A4CB0", "ISAPNP\\BRT0001\\0", 0, "DISPLAY", "Display\\0002", "Not this one",
              "1-1-1998", "bright.drv");
    SetFakeText(REG_LOCAL_MACHINE, "Enum\\ISAPNP\\BRT0001\\0", "DriverDesc", "Brightline VGA");
    AddDevice("C29A5000", "PCI\\VEN_8086\\NET", 0, "Net", "Net\\0000", "Some Card", "2-2-1997");
    AddDevice("C29A5A10", "ISAPNP\\SND0001\\0", 0, "Media", "MEDIA\\0000", "Sound One",
              "2-2-1998");
    AddDevice("C29A6000", "ISAPNP\\JOY0001\\0", 0, "media", "MEDIA\\0001", "Game Port",
              "3-3-1998");
    AddDevice("C29A6A00", "ISAPNP\\WAV0001\\0", 0, "MEDIA", "MEDIA\\0002", "Wave Synth",
              "5-5-1999");
    AddDeviceRows("C:\\WINDOWS", FakeVersionLookup);
    ExpectRows({{"Video Adapter", "Lumen 3D Pro"},
                {"Driver Date", "4-12-1999"},
                {"Driver Version", "4.10.01.2222"},
                {"Video Adapter", "Brightline VGA"},
                {"Driver Date", "1-1-1998"},
                {"Driver Version", "No Version Info"},
                {"Multimedia Components", "Sound One"},
                {"Multimedia Components", "Game Port"},
                {"Multimedia Components", "Wave Synth"},
                {"Driver Date", "5-5-1999"}});
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\System\\lumen.drv",
                                        "C:\\WINDOWS\\System\\bright.drv"}),
              lookedUp);
}

TEST_F(Devices, NoDeviceListOrNoMultimediaDeviceGivesNoClosingDate)
{
    AddDeviceRows("C:\\WINDOWS", FakeVersionLookup);
    EXPECT_EQ(0, GetReportRowCount());
    AddDevice("0001", "PCI\\A", 0, "Display", "Display\\0000", "Lumen", "4-12-1999");
    AddDeviceRows("C:\\WINDOWS", FakeVersionLookup);
    ExpectRows({{"Video Adapter", "Lumen"},
                {"Driver Date", "4-12-1999"},
                {"Driver Version", "No Version Info"}}); // no "drv": the bare system folder
    EXPECT_EQ(std::vector<std::string>{"C:\\WINDOWS\\System\\"}, lookedUp);
}

// Values of every shape read through QueryDeviceValue from the driver key.
TEST_F(Devices, ValuesAreCutAtTheBufferAndAlwaysTerminated)
{
    const struct {
        std::string stored;
        int outSize;
        std::string text;
    } cases[] = {
        {std::string("Lumen\0", 6), 260, "Lumen"},
        {"Lumen", 260, "Lumen"}, // no zero of its own
        {std::string(600, 'x') + '\0', 260, std::string(259, 'x')},
        {std::string(260, 'y'), 260, std::string(259, 'y')},
        {std::string(259, 'z') + '\0', 260, std::string(259, 'z')},
        {std::string("\x01\x02\0\x03", 4), 260, "\x01\x02"}, // binary data
        {"", 260, ""},
        {std::string("abcdef\0", 7), 4, "abc"},
    };
    AddDevice("0001", "PCI\\A", 0, "Display", "Display\\0000", "", "");
    for (bool junk : {false, true}) { // Windows may leave junk in a buffer it found too short
        SetFakeJunkOnMoreData(junk);
        for (const auto &c : cases) {
            SetFakeValue(REG_LOCAL_MACHINE, std::string(classRoot) + "Display\\0000",
                         "DriverDesc", c.stored);
            std::vector<char> out(c.outSize + 16, '#');
            EXPECT_EQ(1, QueryDeviceValue("Enum\\PCI\\A", NULL, "DriverDesc", out.data(),
                                          c.outSize));
            EXPECT_EQ(c.text, out.data()) << "junk " << junk;
            EXPECT_EQ('#', out[c.outSize]) << "written past the buffer";
        }
    }
    char out[260] = "old";
    EXPECT_EQ(0, QueryDeviceValue("Enum\\PCI\\A", NULL, "Missing", out, sizeof out));
    EXPECT_STREQ("", out);
}

TEST_F(Devices, ProblemCodeOfAnyLength)
{
    const struct {
        std::string problem;
        bool listed;
    } cases[] = {
        {std::string("\0", 1), true},
        {std::string("\0\0\0\0\x01\0\0\0", 8), true}, // first four bytes count
        {std::string("\x16\0\0\0", 4), false},
        {std::string("\0\x01", 2), false},
    };
    char deviceKey[DeviceKeySize];
    AddDevice("0001", "PCI\\A", 0, "Display", "Display\\0000", "Lumen", "");
    for (const auto &c : cases) {
        SetFakeValue(REG_DYN_DATA, "Config Manager\\Enum\\0001", "Problem", c.problem);
        EXPECT_EQ(c.listed ? 1 : 0, FindPresentDevice(0, "display", deviceKey));
    }
    EXPECT_STREQ("Enum\\PCI\\A", deviceKey);
}

// Paths that do not fit their buffers are never used cut: a cut path names another key.
TEST_F(Devices, OverlongPathsAreNotOpenedCut)
{
    std::string longHardware(300, 'h'), driver218(218, 'd'), longDrv(300, 'f');
    AddDevice("0001", longHardware, 0, "Display", "Display\\0000", "Hidden", "");
    AddDevice("0002", "PCI\\B", 0, "Display", driver218, "Fits", "1-1-1999", "lumen.drv");
    AddDevice("0003", "PCI\\C", 0, "Display", "Display\\0003", "Long drv", "", longDrv);
    AddDeviceRows("C:\\WINDOWS", FakeVersionLookup);
    ExpectRows({{"Video Adapter", "Fits"},
                {"Driver Date", "1-1-1999"},
                {"Driver Version", "No Version Info"}, // driver path + "\DEFAULT" too long
                {"Video Adapter", "Long drv"},
                {"Driver Date", ""},
                {"Driver Version", "No Version Info"}});
    EXPECT_EQ((std::vector<std::string>{"C:\\WINDOWS\\System\\", ""}), lookedUp);
}

} // namespace
