// The probes that read the registry, as a limited account and as an administrator: the
// DirectX row for each shape of its key, the processor's recorded clock rate, that no
// probe asks for a right to change a key, and every probe over keys that change under it.
#include "app/report_store.h"
#include "base/tarrow.h"
#include "cpu/cpu.h"
#include "probes/probes.h"
#include "support/fake_registry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
        int32_t mhz; // the figure the registry route returns; 12345 stays when it has none
    } cases[] = {
        {"450 MHz", true, "\xC2\x01\x00\x00", 4, 1, "450", 450},
        {"zero is a rate", true, "\x00\x00\x00\x00", 4, 1, "0", 0},
        {"two bytes", true, "\xC2\x01", 2, 1, "450", 450},
        {"negative", true, "\xFF\xFF\xFF\xFF", 4, 1, "-1", -1},
        {"eight bytes do not fit", true, "\xC2\x01\x00\x00\x00\x00\x00\x00", 8, 0, "unset",
         12345},
        {"no value", true, NULL, 0, 0, "unset", 12345},
        {"no key", false, NULL, 0, 0, "unset", 12345},
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
            info.speedMhz = 12345;
            EXPECT_EQ(c.found, ReadRegistryClock(&info)) << c.what << ", account " << account;
            EXPECT_STREQ(c.speedText, info.speedText) << c.what;
            EXPECT_EQ(c.mhz, info.speedMhz) << c.what;
            EXPECT_EQ(0, CountOpenFakeKeys()) << c.what;

            // The registry route alone: its figure, or nothing written.
            int32_t mhz = 12345;
            EXPECT_EQ(c.found, ReadRegistryClockMhz(&mhz)) << c.what;
            EXPECT_EQ(c.mhz, mhz) << c.what;
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
        EXPECT_EQ(0, CountFakeNativeViewRequests()) << "a 32-bit Windows has no other view";
        EXPECT_EQ(0, CountOpenFakeKeys());
    }
    EXPECT_EQ("DirectX 7|Night Harbor|Ember Road|Ember Road 2|700|Lumen 3D||No Version Info|",
              rows[FakeLimitedAccount]);
    EXPECT_EQ(rows[FakeLimitedAccount], rows[FakeAdministrator]);
}

TEST_F(RegistryProbes, HandlesOnADeletedKeyAnswerKeyDeleted)
{
    SetFakeText(REG_LOCAL_MACHINE, "A\\B\\C", "Value", "text");
    SetFakeText(REG_LOCAL_MACHINE, "A\\B", "Value", "text");
    RegKey a, b, c;
    OpenRegKey(REG_LOCAL_MACHINE, "A", &a);
    OpenRegKey(REG_LOCAL_MACHINE, "A\\B", &b);
    OpenRegKey(REG_LOCAL_MACHINE, "A\\B\\C", &c);
    DeleteFakeKey(a, "B");
    char name[16];
    unsigned long size = sizeof name, longest;
    RegKey other;
    EXPECT_EQ(RegNoMoreItems, EnumRegKey(a, 0, name, sizeof name));
    EXPECT_EQ(RegFileNotFound, OpenRegKey(REG_LOCAL_MACHINE, "A\\B\\C", &other));
    for (RegKey gone : {b, c}) {
        EXPECT_EQ(FakeKeyDeleted, QueryRegValueEx(gone, "Value", NULL, &size));
        EXPECT_EQ(FakeKeyDeleted, EnumRegKey(gone, 0, name, sizeof name));
        EXPECT_EQ(FakeKeyDeleted, EnumRegKeyEx(gone, 0, name, &size));
        EXPECT_EQ(FakeKeyDeleted, QueryRegInfoKey(gone, &longest));
        EXPECT_EQ(FakeKeyDeleted, OpenRegKey(gone, "", &other));
        EXPECT_EQ(RegOk, CloseRegKey(gone));
    }
    CloseRegKey(a);
    DeleteFakeKey(REG_LOCAL_MACHINE, ""); // a root is emptied
    EXPECT_EQ(RegFileNotFound, OpenRegKey(REG_LOCAL_MACHINE, "A", &a));
}

TEST_F(RegistryProbes, JunkIsLeftOnlyInBuffersAnsweredMoreData)
{
    SetFakeText(REG_LOCAL_MACHINE, "Key\\Longer name", "Value", "four");
    RegKey key;
    OpenRegKey(REG_LOCAL_MACHINE, "Key", &key);
    SetFakeJunkOnMoreData(true);
    char buffer[8];
    unsigned long size = 3;
    memset(buffer, 0, sizeof buffer);
    EXPECT_EQ(RegMoreData, EnumRegKeyEx(key, 0, buffer, &size));
    EXPECT_EQ(std::string(3, '\xA5') + std::string(5, '\0'), std::string(buffer, 8));
    CloseRegKey(key);
    OpenRegKey(REG_LOCAL_MACHINE, "Key\\Longer name", &key);
    size = 4;
    EXPECT_EQ(RegMoreData, QueryRegValueEx(key, "Value", (unsigned char *)buffer, &size));
    EXPECT_EQ(5ul, size);
    EXPECT_EQ(std::string(4, '\xA5') + std::string(4, '\0'), std::string(buffer, 8));
    EXPECT_EQ(RegOk, QueryRegValueEx(key, "Value", (unsigned char *)buffer, &size));
    EXPECT_EQ(std::string("four\0", 5) + std::string(3, '\0'), std::string(buffer, 8));
    CloseRegKey(key);
}

// A change made by the hook at the first call of one kind on one key.
struct Change {
    FakeCallKind after;
    const char *onKey; // the path opened, NULL for any key
    void (*change)(const FakeCall &call);
};
const Change *pending = NULL;
std::string lastOpened;

