// The Wine bench driver's shared declarations: bench.cpp works the program, bench_window.cpp
// reads its window, bench_fixtures.cpp sets up the machine before it starts.
#ifndef TARROW_BENCH_H
#define TARROW_BENCH_H

#include <windows.h>

// Prints "error WHAT", ends the program under test and the driver.
void Fail(const char *what);

// bench_window.cpp: "row ..." lines, and the "client", "control", "banner" and "columns"
// lines of the layout action.
void PrintRows(HWND mainWindow, DWORD processId);
void PrintLayout(HWND mainWindow);

// bench_fixtures.cpp
void WriteDynFixtures(const char *path);
void HoldFile(const char *path);
void RecordedProcessorMhz(const char *what);

#endif
