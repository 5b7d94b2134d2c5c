// Choosing the product version among the string tables of a version resource: only the
// US English tables are read, the Windows Latin-1 one before the Unicode one. And checking
// a version block's lengths before VERSION.DLL is let loose on it, and the room it needs.
#include "probes.h"
#include "../base/text.h"

#include <string.h>

const char *const productVersionKeys[ProductVersionKeyCount] = {
    "\\StringFileInfo\\040904E4\\ProductVersion",
    "\\StringFileInfo\\040904B0\\ProductVersion",
};

int NoProductVersion(char *text, size_t size)
{
    CopyText(text, size, "No Version Info");
    return 0;
}

int PickProductVersion(VersionValueQuery query, const void *resource, char *text, size_t size)
{
    for (int i = 0; i < ProductVersionKeyCount; ++i) {
        const char *value = NULL;
        size_t span = 0;
        if (query(resource, productVersionKeys[i], &value, &span) && value) {
            // Copied as stored, cut at the buffer and at the value's span, so a value
            // without its zero is never read past its resource.
            size_t length = BoundedLength(value, span);
            CopyText(text, length + 1 < size ? length + 1 : size, value);
            return 1;
        }
    }
    return NoProductVersion(text, size);
}

// Checking a version block before VERSION.DLL walks it. A node of the block is
//   wLength, wValueLength, [wType,] key (zero-terminated), padding to 32 bits, value,
//   padding to 32 bits, child nodes (each starting on a 32-bit boundary)
// with 16-bit little-endian words. A 32-bit resource has the type word and Unicode keys,
// its wValueLength counting characters for a text value (type 1) and bytes for binary
// data (type 0); a 16-bit resource has neither the type word nor Unicode, and counts bytes.
// Offsets below are from the block's start, where the root node sits, so every node
// starts on a 32-bit boundary of the block as well as of its parent.

struct VersionNodeLayout {
    size_t header;   // bytes before the key
    size_t charSize; // bytes per key character
    bool typed;      // has the type word
};
static const VersionNodeLayout unicodeNodes = {6, 2, true};
static const VersionNodeLayout ansiNodes = {4, 1, false};

// VerQueryValueA goes no deeper for "\StringFileInfo\<table>\ProductVersion": the root,
// the string-file node, the table, the value. Nodes at the last level are checked but
// not what follows their value, which nothing reads.
enum { VersionLeafDepth = 3 };

// VERSION.DLL of Windows 2000 and later, and Wine's, put these four bytes right after the
// root node of a 32-bit block and the ANSI copies of its texts after them, each at the
// offset of its Unicode original: the copies reach up to twice the root plus four.
static const unsigned char ansiCopiesMark[4] = {'F', 'E', '2', 'X'};

static size_t ReadWord(const unsigned char *at)
{
    return (size_t)at[0] | (size_t)at[1] << 8;
}

static size_t AlignTo32Bits(size_t offset)
{
    return (offset + 3) & ~(size_t)3;
}

// The offset just past the zero that ends the key starting at start, or 0 when no zero
// lies before end.
static size_t KeyEnd(const unsigned char *block, size_t start, size_t end, size_t charSize)
{
    for (size_t at = start; at + charSize <= end; at += charSize) {
        if (block[at] == 0 && (charSize == 1 || block[at + 1] == 0))
            return at + charSize;
    }
    return 0;
}

// Checks the node at offset, which must end by limit, and the nodes below it. A value may
// run past its own node, as texts do whose length a resource compiler counted in bytes,
// as long as it stays inside the root, rootEnd: VERSION.DLL reads and converts no more.
static bool IsSoundVersionNode(const unsigned char *block, size_t offset, size_t limit,
                               size_t rootEnd, const VersionNodeLayout &layout, int depth)
{
    if (offset + layout.header > limit)
        return false;
    size_t length = ReadWord(block + offset);
    size_t end = offset + length;
    if (end > limit)
        return false; // past its parent (a node too short for its key fails below)
    size_t valueSize = ReadWord(block + offset + 2);
    // Any type but 0 (binary) counts characters of two bytes, as VERSION.DLL takes it.
    if (layout.typed && ReadWord(block + offset + 4) != 0)
        valueSize *= 2;
    size_t keyEnd = KeyEnd(block, offset + layout.header, end, layout.charSize);
    if (keyEnd == 0)
        return false;
    size_t value = AlignTo32Bits(keyEnd);
    if (valueSize > 0 && value + valueSize > rootEnd)
        return false;
    if (depth == VersionLeafDepth)
        return true;
    // Children follow one another to the node's end; each one's length is checked before
    // it is used to find the next.
    for (size_t child = AlignTo32Bits(value + valueSize); child < end;
         child += AlignTo32Bits(ReadWord(block + child))) {
        if (!IsSoundVersionNode(block, child, end, rootEnd, layout, depth + 1))
            return false;
    }
    return true;
}

bool IsUsableVersionBlockSize(size_t size)
{
    return size > 0 && size <= VersionBlockLimit;
}

bool IsSoundVersionBlock(const unsigned char *block, size_t size)
{
    if (!IsUsableVersionBlockSize(size) || size < 5)
        return false;
    // Byte 4 tells the layouts apart as VerQueryValueA does: a printable character starts
    // a 16-bit block's key, the low byte of a 32-bit block's type word is 0 or 1.
    bool ansi = block[4] >= 0x20 && block[4] < 0x80;
    size_t length = ReadWord(block);
    if (!IsSoundVersionNode(block, 0, size, length, ansi ? ansiNodes : unicodeNodes, 0))
        return false;
    if (ansi)
        return true; // values are read where they are stored
    // The block must have the room its VERSION.DLL asked for; the copies themselves go into
    // VersionBlockRoom, which holds them whether or not the mark is there.
    if (length + sizeof ansiCopiesMark <= size &&
        memcmp(block + length, ansiCopiesMark, sizeof ansiCopiesMark) == 0)
        return 2 * length + sizeof ansiCopiesMark <= size;
    // Without the mark: Windows NT 4.0 asks for one and a half times the root. This also
    // keeps out a root that runs so close to the end that the mark did not fit.
    return length + length / 2 <= size;
}

size_t VersionBlockRoom(size_t size)
{
    return 2 * size + sizeof ansiCopiesMark;
}
