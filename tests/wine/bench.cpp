// Wine bench driver: starts tarrow.exe and works it the way a user would, printing what it
// sees as tagged lines on standard output for the Python runner to check.
//
//   bench.exe [--cwd DIR] [--dyn FILE] TARROW.EXE ACTION...
//
// Actions run in order; each prints zero or more lines:
//   start              launch and wait for the visible main window: "shown ROWS X Y W H SW SH";
//                      any other window shown before it: "prompt CLASS<TAB>CAPTION", cancelled
//   rows               every report row: "row INDEX ICON LABEL<TAB>DETAILS"
//   cmd ID             post WM_COMMAND ID to the main window
//   key VK             post a key press (WM_KEYDOWN/WM_KEYUP, virtual-key code) to the main window
//   close              the caption's close box (WM_SYSCOMMAND SC_CLOSE)
//   msgbox             wait for a message box: "msgbox CAPTION<TAB>TEXT", then press its OK
//   windows            the process's visible top-level windows: a line "windows", then
//                      one "window CLASS<TAB>CAPTION" line each
//   layout             the main window's client size, "client W H"; its controls in client
//                      coordinates, one "control ID CLASS X Y W H" line each; the banner's
//                      client size inside its border, "banner W H"; the report list's
//                      client width and its column widths, "columns LISTW W0 W1..."
//   about-key VK       post a key press to the open About box
//   about-close        the About box's close box
//   about-ok           click the About box's "OK" button
//   clip FILE          save the clipboard's CF_TEXT bytes (up to the zero) to FILE
//   second             start a second copy: "second EXIT FOREGROUND_IS_FIRST WINDOWS"
//   log ARGUMENTS      run another copy with this command line until it ends, as a script
//                      would: "logrun EXIT CLASS VISIBLE MS", after a "msgbox" line for
//                      each message box it showed and had OK pressed (see RunWithArguments)
//   sleep MS           wait
//   priority           the program's priority class and its main thread's priority:
//                      "priority CLASS THREAD"
//   wait-exit          wait for the program to end: "exit CODE"
//
// --cpu-mhz show prints the first processor's recorded clock rate ("mhz VALUE" or
// "mhz none"); --cpu-mhz delete removes it first. Wine keeps that key only in the running
// wineserver, like HKEY_DYN_DATA.
// --dyn FILE writes registry fixtures under HKEY_DYN_DATA first (lines "KEY" and
// "KEY|NAME|sz|TEXT" or "KEY|NAME|dword|NUMBER"); that root lives only in the running
// wineserver, so the program must be started from this same process.
// --hold FILE opens FILE for reading without sharing, as another program holding it open
// would, and keeps it open until the driver ends; may be given more than once.
#include "bench.h"

#include <commctrl.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static PROCESS_INFORMATION program;
static HWND mainWindow;
static const char *workingDirectory = NULL;

void Fail(const char *what)
{
    printf("error %s\n", what);
    fflush(stdout);
    if (program.hProcess)
        TerminateProcess(program.hProcess, 99);
    ExitProcess(3);
}

static HWND FindMainWindow()
{
    HWND window = NULL;
    while ((window = FindWindowExA(NULL, window, "TarrowClass", NULL)) != NULL) {
        DWORD pid = 0;
        GetWindowThreadProcessId(window, &pid);
        if (pid == program.dwProcessId)
            return window;
    }
    return NULL;
}

// Fails naming the system's error code, for a call that the program never got to answer.
static void FailWithSystemError(const char *what)
{
    char message[256];
    snprintf(message, sizeof message, "%s (error %lu)", what, GetLastError());
    Fail(message);
}

// Whether the window belongs to that process and is on screen.
static bool IsShownBy(HWND window, DWORD pid)
{
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    return owner == pid && IsWindowVisible(window);
}

