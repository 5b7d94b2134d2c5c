// The registry-fuzz run: each registry-driven probe over each random registry, the registry
// changing under the walk now and then, and after each call the rules it must keep.
#include "registry_fuzz.h"
#include "fake_registry.h"

#include "app/report_store.h"
#include "base/tarrow.h"
#include "base/text.h"
#include "cpu/cpu.h"
#include "probes/probes.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <vector>

namespace
{

// What the change hook works from during one probe call.
FuzzRun *changing = nullptr;
unsigned long callsMade = 0;
bool overBudget = false;

// After a call has been answered the registry now and then changes: the key just counted
// is deleted or gains a subkey, a value just asked for grows, shrinks or goes, a key just
// opened or enumerated vanishes.
void ChangeRegistry(const FakeCall &call)
{
    if (++callsMade > changing->callBudget) {
        if (!overBudget) {
            overBudget = true;
            DeleteFakeKey(REG_LOCAL_MACHINE, "");
            DeleteFakeKey(REG_DYN_DATA, "");
        }
        if (callsMade > 2 * changing->callBudget) {
            fprintf(stderr, "registry-fuzz: a probe walks an empty registry without end\n");
            abort();
        }
        return;
    }
    if (call.status != RegOk || !changing->random.Chance(changing->changePercent))
        return;
    Random &random = changing->random;
    switch (call.kind) {
    case FakeQueryInfoCall: // between the count and the enumeration
        switch (random.Below(4)) {
        case 0:
            DeleteFakeKey(call.key, "");
            break;
        case 1:
            DeleteFakeSubKey(call.key, random.Below(4));
            break;
        case 2:
            AddFakeKey(call.key, RandomKeyName(random));
            break;
        default:
            OverstateFakeLongestSubKey(random.Chance(50) ? random.Below(2000)
                                                         : (unsigned long)random.Next());
            break;
        }
        break;
    case FakeQueryValueCall: // between the size query and the read
        if (random.Chance(25))
            DeleteFakeValue(call.key, call.name ? call.name : "");
        else
            SetFakeValue(call.key, "", call.name ? call.name : "", RandomValue(random));
        break;
    case FakeEnumCall:
        DeleteFakeKey(call.key, random.Chance(50) && call.name ? call.name : "");
        break;
    case FakeOpenCall:
        DeleteFakeKey(call.key, "");
        break;
    }
}

struct RowText {
    std::string label;
    std::string details;
    ReportIcon icon;
};

// The rows from `first` on as the report reads them back; a text read back without its
// zero is a fault.
std::vector<RowText> ReadRows(int first, std::string *fault)
{
    std::vector<RowText> rows;
    for (int row = first; row < GetReportRowCount(); ++row) {
        std::string texts[2];
        for (int column = 0; column < 2; ++column) {
            char buffer[ReportTextBufferSize];
            memset(buffer, 0x7F, sizeof buffer);
            GetReportRowText(row, column, buffer);
            if (!memchr(buffer, '\0', sizeof buffer)) {
                *fault = "row " + std::to_string(row) + " reads back without its zero";
                return rows;
            }
            texts[column] = buffer;
        }
        rows.push_back(RowText{texts[0], texts[1], GetReportRowIcon(row)});
    }
    return rows;
}

void CheckLabels(const FuzzProbe &probe, const std::vector<RowText> &rows, std::string *fault)
{
    for (const RowText &row : rows) {
        bool known = false;
        for (int i = 0; probe.labels[i]; ++i)
            known = known || row.label == probe.labels[i];
        if (!known || row.icon != probe.icon)
            *fault = "row \"" + row.label + "\" with icon " + std::to_string(row.icon);
    }
}

const char *const directXLabels[] = {"DirectX Version", NULL};
const char *const titleLabels[] = {"Kelto Title", NULL};
const char *const deviceLabels[] = {"Video Adapter", "Driver Date", "Driver Version",
                                    "Multimedia Components", NULL};
const char *const noLabels[] = {NULL};

void CallDirectX(FuzzRun &, std::string *fault)
{
    int first = GetReportRowCount();
    AddDirectXRow();
    std::vector<RowText> rows = ReadRows(first, fault);
    if (!fault->empty())
        return;
    if (rows.size() != 1)
        *fault = "added " + std::to_string(rows.size()) + " rows";
    else if (rows[0].details.compare(0, 7, "DirectX") != 0)
        *fault = "details \"" + rows[0].details + "\"";
}

// Titles are never empty, never on the skip list, and never a second row with the details
// of an earlier one (where both read back whole: the report keeps 254 characters).
void CallTitles(FuzzRun &, std::string *fault)
{
    size_t first = GetReportRowCount();
    AddMakerTitleRows();
    std::vector<RowText> all = ReadRows(0, fault);
    if (!fault->empty())
        return;
    const size_t whole = ReportTextBufferSize - 1;
    for (size_t i = first; i < all.size(); ++i) {
        const std::string &title = all[i].details;
        if (title.empty() || IsSkippedTitle(title.c_str())) {
            *fault = "title \"" + title + "\"";
            return;
        }
        for (size_t j = 0; j < i && title.size() < whole; ++j)
            if (all[j].details.size() < whole &&
                EqualsIgnoringAsciiCase(all[j].details.c_str(), title.c_str())) {
                *fault = "title \"" + title + "\" repeats row " + std::to_string(j);
                return;
            }
    }
}

void CallClock(FuzzRun &, std::string *fault)
{
    CpuInfo info;
    InitCpuInfo(&info);
    strcpy(info.speedText, "unset");
    info.speedMhz = -7;
    int found = ReadRegistryClock(&info);
    char expected[SpeedTextSize];
    snprintf(expected, sizeof expected, "%ld", (long)info.speedMhz);
    if (found == 0 && (info.speedMhz != -7 || strcmp(info.speedText, "unset") != 0))
        *fault = "nothing found, yet the speed became " + std::string(info.speedText);
    else if (found == 1 && strcmp(info.speedText, expected) != 0)
        *fault = "speed text \"" + std::string(info.speedText) + "\" for " + expected;
    else if (found != 0 && found != 1)
        *fault = "returned " + std::to_string(found);
}

// The file version lookup the device rows call: it notes the path and fills the text as
// far as the probe says it may.
Random *lookupRandom = nullptr;
std::vector<std::string> lookedUp;

int FuzzVersionLookup(const char *path, char *text)
{
    size_t length = strnlen(path, TextBufferSize);
    lookedUp.push_back(length < TextBufferSize ? path : "(no zero within the buffer)");
    size_t written = lookupRandom->Below(TextBufferSize);
    memset(text, 'v', written);
    text[written] = '\0';
    return 1;
}

std::string RandomWindowsDirectory(Random &random)
{
    switch (random.Below(5)) {
    case 0:
        return "";
    case 1:
        return RandomText(random, random.Below(TextBufferSize));
    case 2: // the longest that leaves room for "\System\"
        return "C:\\" + std::string(TextBufferSize - 12 - random.Below(3), 'w');
    default:
        return "C:\\WINDOWS";
    }
}

// The rows come as (Video Adapter, Driver Date, Driver Version) per adapter, then one
// Multimedia Components per multimedia device and one Driver Date after them; each adapter
// looks its driver file up once, by a whole path in the system folder or by none.
void CallDevices(FuzzRun &run, std::string *fault)
{
    std::string windows = RandomWindowsDirectory(run.random);
    std::string systemDirectory = windows + "\\System\\";
    lookupRandom = &run.random;
    lookedUp.clear();
    int first = GetReportRowCount();
    AddDeviceRows(windows.c_str(), FuzzVersionLookup);
    std::vector<RowText> rows = ReadRows(first, fault);
    if (!fault->empty())
        return;
    size_t at = 0, adapters = 0, media = 0;
    while (at + 2 < rows.size() && rows[at].label == "Video Adapter" &&
           rows[at + 1].label == "Driver Date" && rows[at + 2].label == "Driver Version") {
        at += 3;
        ++adapters;
    }
    for (; at < rows.size() && rows[at].label == "Multimedia Components"; ++at)
        ++media;
    if (media > 0 && at < rows.size() && rows[at].label == "Driver Date")
        ++at;
    else if (media > 0)
        *fault = "multimedia rows without their closing date";
    if (at < rows.size())
        *fault = "row " + std::to_string(first + at) + " \"" + rows[at].label + "\" out of order";
    if (lookedUp.size() != adapters)
        *fault = std::to_string(lookedUp.size()) + " lookups for " + std::to_string(adapters) +
                 " adapters";
    for (const std::string &path : lookedUp) {
        bool whole = windows.size() > 0 && systemDirectory.size() < TextBufferSize &&
                     path.compare(0, systemDirectory.size(), systemDirectory) == 0;
        if (!path.empty() && !whole)
            *fault = "driver file looked up as \"" + path + "\"";
    }
}

// FindPresentDevice and QueryDeviceValue with odd arguments: any class, any n, any path,
// buffers exactly as long as said (so that the sanitizer sees one byte too many).
void CallDeviceLookup(FuzzRun &run, std::string *fault)
{
    static const char *const classes[] = {NULL, "Display", "Media", "display", ""};
    static const char *const valueNames[] = {"DriverDesc", "DriverDate", "drv", "Class", "Driver"};
    Random &random = run.random;
    std::string randomClass = RandomKeyName(random);
    const char *className = random.Chance(80) ? classes[random.Below(5)] : randomClass.c_str();
    std::vector<char> deviceKey(DeviceKeySize, '\x7F');
    int found = FindPresentDevice((int)random.Below(4), className, deviceKey.data());
    std::string key;
    if (found == 1) {
        if (!memchr(deviceKey.data(), '\0', DeviceKeySize)) {
            *fault = "device key without its zero";
            return;
        }
        key = deviceKey.data();
        if (key.compare(0, 5, "Enum\\") != 0 || key.size() == 5) {
            *fault = "device key \"" + key + "\"";
            return;
        }
    } else if (found != 0) {
        *fault = "FindPresentDevice returned " + std::to_string(found);
        return;
    } else if (!run.made.hardwareKeys.empty() && random.Chance(70)) {
        key =
            CaseVariant(random, run.made.hardwareKeys[random.Below(run.made.hardwareKeys.size())]);
    } else {
        key = "Enum\\" + RandomKeyName(random);
    }

    std::string subKey = random.Chance(50) ? "DEFAULT" : RandomKeyName(random);
    std::string valueName =
        random.Chance(80) ? valueNames[random.Below(5)] : RandomValueName(random);
    int outSize = random.Chance(5) ? -(int)random.Below(3) : (int)random.Below(300);
    std::vector<char> out(outSize > 0 ? outSize : 0);
    char untouched = 'u';
    char *buffer = outSize > 0 ? out.data() : &untouched;
    int got = QueryDeviceValue(key.c_str(), random.Chance(50) ? NULL : subKey.c_str(),
                               valueName.c_str(), buffer, outSize);
    if (outSize <= 0 && (got != 0 || untouched != 'u'))
        *fault = "buffer of " + std::to_string(outSize) + " bytes used";
    else if (outSize > 0 && !memchr(buffer, '\0', outSize))
        *fault = "value without its zero within " + std::to_string(outSize) + " bytes";
    else if (got != 0 && got != 1)
        *fault = "QueryDeviceValue returned " + std::to_string(got);
    else if (outSize > 0 && got == 0 && buffer[0] != '\0')
        *fault = "nothing found, yet the buffer holds text";
}

} // namespace

