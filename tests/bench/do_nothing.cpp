// The yardstick for a run without a window: a Win32 program that ends the moment it
// starts, built like tarrow.exe (own entry point, no compiler runtime, i486).
#include <windows.h>

extern "C" void WINAPI TarrowStartup()
{
    ExitProcess(0);
}