void ChangeOnce(const FakeCall &call)
{
    if (call.kind == FakeOpenCall && call.status == RegOk)
        lastOpened = call.name;
    if (!pending || call.kind != pending->after || call.status != RegOk ||
        (pending->onKey && lastOpened != pending->onKey))
        return;
    const Change *change = pending;
    pending = NULL;
    change->change(call);
}

void DeleteTheKey(const FakeCall &call)
{
    DeleteFakeKey(call.key, "");
}

void DeleteFirstSubKey(const FakeCall &call)
{
    DeleteFakeSubKey(call.key, 0);
}

void AddLongSubKey(const FakeCall &call)
{
    AddFakeKey(call.key, std::string(200, 'L'));
}

void GrowTheValue(const FakeCall &call)
{
    SetFakeValue(call.key, "", call.name, "4.07.00.0700" + std::string(500, ' '));
}

void ShrinkTheValue(const FakeCall &call)
{
    SetFakeText(call.key, "", call.name, "4.06.02.0436");
}

// Each probe over a key that changes between two of its calls: deleted after the count or
// the open, a subkey gone or added, a value longer, shorter or empty by the time it is read.
TEST_F(RegistryProbes, EveryProbeOverKeysThatChangeUnderTheWalk)
{
    const struct {
        const char *what;
        Change change;
        std::string rows; // details of the rows, each followed by "|"
    } cases[] = {
        {"no change",
         {FakeOpenCall, "nothing", DeleteTheKey},
         "DirectX|Night Harbor|Ember Road|Lumen|1-1-1999|No Version Info|450|"},
        {"maker key deleted after its count",
         {FakeQueryInfoCall, "Software\\Ostrand", DeleteTheKey},
         "DirectX|Ember Road|Lumen|1-1-1999|No Version Info|450|"},
        {"first title deleted after the count",
         {FakeQueryInfoCall, "Software\\Kelto", DeleteFirstSubKey},
         "DirectX|Night Harbor|Lumen|1-1-1999|No Version Info|450|"},
        {"longer title added after the count",
         {FakeQueryInfoCall, "Software\\Kelto", AddLongSubKey},
         "DirectX|Night Harbor|Ember Road|" + std::string(200, 'L') +
             "|Lumen|1-1-1999|No Version Info|450|"},
        {"version longer than its size",
         {FakeQueryValueCall, directXKey, GrowTheValue},
         "DirectX|Night Harbor|Ember Road|Lumen|1-1-1999|No Version Info|450|"},
        {"version shorter than its size",
         {FakeQueryValueCall, directXKey, ShrinkTheValue},
         "DirectX 6.1|Night Harbor|Ember Road|Lumen|1-1-1999|No Version Info|450|"},
        {"device list deleted after the open",
         {FakeOpenCall, "Config Manager\\Enum", DeleteTheKey},
         "DirectX|Night Harbor|Ember Road|450|"},
        {"driver key deleted after the open",
         {FakeOpenCall, "System\\CurrentControlSet\\Services\\Class\\Display\\0000", DeleteTheKey},
         "DirectX|Night Harbor|Ember Road|Lumen||No Version Info|450|"},
        {"processor key deleted after the open",
         {FakeOpenCall, processorKey, DeleteTheKey},
         "DirectX|Night Harbor|Ember Road|Lumen|1-1-1999|No Version Info|unset|"},
    };
    for (const auto &c : cases) {
        ResetFakeRegistry();
        SetFakeJunkOnMoreData(true);
        SetFakeValue(REG_LOCAL_MACHINE, directXKey, "Version", std::string(300, '4'));
        AddFakeKey(REG_LOCAL_MACHINE, "Software\\Ostrand\\Night Harbor");
        AddFakeKey(REG_LOCAL_MACHINE, "Software\\Kelto\\Ember Road");
        SetFakeNumber(REG_LOCAL_MACHINE, processorKey, "~MHz", 450);
        SetFakeText(REG_DYN_DATA, "Config Manager\\Enum\\C1", "HardwareKey", "PCI\\ADAPTER");
        SetFakeText(REG_LOCAL_MACHINE, "Enum\\PCI\\ADAPTER", "Class", "Display");
        SetFakeText(REG_LOCAL_MACHINE, "Enum\\PCI\\ADAPTER", "Driver", "Display\\0000");
        SetFakeText(REG_LOCAL_MACHINE, "Enum\\PCI\\ADAPTER", "DriverDesc", "Lumen");
        SetFakeText(REG_LOCAL_MACHINE, "System\\CurrentControlSet\\Services\\Class\\Display\\0000",
                    "DriverDate", "1-1-1999");
        pending = &c.change;
        lastOpened.clear();
        SetFakeCallHook(ChangeOnce);

        ClearReport();
        AddDirectXRow();
        AddMakerTitleRows();
        AddDeviceRows("C:\\WINDOWS", [](const char *, char *text) {
            strcpy(text, "No Version Info");
            return 0;
        });
        CpuInfo info;
        InitCpuInfo(&info);
        strcpy(info.speedText, "unset");
        ReadRegistryClock(&info);
        AddReportRow("CPU Speed", info.speedText, IconProcessor);
        std::string rows;
        for (int row = 0; row < GetReportRowCount(); ++row)
            rows += Details(row) + "|";
        EXPECT_EQ(c.rows, rows) << c.what;
        EXPECT_EQ(0, CountOpenFakeKeys()) << c.what;
        EXPECT_EQ(c.change.onKey == std::string("nothing"), pending != NULL) << c.what;
    }
}

} // namespace
