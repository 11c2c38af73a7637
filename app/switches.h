// The command-line switches of the silent run.
#pragma once
#include "options.h"

const int kCommandLineBufferSize = 520;  // switches past this many characters are not seen

// Applies the switches of `cmdLine` to `o`, whose folder is already proposed.
void ParseSwitches(const char* cmdLine, InstallOptions* o);

// The value of "/log=" (the install log's file), read like the folder; 0 and an empty `path`
// (260 bytes) without the switch.
int ParseLogSwitch(const char* cmdLine, char* path);

// Copies the value `skip` characters after `source` into `out` (260 bytes) up to the next
// "/" or the end, reading no further than `limit` characters from `source`.
int GetSwitchValue(const char* source, char* out, int skip, int limit);

// Removes trailing blanks and one pair of surrounding double quotes, in place.
void UnquotePath(char* text);
