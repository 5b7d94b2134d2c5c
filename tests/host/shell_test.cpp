// The report store, the text helpers, the window geometry, the two export formats and the
// binding of the system DLLs.
#include "app/command_line.h"
#include "app/export.h"
#include "app/layout.h"
#include "app/report_store.h"
#include "base/system_dll.h"
#include "base/tarrow.h"
#include "base/text.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class Report : public ::testing::Test {
protected:
    void SetUp() override { ClearReport(); }
    void TearDown() override { ClearReport(); }
};

std::string Repeat(char c, size_t n)
{
    return std::string(n, c);
}

TEST(Layout, ColumnsLeaveRoomForTheScrollBar)
{
    const struct {
        int width, component, details;
    } cases[] = {{456, 150, 286}, {457, 150, 287}, {0, -2, -18}, {3, -1, -16}};
    for (const auto &c : cases) {
        EXPECT_EQ(c.component, ComponentColumnWidth(c.width));
        EXPECT_EQ(c.details, DetailsColumnWidth(c.width));
    }
}

TEST(Layout, CentringTruncatesTowardZero)
{
    EXPECT_EQ(100, CenteredOrigin(800, 600));
    EXPECT_EQ(0, CenteredOrigin(641, 640));
    EXPECT_EQ(-40, CenteredOrigin(560, 640)); // larger than the screen
    EXPECT_EQ(0, CenteredOrigin(639, 640));   // -1 / 2 truncates to 0
}

TEST(Text, HelpersStopAtTheBuffer)
{
    char out[8];
    CopyText(out, sizeof out, "0123456789");
    EXPECT_STREQ("0123456", out);
    CopyText(out, sizeof out, "ab");
    AppendText(out, sizeof out, "cdefghij");
    EXPECT_STREQ("abcdefg", out);
    EXPECT_EQ(7, FormatText(out, sizeof out, "%s-%d", "abcdef", 42));
    EXPECT_STREQ("abcdef-", out);
    EXPECT_EQ(3u, BoundedLength("abc", 10));
    EXPECT_EQ(2u, BoundedLength("abc", 2));
}

TEST(Text, FilePathsAreWholeOrNotBuilt)
{
    const struct {
        const char *directory, *fileName;
        size_t size;
        const char *path; // NULL: does not fit, nothing built
    } cases[] = {
        {"C:\\WINDOWS\\SYSTEM", "WSOCK32.DLL", 30, "C:\\WINDOWS\\SYSTEM\\WSOCK32.DLL"},
        {"C:\\WINDOWS\\SYSTEM", "WSOCK32.DLL", 29, NULL}, // the zero has no room
        {"", "a.dll", 7, "\\a.dll"},
        {"C:", "x", 0, NULL},
    };
    for (const auto &c : cases) {
        char out[260] = "untouched";
        EXPECT_EQ(c.path != NULL, BuildFilePath(c.directory, c.fileName, out, c.size))
            << c.directory << " " << c.fileName << " in " << c.size;
        EXPECT_STREQ(c.path ? c.path : "untouched", out) << c.size;
    }
}

TEST(Text, FoldsOnlyAsciiLetters)
{
    EXPECT_TRUE(EqualsIgnoringAsciiCase("Hello World", "hELLO wORLD"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("Hello", "Hello "));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC4", "\xE4")); // Ä and ä differ
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));
    EXPECT_TRUE(EqualsIgnoringAsciiCase("", ""));
}

TEST_F(Report, KeepsOrderDuplicatesAndIcons)
{
    AddReportRow("Free Disk Space", "C:\\   1.50GB", IconDrive);
    AddReportRow("Free Disk Space", "C:\\   1.50GB", IconDrive);
    AddReportRow("Resolution", "", IconDisplay);
    ASSERT_EQ(3, GetReportRowCount());
    char text[ReportTextBufferSize];
    GetReportRowText(2, 0, text);
    EXPECT_STREQ("Resolution", text);
    GetReportRowText(2, 1, text);
    EXPECT_STREQ("", text);
    EXPECT_EQ(IconDisplay, GetReportRowIcon(2));
}

