// What the Wine bench driver reads from the program's main window: the report's rows,
// through memory in the program's own address space, and the window's layout.
#include "bench.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

// Reads a report row's text through memory in the program's own address space.
struct RemoteList {
    HANDLE process;
    HWND list;
    char *remote;
};

static void ReadRemoteItem(RemoteList *r, int row, int column, UINT mask, char *text, int *image)
{
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = mask;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = r->remote + 1024;
    item.cchTextMax = 1024;
    char zero[1024] = {0};
    WriteProcessMemory(r->process, r->remote + 1024, zero, sizeof zero, NULL);
    WriteProcessMemory(r->process, r->remote, &item, sizeof item, NULL);
    SendMessageA(r->list, LVM_GETITEMA, 0, (LPARAM)r->remote);
    ReadProcessMemory(r->process, r->remote, &item, sizeof item, NULL);
    text[0] = '\0';
    if (item.pszText)
        ReadProcessMemory(r->process, item.pszText, text, 1023, NULL);
    text[1023] = '\0';
    if (image)
        *image = item.iImage;
}

void PrintRows(HWND mainWindow, DWORD processId)
{
    RemoteList r;
    r.list = GetDlgItem(mainWindow, 1002);
    r.process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                            processId);
    if (!r.process)
        Fail("cannot open the program's process");
    r.remote = (char *)VirtualAllocEx(r.process, NULL, 4096, MEM_COMMIT, PAGE_READWRITE);
    int count = (int)SendMessageA(r.list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row) {
        char label[1024], details[1024];
        int image = -1;
        ReadRemoteItem(&r, row, 0, LVIF_TEXT | LVIF_IMAGE, label, &image);
        ReadRemoteItem(&r, row, 1, LVIF_TEXT, details, NULL);
        printf("row %d %d %s\t%s\n", row, image, label, details);
    }
    VirtualFreeEx(r.process, r.remote, 0, MEM_RELEASE);
    CloseHandle(r.process);
}

void PrintLayout(HWND mainWindow)
{
    RECT client;
    GetClientRect(mainWindow, &client);
    printf("client %ld %ld\n", client.right, client.bottom);
    for (HWND child = GetWindow(mainWindow, GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64];
        GetClassNameA(child, className, sizeof className);
        RECT r;
        GetWindowRect(child, &r);
        MapWindowPoints(NULL, mainWindow, (POINT *)&r, 2);
        printf("control %d %s %ld %ld %ld %ld\n", GetDlgCtrlID(child), className, r.left, r.top,
               r.right - r.left, r.bottom - r.top);
        if (lstrcmpiA(className, "Static") == 0) {
            GetClientRect(child, &r);
            printf("banner %ld %ld\n", r.right, r.bottom);
        }
    }
    HWND list = GetDlgItem(mainWindow, 1002);
    RECT inner;
    GetClientRect(list, &inner);
    printf("columns %ld", inner.right);
    for (int column = 0; column < 8; ++column) {
        int width = (int)SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0);
        if (width == 0)
            break;
        printf(" %d", width);
    }
    printf("\n");
}
