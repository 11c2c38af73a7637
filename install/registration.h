// The program's own registry entries: its class, the application list, the uninstall entry,
// and on the Vista family the default-programs capabilities and the folder browse verb. Each
// table row is written whatever became of the rows before it; what fails goes to `failed`.
#pragma once
#include "install_result.h"
#include "fw/os_family.h"

// The folder and drive context-menu entries "Browse with &Pixmora" (Vista family only).
void RegisterBrowseVerb(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed);

// Class, application list, uninstall entry (and on the Vista family the capabilities).
// `folder` ends with a backslash; `programPath` is folder + "pxm32.exe".
void RegisterProgram(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed);
