// An in-memory registry behind the registry seam, answering like the Win32 calls: key
// names are matched without regard to case, subkeys enumerate in the order they were made.
#include "fake_registry.h"

#include <memory>
#include <set>
#include <string.h>
#include <vector>

namespace {

struct FakeKey {
    std::string name;
    std::vector<std::unique_ptr<FakeKey>> subKeys;
    std::vector<std::pair<std::string, std::string>> values;
};

struct FakeHandle {
    FakeKey *key;
};

FakeKey localMachine, dynData;
std::set<FakeHandle *> openHandles;
unsigned long understatement = 0;
FakeAccount account = FakeLimitedAccount;
int openRequests = 0;
int writeRightRequests = 0;

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
    std::string part;
    for (char c : path + "\\") {
        if (c != '\\') {
            part += c;
        } else if (!part.empty()) {
            parts.push_back(part);
            part.clear();
        }
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
            key->subKeys.emplace_back(new FakeKey{part, {}, {}});
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
    if (key == REG_DYN_DATA)
        return &dynData;
    FakeHandle *handle = (FakeHandle *)key;
    return openHandles.count(handle) ? handle->key : nullptr;
}

} // namespace

void ResetFakeRegistry()
{
    localMachine = FakeKey();
    dynData = FakeKey();
    for (FakeHandle *handle : openHandles)
        delete handle;
    openHandles.clear();
    understatement = 0;
    account = FakeLimitedAccount;
    openRequests = 0;
    writeRightRequests = 0;
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

// RegOpenKeyA asks for the most the account may have, so a limited account gets a
// key it can read rather than a refusal.
long OpenRegKey(RegKey parent, const char *path, RegKey *key)
{
    ++openRequests;
    *key = nullptr;
    FakeKey *from = Target(parent);
    FakeKey *found = from ? Walk(from, path ? path : "", false) : nullptr;
    if (!found)
        return RegFileNotFound;
    FakeHandle *handle = new FakeHandle{found};
    openHandles.insert(handle);
    *key = (RegKey)handle;
    return RegOk;
}

long OpenRegKeyEx(RegKey parent, const char *path, unsigned long access, RegKey *key)
{
    bool asksToWrite = (access & WriteRights) != 0;
    if (asksToWrite)
        ++writeRightRequests;
    if (asksToWrite && account == FakeLimitedAccount) {
        ++openRequests;
        *key = nullptr;
        return RegAccessDenied;
    }
    return OpenRegKey(parent, path, key);
}

long EnumRegKey(RegKey key, unsigned long index, char *name, unsigned long nameSize)
{
    FakeKey *target = Target(key);
    if (!target)
        return RegFileNotFound;
    if (index >= target->subKeys.size())
        return RegNoMoreItems;
    const std::string &subName = target->subKeys[index]->name;
    if (subName.size() + 1 > nameSize)
        return RegMoreData;
    memcpy(name, subName.c_str(), subName.size() + 1);
    return RegOk;
}

long EnumRegKeyEx(RegKey key, unsigned long index, char *name, unsigned long *nameLength)
{
    FakeKey *target = Target(key);
    if (!target)
        return RegFileNotFound;
    if (index >= target->subKeys.size())
        return RegNoMoreItems;
    const std::string &subName = target->subKeys[index]->name;
    if (subName.size() + 1 > *nameLength)
        return RegMoreData;
    memcpy(name, subName.c_str(), subName.size() + 1);
    *nameLength = subName.size();
    return RegOk;
}

long QueryRegInfoKey(RegKey key, unsigned long *longestSubKeyName)
{
    FakeKey *target = Target(key);
    if (!target)
        return RegFileNotFound;
    unsigned long longest = 0;
    for (auto &sub : target->subKeys)
        if (sub->name.size() > longest)
            longest = sub->name.size();
    *longestSubKeyName = longest > understatement ? longest - understatement : 0;
    return RegOk;
}

long QueryRegValueEx(RegKey key, const char *valueName, unsigned char *data,
                     unsigned long *size)
{
    FakeKey *target = Target(key);
    if (!target)
        return RegFileNotFound;
    const std::string *value = FindValue(target, valueName);
    if (!value)
        return RegFileNotFound;
    unsigned long offered = *size;
    *size = value->size();
    if (!data)
        return RegOk;
    if (value->size() > offered)
        return RegMoreData;
    memcpy(data, value->data(), value->size());
    return RegOk;
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