TEST_F(Report, FindsDetailsOnlyIgnoringCase)
{
    AddReportRow("Kelto Title", "NIGHT HARBOR", IconTitles);
    EXPECT_TRUE(FindReportRowByDetails("night harbor"));
    EXPECT_FALSE(FindReportRowByDetails("Kelto Title"));
    EXPECT_FALSE(FindReportRowByDetails("night harbor "));
}

TEST_F(Report, EmptyReportFindsNothing)
{
    EXPECT_FALSE(FindReportRowByDetails(""));
    EXPECT_EQ(1u, MeasureClipboardText());
}

TEST_F(Report, LongTextsReadBackAsTheirFirst254Characters)
{
    std::string longText = Repeat('a', 300);
    AddReportRow(longText.c_str(), longText.c_str(), IconTitles);
    char text[ReportTextBufferSize];
    GetReportRowText(0, 1, text);
    EXPECT_EQ(Repeat('a', 254), text);
    EXPECT_TRUE(FindReportRowByDetails(Repeat('A', 254).c_str()));
    EXPECT_FALSE(FindReportRowByDetails(longText.c_str()));
}

TEST(ExportFormat, LogLinesPadBothColumnsTo16)
{
    const struct {
        const char *label, *details, *line;
    } cases[] = {
        {"Resolution", "1024 x 768", "Resolution      \t\t1024 x 768      \n"},
        {"0123456789abcdef", "x", "0123456789abcdef\t\tx               \n"},
        {"Total Physical Memory", "128MB", "Total Physical Memory\t\t128MB           \n"},
        {"", "", "                \t\t                \n"},
    };
    char line[ExportLineBufferSize];
    for (const auto &c : cases) {
        FormatLogLine(c.label, c.details, line, sizeof line);
        EXPECT_STREQ(c.line, line);
    }
}

TEST_F(Report, ClipboardTextPadsTo50And30)
{
    AddReportRow("Operating System", "Windows 98 v4.10.2222", IconOs);
    AddReportRow("% Memory Used", "37%", IconMemory);
    std::string expected = "Operating System" + Repeat(' ', 34) + "\t\tWindows 98 v4.10.2222" +
                           Repeat(' ', 9) + "\r\n" + "% Memory Used" + Repeat(' ', 37) +
                           "\t\t37%" + Repeat(' ', 27) + "\r\n";
    size_t size = MeasureClipboardText();
    EXPECT_EQ(2 * (50 + 2 + 50 + 2) + 1u, size);
    std::string block(size, '\0');
    EXPECT_EQ(expected.size(), BuildClipboardText(&block[0], size));
    EXPECT_EQ(expected, block.c_str());
}

TEST_F(Report, ClipboardKeepsLongRowsWhole)
{
    // Rows far longer than one 255-byte line: exported whole up to the read limit.
    std::string label = Repeat('L', 254), details = Repeat('D', 254);
    AddReportRow(label.c_str(), details.c_str(), IconTitles);
    AddReportRow("short", "row", IconTitles);
    size_t size = MeasureClipboardText();
    std::string block(size, '\0');
    size_t length = BuildClipboardText(&block[0], size);
    std::string expected = label + "\t\t" + details + "\r\n" + "short" + Repeat(' ', 45) +
                           "\t\t" + "row" + Repeat(' ', 27) + "\r\n";
    EXPECT_EQ(expected, block.c_str());
    EXPECT_EQ(expected.size(), length);
    EXPECT_LT(length, size);
}

TEST_F(Report, ClipboardTextIsCutAtASmallBlock)
{
    AddReportRow("label", "details", IconOs);
    char block[10];
    EXPECT_EQ(9u, BuildClipboardText(block, sizeof block));
    EXPECT_STREQ("label    ", block);
}

