// File product versions read from a file's version resource with the VERSION functions.
#include "probes.h"
#include "../base/tarrow.h"

#include <windows.h>

// The resource block as read, in room bytes (VersionBlockRoom), with two zero bytes after
// them. The ANSI copies VerQueryValueA makes may lie past the reported size, in the room.
struct VersionBlock {
    const char *start;
    size_t room;
};

// Values are taken as zero-terminated texts, bounded by the end of the room: a value that
// lacks its zero stops at the zero byte placed after it.
static bool QueryVersionBlock(const void *resource, const char *key, const char **value,
                              size_t *span)
{
    const VersionBlock *block = (const VersionBlock *)resource;
    void *found = NULL;
    UINT length = 0;
    if (!VerQueryValueA((void *)block->start, (char *)key, &found, &length) || !found)
        return false;
    const char *text = (const char *)found;
    const char *end = block->start + block->room + 1;
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
    // The room for the ANSI copies is allocated with the block, before the root that
    // decides how far they reach is read: one allocation and one failure path, where
    // growing the block once the root is known would add a second allocation that can fail
    // and move it. It costs the reported size again and four bytes, for this call only.
    // Two zero bytes after the room: the first ends an ANSI text, the pair a Unicode one
    // (the room is even), should anything read up to the end.
    size_t room = VersionBlockRoom(size);
    HANDLE heap = GetProcessHeap();
    char *data = (char *)HeapAlloc(heap, HEAP_ZERO_MEMORY, room + 2);
    if (!data)
        return NoProductVersion(text, TextBufferSize);
    int found = 0;
    // GetFileVersionInfoA is given the size it reported. VerQueryValueA trusts every length
    // in the block: it is asked only about a block whose lengths hold.
    if (GetFileVersionInfoA((char *)path, 0, size, data) &&
        IsSoundVersionBlock((const unsigned char *)data, size)) {
        VersionBlock block = {data, room};
        found = PickProductVersion(QueryVersionBlock, &block, text, TextBufferSize);
    } else {
        NoProductVersion(text, TextBufferSize);
    }
    HeapFree(heap, 0, data);
    return found;
}
