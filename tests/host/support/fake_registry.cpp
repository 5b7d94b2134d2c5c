// An in-memory registry behind the registry seam, answering like the Win32 calls: key
// names are matched without regard to case, subkeys enumerate in the order they were made.
// A deleted key is kept, marked, until the reset, so that handles open on it can tell.
#include "fake_registry.h"

#include <memory>
#include <set>
#include <string.h>
#include <vector>

namespace {

struct FakeKey {
    std::string name;
    FakeKey *parent;
    std::vector<std::unique_ptr<FakeKey>> subKeys;
    std::vector<std::pair<std::string, std::string>> values;
    bool deleted;
};

struct FakeHandle {
    FakeKey *key;
};

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
int nativeViewRequests = 0;

// Rights that let a key be changed: KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_CREATE_LINK,
// DELETE, WRITE_DAC, WRITE_OWNER, GENERIC_WRITE and GENERIC_ALL. KEY_ALL_ACCESS holds
// several of them.
const unsigned long WriteRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000 |
                                  0x40000000 | 0x10000000;

bool SameName(const std::string &a, const std::string &b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

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

const std::string *FindValue(FakeKey *key, const char *name)
{
    std::string wanted = name ? name : "";
    for (auto &value : key->values)
        if (SameName(value.first, wanted))
            return &value.second;
    return nullptr;
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

void FillWithJunk(void *buffer, unsigned long size)
{
    if (junkOnMoreData && buffer)
        memset(buffer, 0xA5, size);
}

long Answer(FakeCallKind kind, RegKey key, const char *name, bool sizeOnly, long status)
{
    if (callHook) {
        FakeCall call = {kind, key, name, sizeOnly, status};
        callHook(call);
    }
    return status;
}

// The key a call is made on, or the error it is answered with.
long Reach(RegKey key, FakeKey **target)
{
    *target = Target(key);
    if (!*target)
        return RegFileNotFound;
    return (*target)->deleted ? (long)FakeKeyDeleted : (long)RegOk;
}

} // namespace

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
    nativeViewRequests = 0;
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

int CountFakeNativeViewRequests()
{
    return nativeViewRequests;
}

bool HasNativeRegistryView()
{
    return underWow64;
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

// RegOpenKeyA asks for the most the account may have, so a limited account gets a
// key it can read rather than a refusal.
long OpenRegKey(RegKey parent, const char *path, RegKey *key)
{
    ++openRequests;
    *key = nullptr;
    FakeKey *from;
    long status = Reach(parent, &from);
    FakeKey *found = status == RegOk ? Walk(from, path ? path : "", false) : nullptr;
    if (status == RegOk && !found)
        status = RegFileNotFound;
    if (status == RegOk) {
        FakeHandle *handle = new FakeHandle{found};
        openHandles.insert(handle);
        *key = (RegKey)handle;
    }
    return Answer(FakeOpenCall, *key, path, false, status);
}

long OpenRegKeyEx(RegKey parent, const char *path, unsigned long access, RegKey *key)
{
    bool asksToWrite = (access & WriteRights) != 0;
    bool asksNativeView = (access & RegKeyNativeView) != 0;
    writeRightRequests += asksToWrite;
    nativeViewRequests += asksNativeView;
    long refusal = RegOk;
    if (asksToWrite && account == FakeLimitedAccount)
        refusal = RegAccessDenied;
    if (asksNativeView && !underWow64)
        refusal = FakeInvalidParameter;
    if (refusal != RegOk) {
        ++openRequests;
        *key = nullptr;
        return Answer(FakeOpenCall, nullptr, path, false, refusal);
    }
    if (asksNativeView && parent == REG_LOCAL_MACHINE)
        parent = FAKE_NATIVE_LOCAL_MACHINE;
    return OpenRegKey(parent, path, key);
}

// The name of the index-th subkey into name (size bytes) with its zero; its length in
// *length when it fits.
long EnumSubKey(RegKey key, unsigned long index, char *name, unsigned long size,
                unsigned long *length)
{
    FakeKey *target;
    long status = Reach(key, &target);
    if (status != RegOk)
        return status;
    if (index >= target->subKeys.size())
        return RegNoMoreItems;
    const std::string &subName = target->subKeys[index]->name;
    if (subName.size() + 1 > size) {
        FillWithJunk(name, size);
        return RegMoreData;
    }
    memcpy(name, subName.c_str(), subName.size() + 1);
    *length = subName.size();
    return RegOk;
}

long EnumRegKey(RegKey key, unsigned long index, char *name, unsigned long nameSize)
{
    unsigned long length = 0;
    long status = EnumSubKey(key, index, name, nameSize, &length);
    return Answer(FakeEnumCall, key, status == RegOk ? name : nullptr, false, status);
}

long EnumRegKeyEx(RegKey key, unsigned long index, char *name, unsigned long *nameLength)
{
    long status = EnumSubKey(key, index, name, *nameLength, nameLength);
    return Answer(FakeEnumCall, key, status == RegOk ? name : nullptr, false, status);
}

long QueryRegInfoKey(RegKey key, unsigned long *longestSubKeyName)
{
    FakeKey *target;
    long status = Reach(key, &target);
    if (status == RegOk) {
        unsigned long longest = 0;
        for (auto &sub : target->subKeys)
            if (sub->name.size() > longest)
                longest = sub->name.size();
        longest = longest > understatement ? longest - understatement : 0;
        *longestSubKeyName = longest + overstatement;
    }
    return Answer(FakeQueryInfoCall, key, nullptr, false, status);
}

long QueryRegValueEx(RegKey key, const char *valueName, unsigned char *data,
                     unsigned long *size)
{
    FakeKey *target;
    long status = Reach(key, &target);
    const std::string *value = status == RegOk ? FindValue(target, valueName) : nullptr;
    if (status == RegOk && !value)
        status = RegFileNotFound;
    if (status == RegOk) {
        unsigned long offered = *size;
        *size = value->size();
        if (data && value->size() > offered) {
            FillWithJunk(data, offered);
            status = RegMoreData;
        } else if (data) {
            memcpy(data, value->data(), value->size());
        }
    }
    return Answer(FakeQueryValueCall, key, valueName, data == nullptr, status);
}

long CloseRegKey(RegKey key)
{
    if (key == REG_LOCAL_MACHINE || key == REG_DYN_DATA)
        return RegOk;
    FakeHandle *handle = (FakeHandle *)key;
    if (!openHandles.erase(handle))
        return 6; // ERROR_INVALID_HANDLE
    delete handle;
    return RegOk;
}
