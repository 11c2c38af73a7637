// What one installation run did: its outcome and the rows after the payload that failed.
#pragma once
#include <windows.h>
#include "fw/cstring.h"

enum InstallOutcome {
    kInstalled,
    kInstalledWithErrors,  // files in place, but some later rows could not be written
    kInvalidFolder,        // nothing written (also for a log file named unusably)
    kFolderNotCreatable,   // parent folders created so far stay
    kPayloadIncomplete     // the destination holds what it held before the run
};

inline bool IsInstalled(InstallOutcome outcome) { return outcome == kInstalled || outcome == kInstalledWithErrors; }

// The settings, shortcut, registry and notification rows that could not be written, one line
// each naming what failed (a file or link path, a registry key with its value), in the order
// they were tried. A row that fails twice is listed once.
struct FailedRows {
    FailedRows() : nCount(0) {}
    void Add(const char* what);
    // "HKEY_LOCAL_MACHINE\key" for a default value, "HKEY_LOCAL_MACHINE\key (name)" for a named one.
    void AddRegistry(HKEY root, const char* key, const char* value);

    CString text;  // the lines, each ending in "\n"
    int nCount;
};

struct InstallResult {
    InstallOutcome outcome;
    FailedRows failed;
};
