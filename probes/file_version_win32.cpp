// File product versions read from a file's version resource with the VERSION functions.
#include "probes.h"
#include "../app/tarrow.h"

#include <windows.h>

// The resource block as read, with two zero bytes after its reported size.
struct VersionBlock {
    const char *start;
    size_t size;
};

// Values are taken as zero-terminated texts, bounded by the end of the block: a value
// that lacks its zero stops at the zero byte placed after the block.
static bool QueryVersionBlock(const void *resource, const char *key, const char **value,
                              size_t *span)
{
    const VersionBlock *block = (const VersionBlock *)resource;
    void *found = NULL;
    UINT length = 0;
    if (!VerQueryValueA((void *)block->start, (char *)key, &found, &length) || !found)
        return false;
    const char *text = (const char *)found;
    const char *end = block->start + block->size + 1;
    if (text < block->start || text >= end)
        return false; // not inside the block: not ours to read
    *value = text;
    *span = (size_t)(end - text);
    return true;
}

int GetFileProductVersion(const char *path, char *text)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA((char *)path, &handle);
    if (!IsUsableVersionBlockSize(size))
        return NoProductVersion(text, TextBufferSize); // none, or a resource entry that lies
    // Two zero bytes after the block: the first ends an ANSI text, the pair a Unicode one
    // (the reported size of a 32-bit block is even), should anything read up to the end.
    HANDLE heap = GetProcessHeap();
    char *data = (char *)HeapAlloc(heap, HEAP_ZERO_MEMORY, size + 2);
    if (!data)
        return NoProductVersion(text, TextBufferSize);
    int found = 0;
    // VerQueryValueA trusts every length in the block: it is asked only about a block
    // whose lengths hold.
    if (GetFileVersionInfoA((char *)path, 0, size, data) &&
        IsSoundVersionBlock((const unsigned char *)data, size)) {
        VersionBlock block = {data, size};
        found = PickProductVersion(QueryVersionBlock, &block, text, TextBufferSize);
    } else {
        NoProductVersion(text, TextBufferSize);
    }
    HeapFree(heap, 0, data);
    return found;
}
