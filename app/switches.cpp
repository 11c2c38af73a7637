// Parsing of the command-line switches. Plain C text handling only: this file also builds
// natively for the fuzzers.
#include "switches.h"
#include <stdlib.h>
#include <string.h>

int GetSwitchValue(const char* source, char* out, int skip, int limit)
{
    int bound = (int)strlen(source);
    if (limit < bound) bound = limit;
    int i = skip, n = 0;
    while (i < bound && source[i] != '/' && source[i] != '\0')
        out[n++] = source[i++];
    out[n] = '\0';
    return i;
}

void UnquotePath(char* text)
{
    size_t len = strlen(text);
    while (len > 0 && text[len - 1] == ' ') text[--len] = '\0';
    if (len > 0 && text[len - 1] == '"') text[--len] = '\0';
    if (text[0] == '"') memmove(text, text + 1, len--);
    while (len > 0 && text[len - 1] == ' ') text[--len] = '\0';
}

// Integer switches, in the order they are processed.
struct IntSwitch {
    const char* name;
    int InstallOptions::*field;
};
static const IntSwitch kIntSwitches[] = {
    {"/desktop=", &InstallOptions::bDesktopShortcut},
    {"/thumbs=", &InstallOptions::bThumbsShortcut},
    {"/group=", &InstallOptions::bStartMenuGroup},
    {"/allusers=", &InstallOptions::bAllUsers},
};

// The part of the command line that switches are searched in: the whole line, or its first
// 520 characters. `work` holds kCommandLineBufferSize + 1 bytes.
static void CopySwitchWindow(const char* cmdLine, char* work)
{
    size_t n = strlen(cmdLine);
    if (n > kCommandLineBufferSize) n = kCommandLineBufferSize;
    memcpy(work, cmdLine, n);
    work[n] = '\0';
}

// Reads the value of the switch at `p` (in `work`, the window of `cmdLine`) into `out` and tells
// whether it is whole: the full line has a slash or its end where the value ends (blanks before
// them are removed anyway); anything else there means it was cut.
static bool ReadWholeValue(const char* cmdLine, const char* work, const char* p, int skip, char* out)
{
    size_t end = (p - work) + GetSwitchValue(p, out, skip, MAX_PATH);
    while (cmdLine[end] == ' ') ++end;
    return cmdLine[end] == '/' || cmdLine[end] == '\0';
}

bool ParseSwitches(const char* cmdLine, InstallOptions* o)
{
    char work[kCommandLineBufferSize + 1];
    CopySwitchWindow(cmdLine, work);

    bool folderWhole = true;
    const char* p = strstr(work, "/folder=");
    if (p) {
        folderWhole = ReadWholeValue(cmdLine, work, p, 8, o->szFolder);
        UnquotePath(o->szFolder);
    }
    for (const IntSwitch& s : kIntSwitches) {
        p = strstr(work, s.name);
        if (p) o->*s.field = atoi(p + strlen(s.name));
    }
    p = strstr(work, "/assoc=");
    if (p) {
        int value = atoi(p + 7);
        int rows = value == 1 ? kImageFormatCount : value == 2 ? kFormatCount : 0;
        for (int i = 0; i < rows; ++i) o->formatFlags[i] = 1;
        if (rows) o->bAnyFormat = 1;
    }
    if (strstr(work, "/assocallusers")) o->bAssocAllUsers = 1;
    return folderWhole;
}

LogSwitch ParseLogSwitch(const char* cmdLine, char* path)
{
    char work[kCommandLineBufferSize + 1];
    CopySwitchWindow(cmdLine, work);
    path[0] = '\0';
    const char* p = strstr(work, "/log=");
    if (!p) return kNoLogSwitch;
    bool whole = ReadWholeValue(cmdLine, work, p, 5, path);
    UnquotePath(path);
    return whole ? kLogSwitchWhole : kLogSwitchCut;
}