TEST_F(Report, LogStreamGetsOneLinePerRow)
{
    AddReportRow("Resolution", "800 x 600", IconDisplay);
    AddReportRow("Color Depth", "16-Bit", IconDisplay);
    char buffer[256] = {0};
    FILE *stream = fmemopen(buffer, sizeof buffer, "w");
    ASSERT_NE(nullptr, stream);
    EXPECT_EQ(1, WriteReportLines(stream));
    fclose(stream);
    EXPECT_STREQ("Resolution      \t\t800 x 600       \nColor Depth     \t\t16-Bit          \n",
                 buffer);
}

TEST_F(Report, LogStreamFailureIsReported)
{
    AddReportRow("Resolution", "800 x 600", IconDisplay);
    FILE *stream = fopen("/dev/full", "w");
    ASSERT_NE(nullptr, stream);
    EXPECT_EQ(0, WriteReportLines(stream));
    fclose(stream);
}

std::string ReadFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string &path)
{
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

// A folder of its own for each test's log files, removed with what is left in it.
class LogFile : public Report {
protected:
    void SetUp() override
    {
        Report::SetUp();
        char pattern[] = "/tmp/tarrow-log-XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(pattern));
        folder = pattern;
        path = folder + "/tarrow.log";
        AddReportRow("Operating System", "Windows 98 v4.10.2222", IconOs);
        AddReportRow("Resolution", "800 x 600", IconDisplay);
        AddReportRow("Color Depth", "16-Bit", IconDisplay);
    }
    void TearDown() override
    {
        FailLogLineForTest(0);
        std::string command = "rm -rf '" + folder + "'";
        EXPECT_EQ(0, system(command.c_str()));
        Report::TearDown();
    }
    void WriteOldLog() { std::ofstream(path, std::ios::binary) << oldLog; }

    std::string folder, path;
    const std::string oldLog = "the complete log of an earlier run\n";
};

TEST_F(LogFile, ReplacesTheOldLogOnlyWhenComplete)
{
    const char expected[] = "Operating System\t\tWindows 98 v4.10.2222\n"
                            "Resolution      \t\t800 x 600       \n"
                            "Color Depth     \t\t16-Bit          \n";
    const struct {
        const char *what;
        bool oldLog;
        int failingLine; // 0: every line is written
        int result;
        const char *after; // NULL: the old log, untouched
    } cases[] = {
        {"no old log", false, 0, 1, expected},
        {"old log replaced", true, 0, 1, expected},
        {"first line fails", true, 1, -2, NULL},
        {"second line fails", true, 2, -2, NULL},
        {"last line fails", true, 3, -2, NULL},
    };
    for (const auto &c : cases) {
        remove(path.c_str());
        if (c.oldLog)
            WriteOldLog();
        FailLogLineForTest(c.failingLine);
        EXPECT_EQ(c.result, WriteLogFileTo(path.c_str())) << c.what;
        EXPECT_EQ(c.after ? c.after : oldLog, ReadFile(path)) << c.what;
        EXPECT_FALSE(Exists(path + ".new")) << c.what << ": the new file was left behind";
    }
}

TEST_F(LogFile, TargetThatCannotBeReplacedKeepsItsPlace)
{
    // A folder of that name: the new log cannot take its place.
    ASSERT_EQ(0, mkdir(path.c_str(), 0700));
    ASSERT_EQ(0, mkdir((path + "/inside").c_str(), 0700));
    EXPECT_EQ(-1, WriteLogFileTo(path.c_str()));
    EXPECT_TRUE(Exists(path + "/inside"));
    EXPECT_FALSE(Exists(path + ".new"));

    // No folder to write the new file in.
    EXPECT_EQ(-1, WriteLogFileTo((folder + "/missing/tarrow.log").c_str()));

    // A name as long as no Windows path may be is refused before any file is made.
    std::string longPath = folder + "/" + Repeat('x', 300);
    EXPECT_EQ(-1, WriteLogFileTo(longPath.c_str()));
}

TEST(CommandLine, SwitchesAndTheLogFile)
{
    const struct {
        const char *line;
        StartMode mode;
        const char *logPath; // for StartLogOnly
    } cases[] = {
        {"tarrow.exe", StartWindow, ""},
        {"\"C:\\Program Files\\Tarrow\\tarrow.exe\"", StartWindow, ""},
        {"tarrow.exe /log", StartLogOnly, "tarrow.log"},
        {"tarrow.exe -LOG", StartLogOnly, "tarrow.log"},
        {"tarrow.exe\t/Log   ", StartLogOnly, "tarrow.log"},
        {"\"C:\\My Tools\\tarrow.exe\" /log C:\\logs\\pc1.log", StartLogOnly,
         "C:\\logs\\pc1.log"},
        {"tarrow.exe -LOG \"FILE WITH SPACES.log\"", StartLogOnly, "FILE WITH SPACES.log"},
        {"tarrow.exe /log \"unclosed name.log", StartLogOnly, "unclosed name.log"},
        {"tarrow.exe /log \"\"", StartLogOnly, "tarrow.log"},
        {"tarrow.exe /log a.log b.log", StartLogOnly, "a.log"},
        {"tarrow.exe /?", StartUsage, ""},
        {"tarrow.exe -?", StartUsage, ""},
        {"tarrow.exe /logfile", StartWindow, ""},
        {"tarrow.exe log", StartWindow, ""},
        {"tarrow.exe /x /log", StartWindow, ""},
        {"\"tarrow /log\"", StartWindow, ""}, // the program's own name, not a switch
        {"", StartWindow, ""},
    };
    for (const auto &c : cases) {
        StartRequest request;
        ParseCommandLine(c.line, &request);
        EXPECT_EQ(c.mode, request.mode) << c.line;
        if (c.mode == StartLogOnly) {
            EXPECT_STREQ(c.logPath, request.logPath) << c.line;
            EXPECT_FALSE(request.logPathTooLong) << c.line;
        }
    }

    StartRequest request;
    ParseCommandLine(NULL, &request);
    EXPECT_EQ(StartWindow, request.mode);
    std::string tooLong = "tarrow.exe /log " + Repeat('x', LogPathBufferSize);
    ParseCommandLine(tooLong.c_str(), &request);
    EXPECT_EQ(StartLogOnly, request.mode);
    EXPECT_TRUE(request.logPathTooLong);
    std::string longest = "tarrow.exe /log " + Repeat('x', LogPathBufferSize - 1);
    ParseCommandLine(longest.c_str(), &request);
    EXPECT_EQ(Repeat('x', LogPathBufferSize - 1), request.logPath);
}

// A DLL for the binding: the names it exports, each found at its own text.
void *FindFakeExport(void *module, const char *name)
{
    std::vector<std::string> &exports = *(std::vector<std::string> *)module;
    for (size_t i = 0; i < exports.size(); ++i)
        if (exports[i] == name)
            return &exports[i][0];
    return NULL;
}

TEST(SystemDll, BoundWholeOrNotAtAll)
{
    const struct {
        std::vector<std::string> exports;
        bool loaded, bound;
    } cases[] = {
        {{"socket", "closesocket"}, true, true},
        {{"closesocket", "socket", "WSAStartup"}, true, true}, // order and extras do not matter
        {{"socket"}, true, false},                             // one missing: none bound
        {{"socket", "closesocket"}, false, false},             // the DLL could not be loaded
    };
    for (auto c : cases) {
        char standIns[2];
        void *slots[2] = {&standIns[0], &standIns[1]};
        const BoundFunction functions[] = {{"socket", &slots[0]}, {"closesocket", &slots[1]}};
        const SystemDllTable table = {"WSOCK32.DLL", functions, 2};
        void *module = c.loaded ? &c.exports : NULL;
        EXPECT_EQ(c.bound, BindDllFunctions(&table, module, FindFakeExport)) << c.exports.size();
        for (int i = 0; i < 2; ++i)
            EXPECT_EQ(c.bound ? FindFakeExport(module, functions[i].name) : &standIns[i], slots[i])
                << functions[i].name;
    }
}

} // namespace
