// Byte counts as short texts with a unit (1.50GB, 1023Bytes), and the texts of the
// free-space rows.
#include "probes.h"
#include "../base/text.h"

// Writes count / 2^shift with two decimals and the unit, a value exactly halfway between
// two printable values rounded up. The hundredths are computed in integers: the C
// libraries disagree on how printf rounds halves. Callers keep count / 2^shift below
// 2^24, so the hundredths fit 32 bits and count * 100 fits 64 bits; only shifts and a
// 32-bit division are used, which need no helper routines on the 486.
static void FormatFraction(uint64_t count, int shift, const char *unit, char *out, size_t size)
{
    uint64_t half = (uint64_t)1 << (shift - 1);
    unsigned long hundredths = (unsigned long)((count * 100 + half) >> shift);
    FormatText(out, size, "%lu.%02lu%s", hundredths / 100, hundredths % 100, unit);
}

// Counts above 2^30, 2^20 and 2^10 bytes are shown in GB, MB and KB; 1024 and less as
// whole bytes.
void FormatByteSize(uint32_t bytes, char *out, size_t size)
{
    if (bytes > 0x40000000u)
        FormatFraction(bytes, 30, "GB", out, size);
    else if (bytes > 0x100000u)
        FormatFraction(bytes, 20, "MB", out, size);
    else if (bytes > 0x400u)
        FormatFraction(bytes, 10, "KB", out, size);
    else
        FormatText(out, size, "%luBytes", (unsigned long)bytes);
}

// Whole KB are counted first (the rest dropped), and at least 2^20 KB are shown in GB,
// at least 2^10 KB in MB, fewer as whole KB. Counts of 2^32 KB (4 TB) and more, which
// the GB form would show in five digits and more, are shown in TB.
void FormatByteSize64(uint64_t bytes, char *out, size_t size)
{
    uint64_t kb = bytes >> 10;
    if (bytes < 0x400u)
        FormatText(out, size, "%luBytes", (unsigned long)bytes);
    else if (kb >= ((uint64_t)1 << 32))
        FormatFraction(kb, 30, "TB", out, size);
    else if (kb >= 0x100000u)
        FormatFraction(kb, 20, "GB", out, size);
    else if (kb >= 0x400u)
        FormatFraction(kb, 10, "MB", out, size);
    else
        FormatText(out, size, "%luKB", (unsigned long)kb);
}

void FormatDriveRoot(int bit, char *out, size_t size)
{
    FormatText(out, size, "%c:\\", 'A' + bit);
}

bool IsFloppyDriveRoot(const char *root)
{
    return ContainsText(root, "A:") || ContainsText(root, "B:");
}

bool ListedDriveRoot(uint32_t drives, int bit, char *root, size_t size)
{
    if (!(drives & (1UL << bit)))
        return false;
    FormatDriveRoot(bit, root, size);
    return !IsFloppyDriveRoot(root);
}

void FormatByteCount(uint64_t bytes, char *out, size_t size)
{
    if (bytes > 0xFFFFFFFFu)
        FormatByteSize64(bytes, out, size);
    else
        FormatByteSize((uint32_t)bytes, out, size);
}

// The product is formed in 64 bits: large drives hold more than 4 GB in free clusters.
void FormatClusterFreeSpace(uint32_t sectorsPerCluster, uint32_t bytesPerSector,
                            uint32_t freeClusters, char *out, size_t size)
{
    FormatByteCount((uint64_t)freeClusters * bytesPerSector * sectorsPerCluster, out, size);
}

void FormatFreeSpaceDetails(const char *root, const char *freeSpace, char *out, size_t size)
{
    FormatText(out, size, "%s   %s", root, freeSpace);
}
