// Tarrow: the report, the shared facts and the probe entry points, as seen by every part
// of the program. Platform-neutral: nothing here needs <windows.h>.
#ifndef TARROW_TARROW_H
#define TARROW_TARROW_H

#include <stddef.h>

// Texts are single-byte and zero-terminated, built in fixed buffers of this size.
enum { TextBufferSize = 260 };

// A report text read back from the list holds at most 254 characters and its zero.
enum { ReportTextBufferSize = 255 };

// Index of a row's category icon in the report's image list.
typedef int ReportIcon;
enum {
    IconNetwork = 0,
    IconVideo = 1,
    IconTitles = 2,
    IconMemory = 3,
    IconDirectX = 4,
    IconDisplay = 5,
    IconDrive = 6,
    IconProcessor = 7,
    IconCdrom = 8,
    IconOs = 9,
};

// The report (report_list_win32.cpp on Windows, report_list_host.cpp elsewhere).
int AddReportRow(const char *label, const char *details, ReportIcon icon);
bool FindReportRowByDetails(const char *details);
int GetReportRowCount();
// column 0 is the label, 1 the details; buffer holds at least ReportTextBufferSize bytes.
void GetReportRowText(int row, int column, char *buffer);

// What the operating-system probe learnt, read by the inventory pass.
struct OsFacts {
    int isWindows95; // first release of Windows 95 only
    int isWindows98; // Windows 98 and every later system of that platform
};
extern OsFacts osFacts;

// Inventory pass (inventory_win32.cpp) and the probes it runs, in report order.
int RunInventoryPass();
int AddOsVersionRow();
int AddDirectXRow();
int AddCpuRows();
int AddMemoryRows();
int AddResolutionRow();
int AddColorDepthRow();
int AddGlideRows();
int AddFreeDiskSpaceRows();
int AddSwapFileRows();
int AddCdromAccessModeRow();
int AddNetworkProtocolRows();
int AddMakerTitleRows();
int AddVideoAndMultimediaRows();

#endif