const FuzzProbe registryProbes[] = {
    {"DirectX", directXLabels, IconDirectX, CallDirectX},
    {"titles", titleLabels, IconTitles, CallTitles},
    {"processor clock", noLabels, IconProcessor, CallClock},
    {"devices", deviceLabels, IconVideo, CallDevices},
    {"device lookup", noLabels, IconVideo, CallDeviceLookup},
};
const int registryProbeCount = sizeof registryProbes / sizeof registryProbes[0];

bool CallFuzzProbe(const FuzzProbe &probe, FuzzRun &run, std::string *fault)
{
    fault->clear();
    changing = &run;
    callsMade = 0;
    overBudget = false;
    int openBefore = CountOpenFakeKeys();
    int first = GetReportRowCount();
    SetFakeCallHook(ChangeRegistry);
    probe.call(run, fault);
    SetFakeCallHook(nullptr);
    changing = nullptr;
    int leftOpen = CountOpenFakeKeys() - openBefore;
    if (fault->empty())
        CheckLabels(probe, ReadRows(first, fault), fault);
    if (overBudget)
        *fault = "made more than " + std::to_string(run.callBudget) + " registry calls";
    else if (leftOpen > 0)
        *fault = "left " + std::to_string(leftOpen) + " keys open";
    return fault->empty();
}

