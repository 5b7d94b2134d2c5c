// Bounded text helpers shared by every probe.
#include "text.h"

#include <string.h>

void CopyText(char *out, size_t size, const char *text)
{
    if (size == 0)
        return;
    size_t length = BoundedLength(text, size - 1);
    memcpy(out, text, length);
    out[length] = '\0';
}

void AppendText(char *out, size_t size, const char *text)
{
    size_t used = BoundedLength(out, size);
    if (used >= size)
        return;
    CopyText(out + used, size - used, text);
}

// Built without the C runtime's formatting: the C runtime DLL itself is found this way.
bool BuildFilePath(const char *directory, const char *fileName, char *out, size_t size)
{
    size_t directoryLength = BoundedLength(directory, size);
    size_t nameLength = BoundedLength(fileName, size);
    if (size == 0 || directoryLength + 1 + nameLength >= size)
        return false;
    CopyText(out, size, directory);
    out[directoryLength] = '\\';
    CopyText(out + directoryLength + 1, size - directoryLength - 1, fileName);
    return true;
}

bool ContainsText(const char *text, const char *fragment)
{
    return strstr(text, fragment) != NULL;
}

static char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? (char)(c - 'A' + 'a') : c;
}

bool EqualsIgnoringAsciiCase(const char *a, const char *b)
{
    for (;; ++a, ++b) {
        if (FoldAscii(*a) != FoldAscii(*b))
            return false;
        if (*a == '\0')
            return true;
    }
}

size_t BoundedLength(const char *data, size_t size)
{
    size_t length = 0;
    while (length < size && data[length] != '\0')
        ++length;
    return length;
}
