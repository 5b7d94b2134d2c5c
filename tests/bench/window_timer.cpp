// Starts Win32 programs in turn and times each from CreateProcess to its first visible
// top-level window, then closes it. With --create-log it also chooses File, Create Log
// File and reports the message box that answers. With --until-exit each argument is a
// whole command line, timed from CreateProcess to the program's end: a program that shows
// no window, such as "tarrow.exe /log". Runs under Wine for scripts/benchmark.py.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

static const WPARAM createLogCommand = 40001; // ID_FILE_CREATELOG
static const DWORD windowTimeoutMs = 60000;

struct WindowSearch {
    DWORD processId;
    const char *className; // NULL: any class
    HWND found;
};

static BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    WindowSearch *search = (WindowSearch *)param;
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || !IsWindowVisible(window))
        return TRUE;
    if (search->className) {
        char name[64];
        GetClassNameA(window, name, sizeof name);
        if (lstrcmpiA(name, search->className) != 0)
            return TRUE;
    }
    search->found = window;
    return FALSE;
}

// Polls every millisecond; NULL when the window did not come up in time.
static HWND WaitForVisibleWindow(DWORD processId, const char *className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    for (;;) {
        WindowSearch search = {processId, className, NULL};
        EnumWindows(MatchWindow, (LPARAM)&search);
        if (search.found)
            return search.found;
        if (GetTickCount() - start > timeoutMs)
            return NULL;
        Sleep(1);
    }
}

static double ElapsedMs(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return (double)(to.QuadPart - from.QuadPart) * 1000.0 / (double)frequency.QuadPart;
}

static void AnswerLogCommand(HWND window, DWORD processId)
{
    PostMessageA(window, WM_COMMAND, createLogCommand, 0);
    HWND box = WaitForVisibleWindow(processId, "#32770", 10000);
    if (!box) {
        printf("log-box none\n");
        return;
    }
    char caption[128], text[256];
    GetWindowTextA(box, caption, sizeof caption);
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text); // a message box's text control
    printf("log-box %s: %s\n", caption, text);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    Sleep(200);
}

// Starts a command line and notes the moment just before; false (and a line) on failure.
static bool StartTimed(const char *command, PROCESS_INFORMATION *process, LARGE_INTEGER *started)
{
    char commandLine[1024];
    lstrcpynA(commandLine, command, sizeof commandLine);
    STARTUPINFOA startup;
    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    QueryPerformanceCounter(started);
    if (CreateProcessA(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, process))
        return true;
    printf("error %s: CreateProcess failed (%lu)\n", command, GetLastError());
    return false;
}

// Returns 0 and the time in *ms, or 1 when the command did not start or end in time.
static int TimeOneRun(const char *command, double *ms, DWORD *exitCode)
{
    PROCESS_INFORMATION process;
    LARGE_INTEGER started, ended;
    if (!StartTimed(command, &process, &started))
        return 1;
    int result = 0;
    if (WaitForSingleObject(process.hProcess, windowTimeoutMs) == WAIT_OBJECT_0) {
        QueryPerformanceCounter(&ended);
        *ms = ElapsedMs(started, ended);
        GetExitCodeProcess(process.hProcess, exitCode);
    } else {
        printf("error %s: did not end, terminated\n", command);
        TerminateProcess(process.hProcess, 1);
        result = 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

// Returns 0 and the time in *ms, or 1 when the program did not start or show a window.
static int TimeOneStart(const char *program, bool createLog, double *ms)
{
    char commandLine[MAX_PATH + 2];
    snprintf(commandLine, sizeof commandLine, "\"%s\"", program);
    PROCESS_INFORMATION process;
    LARGE_INTEGER started, shown;
    if (!StartTimed(commandLine, &process, &started))
        return 1;
    HWND window = WaitForVisibleWindow(process.dwProcessId, NULL, windowTimeoutMs);
    QueryPerformanceCounter(&shown);
    int result = 0;
    if (window) {
        *ms = ElapsedMs(started, shown);
        if (createLog)
            AnswerLogCommand(window, process.dwProcessId);
        PostMessageA(window, WM_CLOSE, 0, 0);
    } else {
        printf("error %s: no visible window\n", program);
        result = 1;
    }
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
        printf("error %s: did not end, terminated\n", program);
        TerminateProcess(process.hProcess, 1);
        result = 1;
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return result;
}

int main(int argc, char **argv)
{
    int first = 1;
    bool createLog = false, untilExit = false;
    if (argc > 1 && lstrcmpA(argv[1], "--create-log") == 0) {
        createLog = true;
        ++first;
    } else if (argc > 1 && lstrcmpA(argv[1], "--until-exit") == 0) {
        untilExit = true;
        ++first;
    }
    if (argc < first + 2) {
        printf("usage: window_timer [--create-log | --until-exit] runs program...\n");
        return 2;
    }
    int runs = atoi(argv[first]);
    int failures = 0;
    // Interleaved, so a slow phase of the machine falls on every program alike, and each
    // run starts with the next program, so none always follows the same one.
    int count = argc - first - 1;
    for (int run = 0; run < runs; ++run) {
        for (int k = 0; k < count; ++k) {
            int i = first + 1 + (run + k) % count;
            double ms = 0;
            DWORD exitCode = 0;
            if (untilExit) {
                if (TimeOneRun(argv[i], &ms, &exitCode) == 0)
                    printf("exit %s %.1f %lu\n", argv[i], ms, exitCode);
                else
                    ++failures;
            } else if (TimeOneStart(argv[i], createLog, &ms) == 0)
                printf("start %s %.1f\n", argv[i], ms);
            else
                ++failures;
            fflush(stdout);
        }
    }
    return failures ? 1 : 0;
}
