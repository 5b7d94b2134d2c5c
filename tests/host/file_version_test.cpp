// Choosing the product version among a file's string tables, cutting long values, and
// checking version blocks before VERSION.DLL walks them.
#include "probes/probes.h"
#include "probes/version_table.h"

#include <gtest/gtest.h>

#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace {

const char *const key1252 = "\\StringFileInfo\\040904E4\\ProductVersion";
const char *const key1200 = "\\StringFileInfo\\040904B0\\ProductVersion";

const VersionTableEntry versionTable[] = {
    {"both.dll", key1200, "1200 table"},
    {"both.dll", key1252, "1252 table"},
    {"only1200.dll", key1200, "3.10.00.0466 "},
    {"only1252.dll", key1252, "2.53, beta"},
    {"german.dll", "\\StringFileInfo\\040704E4\\ProductVersion", "1.0"},
    {"noproduct.dll", "\\StringFileInfo\\040904E4\\FileVersion", "1.0"},
};

TEST(GetFileProductVersion, CodePage1252FirstThen1200)
{
    SetVersionTable(versionTable, sizeof versionTable / sizeof versionTable[0]);
    const struct {
        const char *path;
        int found;
        const char *text;
    } cases[] = {
        {"both.dll", 1, "1252 table"},
        {"only1200.dll", 1, "3.10.00.0466 "}, // copied as stored
        {"only1252.dll", 1, "2.53, beta"},
        {"german.dll", 0, "No Version Info"},
        {"noproduct.dll", 0, "No Version Info"},
        {"missing.dll", 0, "No Version Info"},
    };
    for (const auto &c : cases) {
        char text[260];
        EXPECT_EQ(c.found, GetFileProductVersion(c.path, text)) << c.path;
        EXPECT_STREQ(c.text, text) << c.path;
    }
    SetVersionTable(NULL, 0);
}

// A value of span bytes with no zero of its own.
bool QueryUnterminated(const void *resource, const char *, const char **value, size_t *span)
{
    *value = (const char *)resource;
    *span = 4;
    return true;
}

TEST(PickProductVersion, StaysInsideTheValueAndTheBuffer)
{
    const char unterminated[] = {'1', '.', '0', '5', '!', '!'};
    char text[260];
    memset(text, 'x', sizeof text);
    EXPECT_EQ(1, PickProductVersion(QueryUnterminated, unterminated, text, sizeof text));
    EXPECT_STREQ("1.05", text);

    std::string longVersion(600, '9');
    const VersionTableEntry longEntry[] = {{"long.dll", key1252, longVersion.c_str()}};
    SetVersionTable(longEntry, 1);
    EXPECT_EQ(1, GetFileProductVersion("long.dll", text));
    EXPECT_EQ(std::string(259, '9'), text);
    SetVersionTable(NULL, 0);
}

typedef std::vector<unsigned char> Bytes;

void PutWord(Bytes &bytes, size_t at, size_t word)
{
    bytes[at] = (unsigned char)word;
    bytes[at + 1] = (unsigned char)(word >> 8);
}

void PadTo32Bits(Bytes &bytes)
{
    while (bytes.size() % 4)
        bytes.push_back(0);
}

// A text as a node stores it: Unicode (wide) or ANSI, with its zero.
Bytes Text(const char *text, bool wide)
{
    Bytes bytes;
    for (const char *c = text;; ++c) {
        bytes.push_back((unsigned char)*c);
        if (wide)
            bytes.push_back(0);
        if (!*c)
            return bytes;
    }
}

