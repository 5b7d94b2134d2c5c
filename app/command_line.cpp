// The command line's switches, read the way Windows programs read theirs: arguments are
// separated by blanks, and a double-quoted argument may hold blanks.
#include "command_line.h"
#include "../base/text.h"

#include <string.h>

static const char defaultLogFile[] = "tarrow.log";

static bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

static const char *SkipBlanks(const char *text)
{
    while (IsBlank(*text))
        ++text;
    return text;
}

// Finds the argument at text (blanks already skipped): its first character and length,
// without the quotes of a quoted one. Returns where the next argument's blanks begin.
static const char *NextArgument(const char *text, const char **start, size_t *length)
{
    if (*text == '"') {
        *start = ++text;
        while (*text && *text != '"')
            ++text;
        *length = (size_t)(text - *start);
        return *text ? text + 1 : text;
    }
    *start = text;
    while (*text && !IsBlank(*text))
        ++text;
    *length = (size_t)(text - *start);
    return text;
}

// A switch written with "/" or "-", its name compared without regard to case.
static bool IsSwitch(const char *argument, size_t length, const char *name)
{
    size_t nameLength = strlen(name);
    if (length != nameLength + 1 || (argument[0] != '/' && argument[0] != '-'))
        return false;
    char word[8];
    if (nameLength >= sizeof word)
        return false;
    memcpy(word, argument + 1, nameLength);
    word[nameLength] = '\0';
    return EqualsIgnoringAsciiCase(word, name);
}

static void ReadLogPath(const char *rest, StartRequest *request)
{
    const char *start;
    size_t length;
    NextArgument(SkipBlanks(rest), &start, &length);
    if (length == 0) {
        CopyText(request->logPath, sizeof request->logPath, defaultLogFile);
        return;
    }
    if (length >= sizeof request->logPath) {
        request->logPathTooLong = true;
        return;
    }
    memcpy(request->logPath, start, length);
    request->logPath[length] = '\0';
}

void ParseCommandLine(const char *commandLine, StartRequest *request)
{
    memset(request, 0, sizeof *request);
    request->mode = StartWindow;
    if (!commandLine)
        return;
    const char *start;
    size_t length;
    const char *rest = NextArgument(SkipBlanks(commandLine), &start, &length); // the program
    rest = NextArgument(SkipBlanks(rest), &start, &length);
    if (IsSwitch(start, length, "?")) {
        request->mode = StartUsage;
    } else if (IsSwitch(start, length, "log")) {
        request->mode = StartLogOnly;
        ReadLogPath(rest, request);
    }
}
