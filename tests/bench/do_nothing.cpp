// The yardstick for a run without a window: a Win32 program that ends the moment it
// starts, built like the tree's program (own entry point, no compiler runtime).
#include <windows.h>

extern "C" void WINAPI TarrowStartup()
{
    ExitProcess(0);
}