void RunRegistryFuzz(uint64_t seed, unsigned long first, unsigned long runs, FuzzFaultReport report,
                     FuzzFigures *figures)
{
    static const unsigned changePercents[] = {0, 0, 0, 1, 5, 20};
    *figures = FuzzFigures();
    for (unsigned long run = first; run - first < runs; ++run) {
        FuzzRun fuzz(RunSeed(seed, run));
        ResetFakeRegistry();
        ClearReport();
        FillRandomRegistry(fuzz.random, &fuzz.made);
        SetFakeAccount(fuzz.random.Chance(50) ? FakeLimitedAccount : FakeAdministrator);
        SetFakeJunkOnMoreData(fuzz.random.Chance(70));
        fuzz.changePercent = changePercents[fuzz.random.Below(6)];
        // Rows of earlier probes that a title may repeat.
        for (const std::string &details : fuzz.made.otherRows)
            AddReportRow("Operating System", details.c_str(), IconOs);
        for (int i = 0; i < registryProbeCount; ++i) {
            std::string fault;
            ++figures->probesCalled;
            if (!CallFuzzProbe(registryProbes[i], fuzz, &fault)) {
                ++figures->faults;
                if (report)
                    report(seed, run, registryProbes[i].name, fault);
            }
        }
        ++figures->runs;
    }
    ResetFakeRegistry();
    ClearReport();
}
