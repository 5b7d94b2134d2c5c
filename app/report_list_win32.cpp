// The report on Windows: the rows live in the main window's list view control, which
// keeps its own copies of the texts; there is no second store. A log run that could not
// have a list view (no COMCTL32) keeps them in the plain store instead.
#include "shell.h"
#include "layout.h"
#include "report_store.h"
#include "../base/tarrow.h"
#include "../base/text.h"
#include "../resources/resource.h"

#include <commctrl.h>
#include <string.h>

// Icon resources in image-list order: index i stands for ReportIcon i.
static const int reportIconResources[] = {
    IDI_NETWORK, IDI_VIDEO, IDI_TITLES, IDI_MEMORY, IDI_DIRECTX,
    IDI_DISPLAY, IDI_DRIVE, IDI_PROCESSOR, IDI_CDROM, IDI_OS,
};
enum { ReportIconCount = sizeof reportIconResources / sizeof reportIconResources[0] };

struct ReportColumn {
    const char *header;
    int (*width)(int listWidth);
};

static const ReportColumn reportColumns[] = {
    {"Component", ComponentColumnWidth},
    {"Details", DetailsColumnWidth},
};

static bool reportImagesAttached = false;

int SetupReportColumns(HWND list)
{
    RECT outer;
    GetWindowRect(list, &outer);
    int listWidth = outer.right - outer.left;
    for (int i = 0; i < 2; ++i) {
        LVCOLUMNA column;
        memset(&column, 0, sizeof column);
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = reportColumns[i].width(listWidth);
        column.pszText = (char *)reportColumns[i].header;
        column.iSubItem = i;
        SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)i, (LPARAM)&column);
    }
    return 1;
}

HIMAGELIST CreateReportImageList()
{
    HIMAGELIST images = ImageList_Create(16, 16, 0, ReportIconCount, 5);
    for (int i = 0; i < ReportIconCount; ++i) {
        HICON icon = LoadIconA(appInstance, MAKEINTRESOURCEA(reportIconResources[i]));
        ImageList_ReplaceIcon(images, -1, icon);
    }
    return images;
}

int AddReportRow(const char *label, const char *details, ReportIcon icon)
{
    if (!reportListWindow)
        return StoreReportRow(label, details, icon);
    if (!reportImagesAttached) {
        SendMessageA(reportListWindow, LVM_SETIMAGELIST, LVSIL_SMALL,
                     (LPARAM)CreateReportImageList());
        reportImagesAttached = true;
    }
    int row = GetReportRowCount();

    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = row;
    item.iSubItem = 0;
    item.pszText = (char *)label;
    item.iImage = icon;
    SendMessageA(reportListWindow, LVM_INSERTITEMA, 0, (LPARAM)&item);

    memset(&item, 0, sizeof item);
    item.iSubItem = 1;
    item.pszText = (char *)details;
    SendMessageA(reportListWindow, LVM_SETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
    return 1;
}

int GetReportRowCount()
{
    if (!reportListWindow)
        return GetStoredRowCount();
    return (int)SendMessageA(reportListWindow, LVM_GETITEMCOUNT, 0, 0);
}

void GetReportRowText(int row, int column, char *buffer)
{
    if (!reportListWindow) {
        GetStoredRowText(row, column, buffer);
        return;
    }
    buffer[0] = '\0';
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = ReportTextBufferSize;
    SendMessageA(reportListWindow, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)&item);
    buffer[ReportTextBufferSize - 1] = '\0';
}

bool FindReportRowByDetails(const char *details)
{
    if (!reportListWindow)
        return FindStoredRowByDetails(details);
    char buffer[ReportTextBufferSize];
    for (int row = 0; row < GetReportRowCount(); ++row) {
        buffer[0] = '\0';
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.iSubItem = 1;
        item.pszText = buffer;
        item.cchTextMax = ReportTextBufferSize;
        SendMessageA(reportListWindow, LVM_GETITEMA, 0, (LPARAM)&item);
        // The list may point pszText at its own copy instead of filling the buffer.
        char own[ReportTextBufferSize];
        CopyText(own, sizeof own, item.pszText ? item.pszText : "");
        if (EqualsIgnoringAsciiCase(own, details))
            return true;
    }
    return false;
}