// One node of a 32-bit (wide) or 16-bit block as resource compilers lay it out: each
// child on a 32-bit boundary, the length without the padding after the last one.
Bytes Node(bool wide, const char *key, int type, const Bytes &value,
           const std::vector<Bytes> &children = std::vector<Bytes>())
{
    Bytes node(wide ? 6 : 4, 0);
    Bytes keyText = Text(key, wide);
    node.insert(node.end(), keyText.begin(), keyText.end());
    PadTo32Bits(node);
    node.insert(node.end(), value.begin(), value.end());
    for (const Bytes &child : children) {
        PadTo32Bits(node);
        node.insert(node.end(), child.begin(), child.end());
    }
    PutWord(node, 0, node.size());
    PutWord(node, 2, wide && type == 1 ? value.size() / 2 : value.size());
    if (wide)
        PutWord(node, 4, type);
    return node;
}

Bytes StringTable(bool wide, const char *name, const char *version)
{
    return Node(wide, name, 1, Bytes(),
                {Node(wide, "FileVersion", 1, Text("3.10.00.0658", wide)),
                 Node(wide, "ProductVersion", 1, Text(version, wide))});
}

Bytes FixedInfo()
{
    Bytes fixedInfo(52, 0);
    PutWord(fixedInfo, 0, 0x04BD);
    PutWord(fixedInfo, 2, 0xFEEF);
    return fixedInfo;
}

// A whole block as GetFileVersionInfoA leaves it: a 32-bit one followed by the mark and
// the room for ANSI copies, as Wine's and Windows 2000's VERSION.DLL lay it out.
Bytes VersionBlock(bool wide, const std::vector<Bytes> &tables)
{
    Bytes fixedInfo = FixedInfo();
    Bytes translation = {0x09, 0x04, 0xE4, 0x04};
    Bytes block = Node(wide, "VS_VERSION_INFO", 0, fixedInfo,
                       {Node(wide, "StringFileInfo", 1, Bytes(), tables),
                        Node(wide, "VarFileInfo", 1, Bytes(),
                             {Node(wide, "Translation", 0, translation)})});
    if (wide) {
        size_t length = block.size();
        block.insert(block.end(), {'F', 'E', '2', 'X'});
        block.resize(2 * length + 4, 0);
    }
    return block;
}

Bytes Block1252(bool wide = true)
{
    return VersionBlock(wide, {StringTable(wide, "040904E4", "2.53, cp 1252 ")});
}

// The offset of the node whose key is key (its first occurrence).
size_t NodeAt(const Bytes &block, const char *key, bool wide = true)
{
    Bytes keyText = Text(key, wide);
    keyText.pop_back();
    if (wide)
        keyText.pop_back();
    size_t at = std::search(block.begin(), block.end(), keyText.begin(), keyText.end()) -
                block.begin();
    return at - (wide ? 6 : 4);
}

size_t Word(const Bytes &block, size_t at)
{
    return block[at] | block[at + 1] << 8;
}

void AddToLength(Bytes &block, const char *key, int change)
{
    size_t node = NodeAt(block, key);
    PutWord(block, node, Word(block, node) + change);
}

// A 16-bit file's resource in the 32-bit layout as GetFileVersionInfoA leaves it: the
// resource bytes, no mark, zeros to the (resource - 52) x 4 bytes it reports. The root
// holds its fixed information and the nodes on the way to one ProductVersion, whose value
// starts at offset 188. A claimed root makes each of them, and the value, run to it.
Bytes SixteenBitFileBlock(size_t resource, size_t claimedRoot = 0)
{
    Bytes block = Node(true, "VS_VERSION_INFO", 0, FixedInfo(),
                       {Node(true, "StringFileInfo", 1, Bytes(),
                             {Node(true, "040904E4", 1, Bytes(),
                                   {Node(true, "ProductVersion", 1, Text("2.43 ne", true))})})});
    if (claimedRoot) {
        for (const char *key : {"StringFileInfo", "040904E4", "ProductVersion"})
            PutWord(block, NodeAt(block, key), claimedRoot - NodeAt(block, key));
        PutWord(block, 0, claimedRoot);
        PutWord(block, NodeAt(block, "ProductVersion") + 2, (claimedRoot - 188) / 2);
    }
    block.resize(resource, 0);
    block.resize((resource - 52) * 4, 0);
    return block;
}