static bool Launch(const char *exe, PROCESS_INFORMATION *info, const char *arguments = NULL)
{
    STARTUPINFOA startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    static char commandLine[4096];
    if (arguments)
        snprintf(commandLine, sizeof commandLine, "\"%s\" %s", exe, arguments);
    else
        snprintf(commandLine, sizeof commandLine, "\"%s\"", exe);
    // Wine's loader now and then refuses a start that succeeds a moment later, before the
    // program has run a single instruction; such a refusal is printed as "launch-refused
    // ERROR" and tried again twice. A program that cannot be started is refused every time.
    for (int attempt = 0;; ++attempt) {
        if (CreateProcessA(exe, commandLine, NULL, NULL, FALSE, 0, NULL, workingDirectory, &startup,
                           info))
            return true;
        if (attempt == 2)
            return false;
        printf("launch-refused %lu\n", GetLastError());
        Sleep(500);
    }
}

// Any other window the program shows before its main one is a prompt waiting for a person
// (a drive's "no disk" box, an error box): each is printed once as "prompt CLASS<TAB>CAPTION"
// and cancelled, so that the run goes on and the scenario sees what was asked.
static HWND promptsSeen[16];
static int promptCount;

static BOOL CALLBACK VisitPrompt(HWND window, LPARAM)
{
    char className[256], caption[256];
    if (!IsShownBy(window, program.dwProcessId) ||
        !GetClassNameA(window, className, sizeof className) ||
        strcmp(className, "TarrowClass") == 0)
        return TRUE;
    for (int i = 0; i < promptCount; ++i)
        if (promptsSeen[i] == window)
            return TRUE;
    if (promptCount < (int)(sizeof promptsSeen / sizeof promptsSeen[0]))
        promptsSeen[promptCount++] = window;
    GetWindowTextA(window, caption, sizeof caption);
    printf("prompt %s\t%s\n", className, caption);
    PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    return TRUE;
}

