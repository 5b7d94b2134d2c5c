// The build host's stand-in for version resources: a table of the values files carry,
// read by GetFileProductVersion in file_version_host.cpp.
#ifndef TARROW_VERSION_TABLE_H
#define TARROW_VERSION_TABLE_H

#include <stddef.h>

// One value of one file's version resource; key is a full path such as
// "\StringFileInfo\040904E4\ProductVersion".
struct VersionTableEntry {
    const char *path;
    const char *key;
    const char *value;
};

// Makes entries the version resources of the host (NULL and 0: none). The table is not
// copied and must outlive its use.
void SetVersionTable(const VersionTableEntry *entries, size_t count);

#endif
