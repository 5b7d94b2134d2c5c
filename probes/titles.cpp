// The maker's titles registered on the machine: one "Kelto Title" row per subkey of the
// maker's keys, except names on the skip list and names the report already holds.
// Platform-neutral over the registry seam.
#include "probes.h"
#include "../base/registry_access.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <stdlib.h>

// Keys below HKEY_LOCAL_MACHINE, walked in this order; an empty entry ends the list.
static const char *const makerKeys[] = {
    "Software\\Ostrand",
    "Software\\The Kelto Company",
    "Software\\Kelto",
    "",
};

// Name fragments that are never reported; an empty entry ends the list.
static const char *const titleSkipList[] = {
    "Tallowick",
    "Quillmere",
    "",
};

// No registry key name is longer than 255 characters; the name block never grows past it
// by much, whatever the key reports.
enum { MaxTitleNameBlock = 1024 };

bool IsSkippedTitle(const char *name)
{
    for (int i = 0; titleSkipList[i][0] != '\0'; ++i)
        if (ContainsText(name, titleSkipList[i]))
            return true;
    return false;
}

static void AddTitleRowIfNew(const char *name)
{
    if (IsSkippedTitle(name) || FindReportRowByDetails(name))
        return;
    AddReportRow("Kelto Title", name, IconTitles);
}

// Replaces the name block by a zero-filled one twice as long; false when it may not grow.
static bool GrowNameBlock(char **block, unsigned long *capacity)
{
    unsigned long grown = *capacity * 2;
    if (grown > MaxTitleNameBlock)
        return false;
    char *larger = (char *)calloc(grown, 1);
    if (!larger)
        return false;
    free(*block);
    *block = larger;
    *capacity = grown;
    return true;
}

void AddTitlesUnderKey(RegKey key)
{
    unsigned long longest = 0;
    if (QueryRegInfoKey(key, &longest) != RegOk || longest >= MaxTitleNameBlock)
        longest = 0;
    unsigned long capacity = longest + 1;
    char *name = (char *)calloc(capacity, 1);
    if (!name)
        return;
    for (unsigned long index = 0;;) {
        unsigned long length = capacity;
        long status = EnumRegKeyEx(key, index, name, &length);
        // The longest-name figure may be out of date by now: grow and ask again.
        if (status == RegMoreData && GrowNameBlock(&name, &capacity))
            continue;
        if (status == RegMoreData) { // no key has such a name: pass it over
            ++index;
            continue;
        }
        if (status != RegOk)
            break;
        name[length < capacity ? length : capacity - 1] = '\0';
        AddTitleRowIfNew(name);
        ++index;
    }
    free(name);
}

static void AddTitlesOfMakerKeys(unsigned long access)
{
    for (int i = 0; makerKeys[i][0] != '\0'; ++i) {
        RegKey key;
        if (OpenRegKeyEx(REG_LOCAL_MACHINE, makerKeys[i], access, &key) != RegOk)
            continue;
        AddTitlesUnderKey(key);
        CloseRegKey(key);
    }
}

// The 32-bit view of the registry is walked first, then, on 64-bit Windows, the 64-bit
// view: a title that a 64-bit installer registered is only there. tarrow.exe and
// tarrow64.exe walk the views in this order, whichever is their own, so both list the same
// titles in the same order.
int AddMakerTitleRows()
{
    static const RegView views[] = {RegView32Bit, RegView64Bit};
    for (size_t i = 0; i < sizeof views / sizeof views[0]; ++i) {
        unsigned long access;
        if (GetRegViewAccess(views[i], &access))
            AddTitlesOfMakerKeys(RegKeyRead | access);
    }
    return 0;
}
