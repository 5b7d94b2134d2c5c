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
