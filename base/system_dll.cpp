// Binding a system DLL's functions into the program's import slots, all or none, so that a
// DLL is either there whole or answered by its stand-ins throughout.
#include "system_dll.h"

#include <stddef.h>

bool BindDllFunctions(const SystemDllTable *table, void *module, ExportLookup lookup)
{
    if (!module)
        return false;
    for (int i = 0; i < table->functionCount; ++i)
        if (!lookup(module, table->functions[i].name))
            return false;
    for (int i = 0; i < table->functionCount; ++i) {
        void *entry = lookup(module, table->functions[i].name);
        if (entry) // never a slot without a function behind it
            *table->functions[i].slot = entry;
    }
    return true;
}
