// Program entry and the main window: single-instance test, window class, the hidden main
// window from its dialog template, the inventory pass, then the message loop.
#include "shell.h"
#include "layout.h"
#include "../base/system_dll.h"
#include "../base/tarrow.h"
#include "../resources/resource.h"

#include <commctrl.h>

HINSTANCE appInstance;
HWND mainWindow;
HWND reportListWindow;

static const char mainClassName[] = "TarrowClass";

void CenterWindow(HWND window)
{
    RECT outer;
    GetWindowRect(window, &outer);
    int width = outer.right - outer.left;
    int height = outer.bottom - outer.top;
    MoveWindow(window, CenteredOrigin(GetSystemMetrics(SM_CXSCREEN), width),
               CenteredOrigin(GetSystemMetrics(SM_CYSCREEN), height), width, height, TRUE);
}

static INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    // Only "OK" or Enter close the box; Escape and the close box (IDCANCEL) do not.
    if (message == WM_COMMAND && wParam == IDOK) {
        EndDialog(dialog, 0);
        return TRUE;
    }
    return FALSE;
}

static void ShowAboutBox(HWND window)
{
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), window, AboutDlgProc, 0);
}

static void RunCommand(HWND window, WPARAM command)
{
    switch (command) {
    case IDCANCEL: // "OK" button and the Escape key
    case ID_FILE_EXIT:
        DestroyWindow(window);
        break;
    case IDC_COPY:
    case ID_EDIT_COPY:
        CopyReportToClipboard();
        break;
    case ID_FILE_CREATELOG:
        WriteLogFile();
        break;
    case ID_HELP_ABOUT:
        ShowAboutBox(window);
        break;
    }
}

static LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_COMMAND:
        RunCommand(window, wParam);
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

static void FillMainClass(WNDCLASSEXA *windowClass, HINSTANCE instance)
{
    ZeroMemory(windowClass, sizeof *windowClass);
    windowClass->cbSize = sizeof *windowClass;
    windowClass->style = CS_HREDRAW | CS_VREDRAW;
    windowClass->lpfnWndProc = MainWndProc;
    windowClass->cbWndExtra = DLGWINDOWEXTRA;
    windowClass->hInstance = instance;
    windowClass->hIcon = LoadIconA(instance, "ICON_MAIN");
    windowClass->hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    windowClass->hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass->lpszClassName = mainClassName;
    windowClass->hIconSm = LoadIconA(instance, "ICON_MAIN");
}

static int RunMessageLoop()
{
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(mainWindow, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return (int)message.wParam;
}

static const char usageText[] =
    "Tarrow takes an inventory of this PC and shows it in its window. "
    "\"tarrow.exe /log [FILE]\" writes the report to FILE (tarrow.log in the working folder "
    "when no FILE is given; a FILE with spaces goes in double quotes) without showing a "
    "window, and ends with exit code 0 when the file was written, 1 when it could not be "
    "opened, 2 when a line could not be written and 3 when the C runtime DLL could not be "
    "loaded from the system folder.";

// The window needs the C runtime and the list view of COMCTL32. Without one of them it
// says which, in the one message box, and ends with SystemDllMissing. Formatted by USER32:
// the C runtime's formatting may be the one missing.
static bool WindowDllsBound()
{
    static const SystemDll needed[] = {CRuntimeDll, CommonControlsDll};
    for (unsigned i = 0; i < sizeof needed / sizeof needed[0]; ++i) {
        if (!IsSystemDllBound(needed[i])) {
            char text[TextBufferSize];
            wsprintfA(text, "Could not load %s from the system folder.",
                      systemDllTables[needed[i]].fileName);
            MessageBoxA(NULL, text, NULL, MB_OK);
            return false;
        }
    }
    return true;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int showCommand)
{
    StartRequest request;
    ParseCommandLine(commandLine, &request);
    if (request.mode == StartUsage) {
        MessageBoxA(NULL, usageText, "Tarrow", MB_OK);
        return 0;
    }
    // A script's run: no single-instance test, no window, no message box.
    if (request.mode == StartLogOnly)
        return IsSystemDllBound(CRuntimeDll) ? WriteLogWithoutWindow(instance, &request)
                                             : SystemDllMissing;

    WNDCLASSEXA windowClass;
    FillMainClass(&windowClass, instance);

    HWND running = FindWindowA(mainClassName, NULL);
    if (running) {
        SetForegroundWindow(running);
        return 0;
    }

    if (!WindowDllsBound())
        return SystemDllMissing;

    RegisterClassExA(&windowClass);
    InitCommonControls();

    // The template is named after the class; resource names ignore case.
    mainWindow = CreateDialogParamA(instance, mainClassName, NULL, NULL, 0);
    if (!mainWindow) {
        MessageBoxA(NULL, "Could not create window!", NULL, MB_OK);
        return 0;
    }

    HWND list = GetDlgItem(mainWindow, IDC_REPORTLIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    reportListWindow = list;
    SetupReportColumns(list);
    appInstance = instance;
    SetMenu(mainWindow, LoadMenuA(instance, MAKEINTRESOURCEA(IDR_MAINMENU)));

    RunInventoryPass();

    CenterWindow(mainWindow);
    ShowWindow(mainWindow, showCommand);
    UpdateWindow(mainWindow);
    return RunMessageLoop();
}

// The program's own entry point: the C runtime DLL initialises itself, so no start-up code
// of the compiler's runtime is linked in. WinMain is given the whole command line, the
// program's own name first.
extern "C" void WINAPI TarrowStartup()
{
    // No system prompt may wait for a person: not for a DLL that cannot be loaded, nor,
    // while the probes look at the drives, for an empty floppy or CD-ROM drive or a dead
    // network drive.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    RestrictDllSearch();
    LoadSystemDlls();

    STARTUPINFOA startup;
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    int showCommand =
        (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : SW_SHOWDEFAULT;
    ExitProcess((UINT)WinMain(GetModuleHandleA(NULL), NULL, GetCommandLineA(), showCommand));
}
