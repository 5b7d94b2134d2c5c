// The file steps of writing the log on the build host, for the tests: the C library's own
// calls, and a stream whose chosen line fails to be written, as on a full disk.
#define _GNU_SOURCE 1
#include "export.h"

#include <errno.h>
#include <stdio.h>
#include <sys/types.h>

static int failingLine = 0;

struct FailingStream {
    FILE *file;
    int linesWritten;
    int failingLine;
};

// The stream is unbuffered, so each log line arrives here in one write. Writing nothing,
// with errno set, is how a cookie stream reports a failed write.
static ssize_t WriteLine(void *cookie, const char *data, size_t size)
{
    FailingStream *stream = (FailingStream *)cookie;
    if (++stream->linesWritten == stream->failingLine) {
        errno = ENOSPC;
        return 0;
    }
    return (ssize_t)fwrite(data, 1, size, stream->file);
}

static int CloseStream(void *cookie)
{
    FailingStream *stream = (FailingStream *)cookie;
    int result = fclose(stream->file);
    delete stream;
    return result;
}

FILE *OpenNewLogFile(const char *path)
{
    FILE *file = fopen(path, "w+");
    if (!file || failingLine == 0)
        return file;
    FailingStream *cookie = new FailingStream{file, 0, failingLine};
    cookie_io_functions_t functions = {NULL, WriteLine, NULL, CloseStream};
    FILE *stream = fopencookie(cookie, "w", functions);
    setvbuf(stream, NULL, _IONBF, 0);
    failingLine = 0;
    return stream;
}

int ReplaceLogFile(const char *newPath, const char *target)
{
    if (rename(newPath, target) == 0)
        return 1;
    remove(newPath);
    return 0;
}

void RemoveLogFile(const char *path)
{
    remove(path);
}

void FailLogLineForTest(int line)
{
    failingLine = line;
}
