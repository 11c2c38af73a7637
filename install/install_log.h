// The install log: what a silent run would otherwise have shown in message boxes.
#pragma once

// Appends one dated entry and a separator line to the install log: "Pixmora_Install.log" in the
// current directory, or the file chosen with SetInstallLogPath. A log that cannot be opened is
// skipped silently.
void WriteInstallLog(const char* message);

// Sends later entries to `path` (blanks around it are ignored; empty: the current directory
// again). A missing folder of that file is created when the first entry is written; a file that
// still cannot be opened leaves the entries in the current directory.
void SetInstallLogPath(const char* path);
