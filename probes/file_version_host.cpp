// File product versions on the build host, looked up in a table of version-resource
// values instead of the files themselves.
#include "probes.h"
#include "version_table.h"
#include "../base/tarrow.h"
#include "../base/text.h"

#include <string.h>

static const VersionTableEntry *versionTable = NULL;
static size_t versionTableCount = 0;

void SetVersionTable(const VersionTableEntry *entries, size_t count)
{
    versionTable = entries;
    versionTableCount = count;
}

static bool QueryVersionTable(const void *resource, const char *key, const char **value,
                              size_t *span)
{
    const char *path = (const char *)resource;
    for (size_t i = 0; i < versionTableCount; ++i) {
        const VersionTableEntry &entry = versionTable[i];
        if (strcmp(entry.path, path) == 0 && strcmp(entry.key, key) == 0) {
            *value = entry.value;
            *span = strlen(entry.value) + 1;
            return true;
        }
    }
    return false;
}

int GetFileProductVersion(const char *path, char *text)
{
    return PickProductVersion(QueryVersionTable, path, text, TextBufferSize);
}