static void Start(const char *exe)
{
    if (!Launch(exe, &program))
        FailWithSystemError("cannot start the program");
    // Watch closely for the moment the window becomes visible: the report must be
    // complete by then.
    for (int waited = 0; waited < 120000; ++waited) {
        if (waited % 20 == 0)
            EnumWindows(VisitPrompt, 0);
        HWND window = FindMainWindow();
        if (window && IsWindowVisible(window)) {
            mainWindow = window;
            int rows = (int)SendMessageA(GetDlgItem(window, 1002), LVM_GETITEMCOUNT, 0, 0);
            RECT outer;
            GetWindowRect(window, &outer);
            printf("shown %d %ld %ld %ld %ld %d %d\n", rows, outer.left, outer.top,
                   outer.right - outer.left, outer.bottom - outer.top,
                   GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
            return;
        }
        if (WaitForSingleObject(program.hProcess, 1) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(program.hProcess, &code);
            char message[96];
            snprintf(message, sizeof message,
                     "the program ended before showing its window (exit code %lu)", code);
            Fail(message);
        }
    }
    Fail("the window did not appear");
}

struct FoundWindows {
    DWORD pid;
    HWND except;
    const char *className;
    const char *caption;
    HWND found;
    bool print;
};

static BOOL CALLBACK VisitWindow(HWND window, LPARAM param)
{
    FoundWindows *f = (FoundWindows *)param;
    if (window == f->except || !IsShownBy(window, f->pid))
        return TRUE;
    char className[256], caption[256];
    GetClassNameA(window, className, sizeof className);
    GetWindowTextA(window, caption, sizeof caption);
    if (f->print)
        printf("window %s\t%s\n", className, caption);
    if ((!f->className || strcmp(className, f->className) == 0) &&
        (!f->caption || strcmp(caption, f->caption) == 0))
        f->found = window;
    return TRUE;
}

static HWND WaitForWindow(const char *className, const char *caption)
{
    for (int waited = 0; waited < 10000; waited += 10) {
        FoundWindows f = {program.dwProcessId, mainWindow, className, caption, NULL, false};
        EnumWindows(VisitWindow, (LPARAM)&f);
        if (f.found)
            return f.found;
        Sleep(10);
    }
    return NULL;
}

static BOOL CALLBACK FindBoxText(HWND child, LPARAM param)
{
    char className[64], text[1024];
    GetClassNameA(child, className, sizeof className);
    GetWindowTextA(child, text, sizeof text);
    if (_stricmp(className, "Static") == 0 && text[0] != '\0') {
        strcpy((char *)param, text);
        return FALSE;
    }
    return TRUE;
}

static void PrintMessageBox(HWND box)
{
    char caption[256], text[1024] = "";
    GetWindowTextA(box, caption, sizeof caption);
    EnumChildWindows(box, FindBoxText, (LPARAM)text);
    printf("msgbox %s\t%s\n", caption, text);
}

static void HandleMessageBox()
{
    HWND box = WaitForWindow("#32770", NULL);
    if (!box) {
        printf("msgbox none\n");
        return;
    }
    PrintMessageBox(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    for (int waited = 0; waited < 5000 && IsWindow(box) && IsWindowVisible(box); waited += 10)
        Sleep(10);
}

static void PostKey(HWND window, int key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

static HWND AboutBox()
{
    HWND box = WaitForWindow("#32770", "About Tarrow");
    if (!box)
        Fail("the About box is not open");
    return box;
}

static void SaveClipboard(const char *path)
{
    FILE *out = fopen(path, "wb");
    if (!out)
        Fail("cannot write the clipboard file");
    for (int tries = 0; tries < 100 && !OpenClipboard(NULL); ++tries)
        Sleep(20);
    HANDLE data = GetClipboardData(CF_TEXT);
    if (data) {
        const char *text = (const char *)GlobalLock(data);
        if (text)
            fwrite(text, 1, strlen(text), out);
        GlobalUnlock(data);
    }
    CloseClipboard();
    fclose(out);
    printf("clip %s\n", data ? "text" : "none");
}

static void StartSecondCopy(const char *exe)
{
    PROCESS_INFORMATION second;
    if (!Launch(exe, &second))
        FailWithSystemError("cannot start the second copy");
    int windows = 0;
    while (WaitForSingleObject(second.hProcess, 1) == WAIT_TIMEOUT) {
        FoundWindows f = {second.dwProcessId, NULL, NULL, NULL, NULL, false};
        EnumWindows(VisitWindow, (LPARAM)&f);
        if (f.found)
            ++windows;
    }
    DWORD code = 0;
    GetExitCodeProcess(second.hProcess, &code);
    CloseHandle(second.hProcess);
    CloseHandle(second.hThread);
    printf("second %lu %d %d\n", code, GetForegroundWindow() == mainWindow, windows);
}

// Runs a copy of the program with arguments, as a script would, and watches it until it
// ends: "logrun EXIT CLASS VISIBLE MS", CLASS 1 when it ever had a window of the main
// window's class, VISIBLE 1 when it ever showed a window. A window it shows (a message box)
// is printed once, as "msgbox CAPTION<TAB>TEXT", and gets OK pressed, so that a run that
// waits for a person still ends.
static void RunWithArguments(const char *exe, const char *arguments)
{
    PROCESS_INFORMATION run;
    DWORD started = GetTickCount();
    if (!Launch(exe, &run, arguments))
        FailWithSystemError("cannot start the program with arguments");
    int classWindow = 0, visibleWindow = 0;
    HWND printedBox = NULL;
    while (WaitForSingleObject(run.hProcess, 2) == WAIT_TIMEOUT) {
        for (HWND window = NULL;
             (window = FindWindowExA(NULL, window, "TarrowClass", NULL)) != NULL;) {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            classWindow |= pid == run.dwProcessId;
        }
        FoundWindows f = {run.dwProcessId, NULL, NULL, NULL, NULL, false};
        EnumWindows(VisitWindow, (LPARAM)&f);
        if (f.found) {
            visibleWindow = 1;
            if (f.found != printedBox) {
                PrintMessageBox(f.found);
                printedBox = f.found;
            }
            PostMessageA(f.found, WM_COMMAND, IDOK, 0); // a message box's OK button
        }
        if (GetTickCount() - started > 120000) {
            TerminateProcess(run.hProcess, 98);
            Fail("the run with arguments did not end");
        }
    }
    DWORD code = 0;
    GetExitCodeProcess(run.hProcess, &code);
    CloseHandle(run.hProcess);
    CloseHandle(run.hThread);
    printf("logrun %lu %d %d %lu\n", code, classWindow, visibleWindow, GetTickCount() - started);
}

static void WaitForExit()
{
    if (WaitForSingleObject(program.hProcess, 20000) != WAIT_OBJECT_0)
        Fail("the program did not end");
    DWORD code = 0;
    GetExitCodeProcess(program.hProcess, &code);
    printf("exit %lu\n", code);
}

int main(int argc, char **argv)
{
    setvbuf(stdout, NULL, _IONBF, 0);
    int arg = 1;
    for (; arg + 1 < argc && argv[arg][0] == '-' && argv[arg][1] == '-'; arg += 2) {
        if (strcmp(argv[arg], "--cwd") == 0)
            workingDirectory = argv[arg + 1];
        else if (strcmp(argv[arg], "--dyn") == 0)
            WriteDynFixtures(argv[arg + 1]);
        else if (strcmp(argv[arg], "--cpu-mhz") == 0)
            RecordedProcessorMhz(argv[arg + 1]);
        else if (strcmp(argv[arg], "--hold") == 0)
            HoldFile(argv[arg + 1]);
    }
    if (arg >= argc)
        Fail("usage: bench.exe [--cwd DIR] [--dyn FILE] TARROW.EXE ACTION...");
    const char *exe = argv[arg++];
    for (; arg < argc; ++arg) {
        const char *action = argv[arg];
        const char *value = arg + 1 < argc ? argv[arg + 1] : "";
        if (strcmp(action, "start") == 0) {
            Start(exe);
        } else if (strcmp(action, "rows") == 0) {
            PrintRows(mainWindow, program.dwProcessId);
        } else if (strcmp(action, "cmd") == 0) {
            PostMessageA(mainWindow, WM_COMMAND, strtoul(value, NULL, 0), 0);
            ++arg;
        } else if (strcmp(action, "key") == 0) {
            PostKey(mainWindow, (int)strtoul(value, NULL, 0));
            ++arg;
        } else if (strcmp(action, "close") == 0) {
            PostMessageA(mainWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (strcmp(action, "msgbox") == 0) {
            HandleMessageBox();
        } else if (strcmp(action, "windows") == 0) {
            printf("windows\n");
            FoundWindows f = {program.dwProcessId, NULL, NULL, NULL, NULL, true};
            EnumWindows(VisitWindow, (LPARAM)&f);
        } else if (strcmp(action, "layout") == 0) {
            PrintLayout(mainWindow);
        } else if (strcmp(action, "about-key") == 0) {
            PostKey(AboutBox(), (int)strtoul(value, NULL, 0));
            ++arg;
        } else if (strcmp(action, "about-close") == 0) {
            PostMessageA(AboutBox(), WM_SYSCOMMAND, SC_CLOSE, 0);
        } else if (strcmp(action, "about-ok") == 0) {
            HWND box = AboutBox();
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        } else if (strcmp(action, "clip") == 0) {
            SaveClipboard(value);
            ++arg;
        } else if (strcmp(action, "log") == 0) {
            RunWithArguments(exe, value);
            ++arg;
        } else if (strcmp(action, "second") == 0) {
            StartSecondCopy(exe);
        } else if (strcmp(action, "priority") == 0) {
            printf("priority %lu %d\n", GetPriorityClass(program.hProcess),
                   GetThreadPriority(program.hThread));
        } else if (strcmp(action, "sleep") == 0) {
            Sleep(strtoul(value, NULL, 0));
            ++arg;
        } else if (strcmp(action, "wait-exit") == 0) {
            WaitForExit();
        } else {
            Fail("unknown action");
        }
    }
    return 0;
}
