// The pure logic of the system probes: the decisions and formatters that turn what the
// platform reported into report texts. Nothing here calls the platform.
#ifndef TARROW_PROBES_H
#define TARROW_PROBES_H

#include <stddef.h>
#include <stdint.h>

#include "../base/registry_access.h"

// os_version.cpp
struct OsDescription {
    char text[260];
    int isWindows95;
    int isWindows98;
};
void DescribeOsVersion(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build,
                       const char *servicePack, OsDescription *out);

// directx.cpp
// The name a user knows for the "Version" text of the DirectX key, e.g. "DirectX 6.1".
const char *DescribeDirectXVersion(const char *version);
// The details for a key that holds only "InstalledVersion": its first byte, signed.
void DescribeInstalledDirectX(unsigned char firstByte, char *out, size_t size);

// file_version.cpp: choosing the product version of a version resource.
// Finds the value stored under key, giving the value and the bytes it may span (the
// value may end with its zero earlier); false when the key is absent.
typedef bool (*VersionValueQuery)(const void *resource, const char *key, const char **value,
                                  size_t *span);
// The keys tried, in order: the US English string tables of code page 1252, then 1200.
enum { ProductVersionKeyCount = 2 };
extern const char *const productVersionKeys[ProductVersionKeyCount];
// Copies the first product version found into text (cut at size); otherwise text holds
// "No Version Info". Returns 1 when a version was found, else 0.
int PickProductVersion(VersionValueQuery query, const void *resource, char *text, size_t size);
// The same text for a file without any usable version resource; returns 0.
int NoProductVersion(char *text, size_t size);
// The most bytes a version block may take. A version resource holds at most 64 KB (its
// length field has 16 bits); VERSION.DLL asks for room for ANSI copies beside it, at most
// four times the resource (a 16-bit resource on Windows 2000, whose length is rounded up
// to its file's alignment unit). Eight times 64 KB holds every real block; a larger size
// comes from a lying resource entry, and one near 4 GB would wrap when the room below is
// worked out.
enum { VersionBlockLimit = 0x80000 };
// True when a size that GetFileVersionInfoSizeA reported is worth a block: 1 to the limit.
bool IsUsableVersionBlockSize(size_t size);
// True when the size bytes at block, as GetFileVersionInfoA left them, hold a version
// block that VerQueryValueA can walk for a string-table value without leaving the block:
// every node it may pass has its lengths, type, key and value inside its parent, the root
// is no longer than size, and a 32-bit (Unicode) block has the room after its root that
// VERSION.DLL asked for.
bool IsSoundVersionBlock(const unsigned char *block, size_t size);
// The bytes to allocate for a block of the reported size. VerQueryValueA writes the ANSI
// copy of a 32-bit block's text at the text's own offset past the root and four bytes, so
// anywhere below twice the root plus four, whatever the block says: a 16-bit file with a
// resource in the 32-bit layout is read without the "FE2X" mark and reported at a size
// that may fall short of that. A sound block's root is no longer than size, so twice the
// size plus four holds every copy; at the size limit that is 1 MB and 4 bytes.
size_t VersionBlockRoom(size_t size);

// file_version_win32.cpp (file_version_host.cpp on the build host)
// The product version of the file at path, or "No Version Info"; text holds at least
// TextBufferSize bytes. Returns 1 when a version was found, else 0.
int GetFileProductVersion(const char *path, char *text);

// display.cpp
void FormatResolution(long width, long height, char *out, size_t size);
void FormatColorDepth(long bitsPerPixel, char *out, size_t size);

// drives.cpp: byte counts as texts such as 1.50GB, and the free-space rows' texts.
void FormatByteSize(uint32_t bytes, char *out, size_t size);
void FormatByteSize64(uint64_t bytes, char *out, size_t size);
// A count that fits 32 bits keeps FormatByteSize's text; a larger one is shown in its true
// size through FormatByteSize64.
void FormatByteCount(uint64_t bytes, char *out, size_t size);
// The root name of drive bit n of the drive mask, such as "C:\".
void FormatDriveRoot(int bit, char *out, size_t size);
// Drives A and B are never asked about: asking wakes a floppy drive.
bool IsFloppyDriveRoot(const char *root);
// The root name of drive bit n when the drive mask has it and it is neither A nor B; the
// free-space and CD-ROM walks look only at these.
bool ListedDriveRoot(uint32_t drives, int bit, char *root, size_t size);
// The free space the cluster-based query describes, in its true size.
void FormatClusterFreeSpace(uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                            uint32_t freeClusters, char *out, size_t size);
// The details of a "Free Disk Space" row: root, three spaces, free-space text.
void FormatFreeSpaceDetails(const char *root, const char *freeSpace, char *out, size_t size);

// memory.cpp
// The figures the memory and swap-file rows show.
struct MemoryFigures {
    uint32_t memoryLoad; // percent of physical memory in use
    uint64_t totalPhys;
    uint64_t totalPageFile;
    uint64_t availPageFile;
};
// The total physical memory in whole GB, MB or KB, rounded up to an even figure.
void FormatPhysicalMemory(uint64_t totalBytes, char *out, size_t size);
void FormatMemoryLoad(uint32_t percent, char *out, size_t size);
// The extended figures where the system has them, else the legacy ones.
void ReadMemoryFigures(MemoryFigures *figures);

// memory_win32.cpp (memory_host.cpp on the build host): the two status queries. The
// extended one gives false where the system lacks it (before Windows 2000) or it fails.
bool QueryExtendedMemoryStatus(MemoryFigures *figures);
void QueryMemoryStatus(MemoryFigures *figures);

// network.cpp: the rows for the protocols whose sockets could be created.
void ReportNetworkProtocols(bool hasTcpIp, bool hasIpx);

// cdrom.cpp: the access-mode decision, updated once per CD-ROM drive in letter order.
struct CdromAccessState {
    bool mode32;             // the 32-bit text is shown
    bool suppress;           // no row at all
    uint32_t bytesPerSector; // from the latest query that delivered one; kept across drives
};
void StartCdromAccessState(CdromAccessState *state);
// One CD-ROM drive's query: delivered is false when it failed and wrote nothing.
void NoteCdromDrive(CdromAccessState *state, bool delivered, uint32_t bytesPerSector);
// The row's details, or NULL when no row is to be added.
const char *DescribeCdromAccessMode(const CdromAccessState *state);

// devices.cpp
enum { DeviceKeySize = 260 };
// Gives the product version of the file at path in text (260 bytes), or the "no version"
// text; the result (1 found, 0 not) is not needed for the device rows.
typedef int (*ProductVersionLookup)(const char *path, char *text);
// 1 when the n-th present device without a problem (counting from 0) whose class equals
// className (without regard to case; any class when className is NULL) exists, deviceKey
// then holding its hardware key path below HKEY_LOCAL_MACHINE; else 0.
int FindPresentDevice(int n, const char *className, char *deviceKey);
// Reads a device's value from its hardware key or else from its driver key (with subKey
// behind it when given): 1 when read into out, else 0 with out empty.
int QueryDeviceValue(const char *deviceKey, const char *subKey, const char *valueName,
                     char *out, int outSize);
// Adds the display adapter and multimedia rows; driver files are looked for in the
// "System" folder of windowsDirectory.
void AddDeviceRows(const char *windowsDirectory, ProductVersionLookup lookup);

// titles.cpp
// True when name holds a fragment of the skip list (compared case-sensitively).
bool IsSkippedTitle(const char *name);
// Adds a "Kelto Title" row for each new subkey name of an open key.
void AddTitlesUnderKey(RegKey key);

#endif
