// The command line as a user or a script types it: switches into InstallOptions and the log's
// path, and the folder value through the same unquoting and trimming as a real run.
#include <stdint.h>
#include <string.h>
#include <string>
#include "app/switches.h"
#include "install/path_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str();  // the command line ends at its first NUL

    InstallOptions o;
    memset(&o, 0, sizeof o);
    ParseSwitches(line.c_str(), &o);
    if (strlen(o.szFolder) >= MAX_PATH) __builtin_trap();
    for (int f : o.formatFlags)
        if (f != 0 && f != 1) __builtin_trap();

    TrimBlanks(o.szFolder);

    char log[MAX_PATH];
    LogSwitch found = ParseLogSwitch(line.c_str(), log);
    if (strlen(log) >= MAX_PATH || (found == kNoLogSwitch && log[0])) __builtin_trap();

    // Any slice of the input as a path of at most 259 characters.
    char path[MAX_PATH];
    size_t n = line.size() < MAX_PATH - 1 ? line.size() : MAX_PATH - 1;
    memcpy(path, line.data(), n);
    path[n] = '\0';
    UnquotePath(path);
    TrimBlanks(path);
    AppendBackslash(path, sizeof path);
    if (strlen(path) >= MAX_PATH) __builtin_trap();
    return 0;
}