// The smallest unmarked block VerQueryValueA finds a text in: a root of 106 bytes with an
// empty key (never compared) and a one-character value at offset 104, in 160 bytes.
Bytes SmallestUnmarkedBlock()
{
    Bytes block = Node(true, "", 0, Bytes(),
                       {Node(true, "StringFileInfo", 1, Bytes(),
                             {Node(true, "040904E4", 1, Bytes(),
                                   {Node(true, "ProductVersion", 1, Text("", true))})})});
    block.resize(160, 0);
    return block;
}

// The Windows NT 4.0 layout: no mark, half the root again after it.
Bytes NtBlock()
{
    Bytes block = Block1252();
    size_t length = Word(block, 0);
    block.resize(length);
    block.resize(length + length / 2, 0);
    return block;
}

TEST(IsSoundVersionBlock, WalksOnlyBlocksWhoseLengthsHold)
{
    const size_t product = NodeAt(Block1252(), "ProductVersion");
    const struct {
        const char *what;
        Bytes block;
        bool sound;
    } cases[] = {
        {"code page 1252 table", Block1252(), true},
        {"code page 1200 table",
         VersionBlock(true, {StringTable(true, "040904B0", "3.10.00.0658 cp 1200")}), true},
        {"both tables",
         VersionBlock(true, {StringTable(true, "040904E4", "2.53"),
                             StringTable(true, "040904B0", "3.10")}), true},
        {"16-bit block", Block1252(false), true},
        {"no string table", VersionBlock(true, {}), true},
        {"root past the bytes read",
         [] { Bytes b = Block1252(); PutWord(b, 0, 0xFFFF); return b; }(), false},
        {"root inside the bytes, no room for the ANSI copies",
         [] { Bytes b = Block1252(); b.pop_back(); return b; }(), false},
        {"no mark, half the root again after it (Windows NT 4.0)", NtBlock(), true},
        {"16-bit file, 32-bit layout", SixteenBitFileBlock(400), true},
        {"16-bit file, root claiming 928 of its 1392 bytes", SixteenBitFileBlock(400, 928),
         true},
        {"smallest unmarked block", SmallestUnmarkedBlock(), true},
        {"no mark, a byte less than half the root again",
         [] { Bytes b = Block1252(); size_t n = Word(b, 0); b.resize(n);
              b.resize(n + n / 2 - 1, 0); return b; }(), false},
        {"no mark, root too close to the end for it",
         [] { Bytes b = Block1252(); b.resize(Word(b, 0) + 3); return b; }(), false},
        {"root ending 2 bytes into a node header",
         [] { Bytes b = Block1252(false); PadTo32Bits(b); b.resize(b.size() + 2, 0);
              PutWord(b, 0, b.size()); return b; }(), false},
        {"16-bit root past the bytes read",
         [] { Bytes b = Block1252(false); PutWord(b, 0, b.size() + 4); return b; }(), false},
        {"table past the string-file node",
         [] { Bytes b = Block1252(); AddToLength(b, "040904E4", 4); return b; }(), false},
        {"value past its table",
         [] { Bytes b = Block1252(); AddToLength(b, "ProductVersion", 8); return b; }(), false},
        {"zero-length value node",
         [] { Bytes b = Block1252(); PutWord(b, NodeAt(b, "ProductVersion"), 0); return b; }(),
         false},
        {"zero-length root", [] { Bytes b = Block1252(); PutWord(b, 0, 0); return b; }(), false},
        {"odd length cutting the value's zero: the value stays in the root",
         [] { Bytes b = Block1252(); AddToLength(b, "ProductVersion", -1); return b; }(), true},
        {"odd length after 3 bytes of binary value",
         VersionBlock(true, {Node(true, "040904E4", 0, Bytes(3, 0x7F))}), true},
        {"text length counted in bytes: past its node, inside the root",
         [=] { Bytes b = Block1252(); PutWord(b, product + 2, Word(b, product + 2) * 2);
               return b; }(), true},
        {"value running past the root",
         [=] { Bytes b = Block1252(); PutWord(b, product + 2, 0x7FFF); return b; }(), false},
        {"key without its zero, no value; U+0100 is no zero",
         [=] { Bytes b = Block1252(); PutWord(b, product + 2, 0);
               memset(&b[product + 6], 'K', Word(b, product) - 6);
               PutWord(b, product + 8, 0x100); return b; }(), false},
        {"bytes after a value, which nothing reads",
         VersionBlock(true, {Node(true, "040904E4", 1, Bytes(),
                                  {Node(true, "ProductVersion", 1, Text("1.0", true),
                                        {Bytes(4, 0xFF)})})}), true},
        {"value without its zero: read within the block",
         [=] { Bytes b = Block1252(); b[product + Word(b, product) - 2] = '#'; return b; }(),
         true},
        {"type neither text nor binary: taken as text",
         [=] { Bytes b = Block1252(); PutWord(b, product + 4, 2); return b; }(), true},
        {"the 2 bytes Wine reports for a resource of 0x7FFFFFFF",
         [] { Bytes b = Block1252(); b.resize(2); return b; }(), false},
        {"empty", Bytes(), false},
    };
    for (const auto &c : cases) {
        const Bytes exact(c.block); // a buffer of the block's own size: a read past it shows
        EXPECT_EQ(c.sound, IsSoundVersionBlock(exact.data(), exact.size())) << c.what;
    }
}

