// The window floor of a run without a window: a Win32 program that creates one hidden
// window of the system's static class, as "tarrow.exe /log" does for its report, destroys
// it and ends; built like the tree's program (own entry point, no compiler runtime).
#include <windows.h>

extern "C" void WINAPI TarrowStartup()
{
    HWND window = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 0, 0, NULL, NULL,
                                  GetModuleHandleA(NULL), NULL);
    if (!window)
        ExitProcess(1);
    DestroyWindow(window);
    ExitProcess(0);
}
