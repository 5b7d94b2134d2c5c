// The probes that read the registry, as a limited account and as an administrator: the
// DirectX row for each shape of its key, the processor's recorded clock rate, and that no
// probe asks for a right to change a key.
#include "app/report_store.h"
#include "app/tarrow.h"
#include "cpu/cpu.h"
#include "probes/probes.h"
#include "support/fake_registry.h"

#include <gtest/gtest.h>

#include <string>

namespace
{

const char directXKey[] = "Software\\Microsoft\\DirectX";
const char processorKey[] = "Hardware\\Description\\System\\CentralProcessor\\0";
const FakeAccount accounts[] = {FakeLimitedAccount, FakeAdministrator};

std::string Details(int row)
{
    char text[ReportTextBufferSize];
    GetReportRowText(row, 1, text);
    return text;
}

class RegistryProbes : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        ClearReport();
        ResetFakeRegistry();
    }
    void TearDown() override
    {
        ClearReport();
        ResetFakeRegistry();
    }
};

TEST_F(RegistryProbes, LimitedAccountIsRefusedWriteRightsOnly)
{
    AddFakeKey(REG_LOCAL_MACHINE, directXKey);
    RegKey key;
    EXPECT_EQ(RegAccessDenied, OpenRegKeyEx(REG_LOCAL_MACHINE, directXKey, 0xF003F, &key));
    EXPECT_EQ(RegOk, OpenRegKeyEx(REG_LOCAL_MACHINE, directXKey, RegKeyRead, &key));
    CloseRegKey(key);
    SetFakeAccount(FakeAdministrator);
    EXPECT_EQ(RegOk, OpenRegKeyEx(REG_LOCAL_MACHINE, directXKey, 0xF003F, &key));
    CloseRegKey(key);
}

TEST_F(RegistryProbes, DirectXRowForEachShapeOfTheKey)
{
    const struct {
        const char *what;
        const char *version; // raw bytes of "Version", NULL for none
        size_t versionLength;
        const char *installed; // raw bytes of "InstalledVersion", NULL for none
        size_t installedLength;
        const char *details;
    } cases[] = {
        {"no key", NULL, 0, NULL, 0, "DirectX"},
        {"empty key", "", 0, NULL, 0, "DirectX"}, // an empty text: no release named
        {"6.1", "4.06.02.0436", 13, NULL, 0, "DirectX 6.1"},
        {"later release", "4.09.00.0904", 13, "\x09", 1, "DirectX"},
        {"no zero", "4.05.01.1721", 12, NULL, 0, "DirectX 5"},
        {"installed only", NULL, 0, "\x03\x00\x00\x00", 4, "DirectX 3"},
        {"installed, no data", NULL, 0, "", 0, "DirectX"},
        {"installed, signed", NULL, 0, "\xFF", 1, "DirectX -1"},
    };
    for (FakeAccount account : accounts) {
        for (const auto &c : cases) {
            ResetFakeRegistry();
            SetFakeAccount(account);
            if (c.version || c.installed)
                AddFakeKey(REG_LOCAL_MACHINE, directXKey);
            if (c.version)
                SetFakeValue(REG_LOCAL_MACHINE, directXKey, "Version",
                             std::string(c.version, c.versionLength));
            if (c.installed)
                SetFakeValue(REG_LOCAL_MACHINE, directXKey, "InstalledVersion",
                             std::string(c.installed, c.installedLength));
            ClearReport();
            AddDirectXRow();
            ASSERT_EQ(1, GetReportRowCount()) << c.what;
            EXPECT_EQ(c.details, Details(0)) << c.what << ", account " << account;
            EXPECT_EQ(0, CountOpenFakeKeys()) << c.what;
        }
    }
}

TEST_F(RegistryProbes, RecordedClockRateTakenAsStored)
{
    const struct {
        const char *what;
        bool key;
        const char *data; // NULL: no value
        size_t length;
        int found;
        const char *speedText;
    } cases[] = {
        {"450 MHz", true, "\xC2\x01\x00\x00", 4, 1, "450"},
        {"zero is a rate", true, "\x00\x00\x00\x00", 4, 1, "0"},
        {"two bytes", true, "\xC2\x01", 2, 1, "450"},
        {"negative", true, "\xFF\xFF\xFF\xFF", 4, 1, "-1"},
        {"eight bytes do not fit", true, "\xC2\x01\x00\x00\x00\x00\x00\x00", 8, 0, "unset"},
        {"no value", true, NULL, 0, 0, "unset"},
        {"no key", false, NULL, 0, 0, "unset"},
    };
    for (FakeAccount account : accounts) {
        for (const auto &c : cases) {
            ResetFakeRegistry();
            SetFakeAccount(account);
            if (c.key)
                AddFakeKey(REG_LOCAL_MACHINE, processorKey);
            if (c.data)
                SetFakeValue(REG_LOCAL_MACHINE, processorKey, "~MHz",
                             std::string(c.data, c.length));
            CpuInfo info;
            InitCpuInfo(&info);
            strcpy(info.speedText, "unset");
            EXPECT_EQ(c.found, ReadRegistryClock(&info)) << c.what << ", account " << account;
            EXPECT_STREQ(c.speedText, info.speedText) << c.what;
            EXPECT_EQ(0, CountOpenFakeKeys()) << c.what;
        }
    }
}

// Every probe that reads the registry, on one machine that has something for each: the same
// rows whoever runs it, and never a right to change a key asked for.
TEST_F(RegistryProbes, NoProbeAsksForWriteRights)
{
    std::string rows[2];
    for (FakeAccount account : accounts) {
        ResetFakeRegistry();
        SetFakeAccount(account);
        SetFakeText(REG_LOCAL_MACHINE, directXKey, "Version", "4.07.00.0700");
        AddFakeKey(REG_LOCAL_MACHINE, "Software\\Ostrand\\Night Harbor");
        AddFakeKey(REG_LOCAL_MACHINE, "Software\\The Kelto Company\\Ember Road");
        AddFakeKey(REG_LOCAL_MACHINE, "Software\\Kelto\\Ember Road 2");
        SetFakeNumber(REG_LOCAL_MACHINE, processorKey, "~MHz", 700);
        SetFakeText(REG_DYN_DATA, "Config Manager\\Enum\\C1", "HardwareKey", "PCI\\ADAPTER");
        SetFakeText(REG_LOCAL_MACHINE, "Enum\\PCI\\ADAPTER", "Class", "Display");
        SetFakeText(REG_LOCAL_MACHINE, "Enum\\PCI\\ADAPTER", "DriverDesc", "Lumen 3D");

        ClearReport();
        AddDirectXRow();
        AddMakerTitleRows();
        CpuInfo info;
        InitCpuInfo(&info);
        ReadRegistryClock(&info);
        AddReportRow("CPU Speed", info.speedText, IconProcessor);
        AddDeviceRows("C:\\WINDOWS", [](const char *, char *text) {
            strcpy(text, "No Version Info");
            return 0;
        });
        for (int row = 0; row < GetReportRowCount(); ++row)
            rows[account] += Details(row) + "|";
        EXPECT_EQ(0, CountFakeWriteRightRequests()) << "account " << account;
        EXPECT_EQ(0, CountOpenFakeKeys());
    }
    EXPECT_EQ("DirectX 7|Night Harbor|Ember Road|Ember Road 2|700|Lumen 3D||No Version Info|",
              rows[FakeLimitedAccount]);
    EXPECT_EQ(rows[FakeLimitedAccount], rows[FakeAdministrator]);
}

} // namespace
