// Resource and command identifiers of Tarrow, shared by the .rc file and the program.
#ifndef TARROW_RESOURCE_H
#define TARROW_RESOURCE_H

#define IDB_BANNER 102
#define IDR_MAINMENU 114
#define IDD_ABOUT 128

// Category icons of the report, in the order of the image list.
#define IDI_NETWORK 104
#define IDI_VIDEO 105
#define IDI_TITLES 106
#define IDI_MEMORY 107
#define IDI_DISPLAY 108
#define IDI_DRIVE 109
#define IDI_PROCESSOR 110
#define IDI_CDROM 111
#define IDI_OS 113
#define IDI_DIRECTX 115

#define IDC_COPY 1000
#define IDC_REPORTLIST 1002

#define ID_FILE_CREATELOG 40001
#define ID_FILE_EXIT 40002
#define ID_EDIT_COPY 40003
#define ID_HELP_ABOUT 40004

#endif
