// The yardstick for Tarrow's start-up time: a Win32 program that shows one dialog the
// moment it starts, built like the tree's program (own entry point, no compiler runtime).
#include <windows.h>

static INT_PTR CALLBACK MinimalDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL)
            DestroyWindow(dialog);
        return TRUE;
    case WM_CLOSE:
        DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        PostQuitMessage(0);
        return TRUE;
    }
    return FALSE;
}

extern "C" void WINAPI TarrowStartup()
{
    HINSTANCE instance = GetModuleHandleA(NULL);
    HWND dialog = CreateDialogParamA(instance, "MINIMALDIALOG", NULL, MinimalDlgProc, 0);
    if (!dialog)
        ExitProcess(1);
    ShowWindow(dialog, SW_SHOWDEFAULT);
    UpdateWindow(dialog);
    MSG message;
    while (GetMessageA(&message, NULL, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    ExitProcess(0);
}
