// What the program was asked to do on its command line: the window (no arguments, or any
// it does not know), the log without a window ("/log [FILE]"), or the usage ("/?").
#ifndef TARROW_COMMAND_LINE_H
#define TARROW_COMMAND_LINE_H

enum StartMode { StartWindow, StartLogOnly, StartUsage };

// A log path longer than this does not fit any Windows path (MAX_PATH).
enum { LogPathBufferSize = 260 };

struct StartRequest {
    StartMode mode;
    char logPath[LogPathBufferSize]; // StartLogOnly: the file to write, "tarrow.log" by default
    bool logPathTooLong;             // the FILE given does not fit logPath; nothing is written
};

// Reads the whole command line as Windows passes it, the program's own name first (quoted
// or not). The switches are "/log" or "-log" and "/?" or "-?", in any case, as the first
// argument; FILE is the next one, in double quotes when it holds spaces. Anything after
// that is ignored, and so is a command line without a known switch.
void ParseCommandLine(const char *commandLine, StartRequest *request);

#endif
