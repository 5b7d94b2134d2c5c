// The display-mode rows: the primary screen's size and the main window's colour depth.
#include "probes.h"
#include "../base/main_window.h"
#include "../base/tarrow.h"

int AddResolutionRow()
{
    long width = GetSystemMetrics(SM_CXSCREEN);
    long height = GetSystemMetrics(SM_CYSCREEN);
    char details[TextBufferSize];
    FormatResolution(width, height, details, sizeof details);
    AddReportRow("Resolution", details, IconDisplay);
    return 0;
}

int AddColorDepthRow()
{
    HDC context = GetDC(mainWindow);
    long bitsPerPixel = GetDeviceCaps(context, BITSPIXEL);
    ReleaseDC(mainWindow, context);
    char details[TextBufferSize];
    FormatColorDepth(bitsPerPixel, details, sizeof details);
    AddReportRow("Color Depth", details, IconDisplay);
    return 0;
}
