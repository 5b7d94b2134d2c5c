// Choosing the product version among the string tables of a version resource: only the
// US English tables are read, the Windows Latin-1 one before the Unicode one.
#include "probes.h"
#include "../app/text.h"

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
