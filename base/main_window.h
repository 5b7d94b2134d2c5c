// The program's window handles, kept once by start-up and read afterwards: the instance by
// the report's icons and the About box, the main window as clipboard owner and by the
// colour-depth probe for its device context, the report list by the report's operations.
#ifndef TARROW_MAIN_WINDOW_H
#define TARROW_MAIN_WINDOW_H

#include <windows.h>

extern HINSTANCE appInstance;
extern HWND mainWindow;
extern HWND reportListWindow;

#endif
