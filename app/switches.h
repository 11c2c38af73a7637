// The command-line switches of the silent run.
#pragma once
#include "install/install_options.h"

const int kCommandLineBufferSize = 520;  // switches past this many characters are not seen

// Applies the switches of `cmdLine` (the arguments after the program name) to `o`, whose folder
// is already proposed. False when the "/folder=" value was cut: it runs into the end of the
// 520 characters read, or past the 260 that a value may have, while the command line goes on.
bool ParseSwitches(const char* cmdLine, InstallOptions* o);

enum LogSwitch {
    kNoLogSwitch,
    kLogSwitchWhole,
    kLogSwitchCut  // cut like a folder value: no file anybody asked for
};

// The value of "/log=" (the install log's file) into `path` (260 bytes), read like the folder,
// and cut like it: by the end of the 520 characters or past the 260 that a value may have while
// the command line goes on. `path` is empty without the switch.
LogSwitch ParseLogSwitch(const char* cmdLine, char* path);

// Copies the value `skip` characters after `source` into `out` (260 bytes) up to the next
// "/" or the end, reading no further than `limit` characters from `source`.
int GetSwitchValue(const char* source, char* out, int skip, int limit);

// Removes trailing blanks and one pair of surrounding double quotes, in place.
void UnquotePath(char* text);
