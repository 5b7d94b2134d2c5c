// Bounded text helpers: every write stops at the buffer's end and leaves a terminating zero.
#ifndef TARROW_TEXT_H
#define TARROW_TEXT_H

#include <stddef.h>

// printf-style formatting into out (size bytes); a text that does not fit is cut.
// Returns the length of the text in out. Integer conversions take 32-bit values:
// pass longs for %ld and %lu so the call is right on every platform.
int FormatText(char *out, size_t size, const char *format, ...);

// Copies text into out (size bytes), cut at the buffer.
void CopyText(char *out, size_t size, const char *text);

// Appends text to the zero-terminated text in out (size bytes), cut at the buffer.
void AppendText(char *out, size_t size, const char *text);

// True when fragment occurs anywhere in text (case-sensitive).
bool ContainsText(const char *text, const char *fragment);

// True when both texts are equal with A-Z folded to a-z and no other folding.
bool EqualsIgnoringAsciiCase(const char *a, const char *b);

// Builds directory\fileName in out (size bytes); false, with nothing built, when it does
// not fit: a cut path names another file.
bool BuildFilePath(const char *directory, const char *fileName, char *out, size_t size);

// Length of the zero-terminated prefix of data, looking at no more than size bytes.
size_t BoundedLength(const char *data, size_t size);

#endif
