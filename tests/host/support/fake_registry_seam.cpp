// The registry seam's calls answered from the in-memory registry as the Win32 calls answer
// them: lengths, ERROR_MORE_DATA, refused rights and views, ERROR_KEY_DELETED on a handle
// whose key is gone. Each call is shown to the test's hook once it has its answer.
#include "fake_registry.h"
#include "fake_registry_tree.h"

#include <string.h>

using namespace fake_registry;

namespace
{

// Rights that let a key be changed: KEY_SET_VALUE, KEY_CREATE_SUB_KEY, KEY_CREATE_LINK,
// DELETE, WRITE_DAC, WRITE_OWNER, GENERIC_WRITE and GENERIC_ALL. KEY_ALL_ACCESS holds
// several of them.
const unsigned long WriteRights = 0x2 | 0x4 | 0x20 | 0x10000 | 0x40000 | 0x80000 |
                                  0x40000000 | 0x10000000;

const std::string *FindValue(FakeKey *key, const char *name)
{
    std::string wanted = name ? name : "";
    for (auto &value : key->values)
        if (SameName(value.first, wanted))
            return &value.second;
    return nullptr;
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

bool GetRegViewAccess(RegView view, unsigned long *access)
{
    if (sixtyFourBitProgram) {
        *access = view == RegView32Bit ? RegKey32BitView : 0;
        return true;
    }
    *access = view == RegView64Bit ? RegKey64BitView : 0;
    return view == RegView32Bit || underWow64;
}

namespace
{

// A key of the tree below parent, whichever view that is.
long OpenInTree(RegKey parent, const char *path, RegKey *key)
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

} // namespace

// RegOpenKeyA asks for the most the account may have, so a limited account gets a
// key it can read rather than a refusal. A 64-bit program reads its own, native view.
long OpenRegKey(RegKey parent, const char *path, RegKey *key)
{
    if (sixtyFourBitProgram && parent == REG_LOCAL_MACHINE)
        parent = FAKE_NATIVE_LOCAL_MACHINE;
    return OpenInTree(parent, path, key);
}

long OpenRegKeyEx(RegKey parent, const char *path, unsigned long access, RegKey *key)
{
    bool asksToWrite = (access & WriteRights) != 0;
    bool asksNativeView = (access & RegKey64BitView) != 0;
    bool asks32BitView = (access & RegKey32BitView) != 0;
    writeRightRequests += asksToWrite;
    nativeViewRequests += asksNativeView;
    thirtyTwoBitViewRequests += asks32BitView;
    long refusal = RegOk;
    if (asksToWrite && account == FakeLimitedAccount)
        refusal = RegAccessDenied;
    if ((asksNativeView || asks32BitView) && !underWow64 && !sixtyFourBitProgram)
        refusal = FakeInvalidParameter;
    if (refusal != RegOk) {
        ++openRequests;
        *key = nullptr;
        return Answer(FakeOpenCall, nullptr, path, false, refusal);
    }
    bool readsNativeView = asksNativeView || (sixtyFourBitProgram && !asks32BitView);
    if (readsNativeView && parent == REG_LOCAL_MACHINE)
        parent = FAKE_NATIVE_LOCAL_MACHINE;
    return OpenInTree(parent, path, key);
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
