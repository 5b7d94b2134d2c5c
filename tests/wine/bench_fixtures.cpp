// The Wine bench driver's fixtures, set up before the program starts: registry keys under
// HKEY_DYN_DATA, files held open without sharing, and the first processor's recorded clock.
#include "bench.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static HKEY CreateDynKey(const char *path)
{
    HKEY key = NULL;
    if (RegCreateKeyA(HKEY_DYN_DATA, path, &key) != ERROR_SUCCESS)
        Fail("cannot create a key under HKEY_DYN_DATA");
    return key;
}

static int HexDigit(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

// Fixture lines: "KEY", "KEY|NAME|sz|TEXT", "KEY|NAME|dword|NUMBER" or "KEY|NAME|hex|BYTES".
void WriteDynFixtures(const char *path)
{
    FILE *in = fopen(path, "rb");
    if (!in)
        Fail("cannot read the HKEY_DYN_DATA fixture");
    static char line[70000];
    while (fgets(line, sizeof line, in)) {
        line[strcspn(line, "\r\n")] = '\0';
        if (line[0] == '\0' || line[0] == '#')
            continue;
        char *fields[4] = {line, NULL, NULL, NULL};
        for (int i = 1; i < 4; ++i) {
            char *bar = fields[i - 1] ? strchr(fields[i - 1], '|') : NULL;
            if (!bar)
                break;
            *bar = '\0';
            fields[i] = bar + 1;
        }
        HKEY key = CreateDynKey(fields[0]);
        if (fields[3]) {
            if (strcmp(fields[2], "dword") == 0) {
                DWORD number = strtoul(fields[3], NULL, 0);
                RegSetValueExA(key, fields[1], 0, REG_DWORD, (BYTE *)&number, 4);
            } else if (strcmp(fields[2], "hex") == 0) {
                static BYTE bytes[35000];
                DWORD length = 0;
                for (char *p = fields[3]; p[0] && p[1] && length < sizeof bytes; p += 2)
                    bytes[length++] = (BYTE)(HexDigit(p[0]) * 16 + HexDigit(p[1]));
                RegSetValueExA(key, fields[1], 0, REG_BINARY, bytes, length);
            } else {
                RegSetValueExA(key, fields[1], 0, REG_SZ, (BYTE *)fields[3],
                               (DWORD)strlen(fields[3]) + 1);
            }
        }
        RegCloseKey(key);
    }
    fclose(in);
}

// The handle is never closed: it goes when the driver's process ends.
void HoldFile(const char *path)
{
    HANDLE file = CreateFileA(path, GENERIC_READ, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        Fail("cannot open the file to hold");
}

static const char processorKey[] = "Hardware\\Description\\System\\CentralProcessor\\0";

void RecordedProcessorMhz(const char *what)
{
    HKEY key = NULL;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, processorKey, 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS) {
        printf("mhz none\n");
        return;
    }
    if (strcmp(what, "delete") == 0)
        RegDeleteValueA(key, "~MHz");
    DWORD mhz = 0, size = sizeof mhz;
    if (RegQueryValueExA(key, "~MHz", NULL, NULL, (BYTE *)&mhz, &size) == ERROR_SUCCESS)
        printf("mhz %lu\n", mhz);
    else
        printf("mhz none\n");
    RegCloseKey(key);
}
