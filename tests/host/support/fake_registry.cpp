// The in-memory registry's key tree and the functions tests build and change it with: key
// names are matched without regard to case, subkeys enumerate in the order they were made.
// A deleted key is kept, marked, until the reset, so that handles open on it can tell.
#include "fake_registry.h"
#include "fake_registry_tree.h"

#include <string.h>

namespace fake_registry
{

FakeKey localMachine, nativeLocalMachine, dynData;
std::vector<std::unique_ptr<FakeKey>> deletedKeys;
std::set<FakeHandle *> openHandles;
unsigned long understatement = 0;
unsigned long overstatement = 0;
FakeCallHook callHook = nullptr;
bool junkOnMoreData = false;
FakeAccount account = FakeLimitedAccount;
int openRequests = 0;
int writeRightRequests = 0;
bool underWow64 = false;
bool sixtyFourBitProgram = false;
int nativeViewRequests = 0;
int thirtyTwoBitViewRequests = 0;

namespace
{

std::vector<std::string> SplitPath(const std::string &path)
{
    std::vector<std::string> parts;
    for (size_t start = 0; start < path.size();) {
        size_t end = path.find('\\', start);
        if (end == std::string::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

FakeKey *FindSubKey(FakeKey *key, const std::string &name)
{
    for (auto &sub : key->subKeys)
        if (SameName(sub->name, name))
            return sub.get();
    return nullptr;
}

void MarkDeleted(FakeKey *key)
{
    key->deleted = true;
    for (auto &sub : key->subKeys)
        MarkDeleted(sub.get());
}

// Takes the index-th subkey out of its parent; it lives on, marked, until the reset.
void DeleteSubKeyAt(FakeKey *parent, size_t index)
{
    MarkDeleted(parent->subKeys[index].get());
    deletedKeys.push_back(std::move(parent->subKeys[index]));
    parent->subKeys.erase(parent->subKeys.begin() + index);
}

void DeleteKey(FakeKey *key)
{
    if (!key->parent) { // a root: empty it
        while (!key->subKeys.empty())
            DeleteSubKeyAt(key, key->subKeys.size() - 1);
        key->values.clear();
        return;
    }
    FakeKey *parent = key->parent;
    for (size_t i = 0; i < parent->subKeys.size(); ++i)
        if (parent->subKeys[i].get() == key) {
            DeleteSubKeyAt(parent, i);
            return;
        }
}

} // namespace

bool SameName(const std::string &a, const std::string &b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

FakeKey *Walk(FakeKey *key, const std::string &path, bool create)
{
    for (const std::string &part : SplitPath(path)) {
        FakeKey *sub = FindSubKey(key, part);
        if (!sub && create) {
            key->subKeys.emplace_back(new FakeKey{part, key, {}, {}, false});
            sub = key->subKeys.back().get();
        }
        if (!sub)
            return nullptr;
        key = sub;
    }
    return key;
}

// Open handles are records of their own, so that a leak or a double close shows.
FakeKey *Target(RegKey key)
{
    if (key == REG_LOCAL_MACHINE)
        return &localMachine;
    if (key == FAKE_NATIVE_LOCAL_MACHINE)
        return &nativeLocalMachine;
    if (key == REG_DYN_DATA)
        return &dynData;
    FakeHandle *handle = (FakeHandle *)key;
    return openHandles.count(handle) ? handle->key : nullptr;
}

} // namespace fake_registry

using namespace fake_registry;

void ResetFakeRegistry()
{
    localMachine = FakeKey();
    nativeLocalMachine = FakeKey();
    dynData = FakeKey();
    for (FakeHandle *handle : openHandles)
        delete handle;
    openHandles.clear();
    deletedKeys.clear();
    understatement = 0;
    overstatement = 0;
    callHook = nullptr;
    junkOnMoreData = false;
    account = FakeLimitedAccount;
    openRequests = 0;
    writeRightRequests = 0;
    underWow64 = false;
    sixtyFourBitProgram = false;
    nativeViewRequests = 0;
    thirtyTwoBitViewRequests = 0;
}

void AddFakeKey(RegKey root, const std::string &path)
{
    Walk(Target(root), path, true);
}

void SetFakeValue(RegKey root, const std::string &path, const std::string &name,
                  const std::string &bytes)
{
    FakeKey *key = Walk(Target(root), path, true);
    for (auto &value : key->values)
        if (SameName(value.first, name)) {
            value.second = bytes;
            return;
        }
    key->values.emplace_back(name, bytes);
}

void SetFakeText(RegKey root, const std::string &path, const std::string &name,
                 const std::string &text)
{
    SetFakeValue(root, path, name, text + std::string(1, '\0'));
}

void SetFakeNumber(RegKey root, const std::string &path, const std::string &name,
                   uint32_t value)
{
    std::string bytes;
    for (int i = 0; i < 4; ++i)
        bytes += (char)(value >> (8 * i) & 0xFF);
    SetFakeValue(root, path, name, bytes);
}

void UnderstateFakeLongestSubKey(unsigned long by)
{
    understatement = by;
}

void OverstateFakeLongestSubKey(unsigned long by)
{
    overstatement = by;
}

int CountOpenFakeKeys()
{
    return (int)openHandles.size();
}

void SetFakeAccount(FakeAccount who)
{
    account = who;
}

int CountFakeOpenRequests()
{
    return openRequests;
}

int CountFakeWriteRightRequests()
{
    return writeRightRequests;
}

void SetFakeWow64(bool wow64)
{
    underWow64 = wow64;
}

void SetFake64BitProgram(bool sixtyFourBit)
{
    sixtyFourBitProgram = sixtyFourBit;
}

int CountFakeNativeViewRequests()
{
    return nativeViewRequests;
}

int CountFake32BitViewRequests()
{
    return thirtyTwoBitViewRequests;
}

void DeleteFakeKey(RegKey key, const std::string &path)
{
    FakeKey *from = Target(key);
    FakeKey *found = from ? Walk(from, path, false) : nullptr;
    if (found && !found->deleted)
        DeleteKey(found);
}

void DeleteFakeSubKey(RegKey key, unsigned long index)
{
    FakeKey *target = Target(key);
    if (target && index < target->subKeys.size())
        DeleteSubKeyAt(target, index);
}

void DeleteFakeValue(RegKey key, const std::string &name)
{
    FakeKey *target = Target(key);
    if (!target)
        return;
    for (size_t i = 0; i < target->values.size(); ++i)
        if (SameName(target->values[i].first, name)) {
            target->values.erase(target->values.begin() + i);
            return;
        }
}

void SetFakeCallHook(FakeCallHook hook)
{
    callHook = hook;
}

void SetFakeJunkOnMoreData(bool junk)
{
    junkOnMoreData = junk;
}