// VerQueryValueA writes a text's ANSI copy at the root's end, plus four, plus the text's
// offset, giving the conversion at most root - offset bytes: in the room VersionBlockRoom
// gives, it stays inside whatever the block says after its root (ASan sees a write past).
TEST(VersionBlockRoom, HoldsEveryAnsiCopy)
{
    const struct {
        const char *what;
        Bytes block;
        size_t copyStart; // where VerQueryValueA writes the ProductVersion copy
    } cases[] = {
        {"marked block", Block1252(), 0},
        {"Windows NT 4.0 layout", NtBlock(), 0},
        {"16-bit file, 32-bit layout", SixteenBitFileBlock(400), 0},
        {"16-bit file, root claiming 928 of its 1392 bytes", SixteenBitFileBlock(400, 928),
         1120},
        {"smallest unmarked block", SmallestUnmarkedBlock(), 214},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(IsSoundVersionBlock(c.block.data(), c.block.size())) << c.what;
        size_t root = Word(c.block, 0);
        size_t product = NodeAt(c.block, "ProductVersion");
        size_t value = product + 36; // header and key, on a 32-bit boundary
        size_t start = root + 4 + value;
        if (c.copyStart) {
            EXPECT_EQ(c.copyStart, start) << c.what;
        }
        // Two bytes a character at most (a double-byte code page), cut at root - value.
        size_t bytes = std::min(2 * Word(c.block, product + 2), root - value);
        Bytes room(VersionBlockRoom(c.block.size()));
        memcpy(room.data(), c.block.data(), c.block.size());
        memset(room.data() + start, '?', bytes);
    }
}

// Sizes as a lying resource entry makes GetFileVersionInfoSizeA report them: refused
// before any byte of the block is looked at (the block holds far fewer).
TEST(IsUsableVersionBlockSize, RefusesSizesNoVersionResourceReaches)
{
    const struct {
        size_t size;
        bool usable;
    } cases[] = {
        {0, false}, {2 * 0xFFFF + 4, true}, {VersionBlockLimit, true},
        {VersionBlockLimit + 1, false}, {0xFFFFFFFF, false},
    };
    const Bytes block = Block1252();
    for (const auto &c : cases) {
        EXPECT_EQ(c.usable, IsUsableVersionBlockSize(c.size)) << c.size;
        if (!c.usable && c.size > block.size()) {
            EXPECT_FALSE(IsSoundVersionBlock(block.data(), c.size)) << c.size;
        }
    }
}

} // namespace
