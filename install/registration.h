// The program's own registry entries: its class, the application list, the uninstall entry,
// and on the Vista family the default-programs capabilities and the folder browse verb. Each
// row is written whatever became of the rows before it; what fails goes to `failed`.
#pragma once
#include "install_result.h"
#include "fw/os_family.h"

struct PhaseKeys;

// The folder and drive context-menu entries "Browse with &Pixmora" (Vista family only).
// `phase`: the keys shared with the phase's other rows (NULL: the call's own).
void RegisterBrowseVerb(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed,
                        PhaseKeys* phase = NULL);

// Class, application list, uninstall entry (and on the Vista family the capabilities).
// `folder` ends with a backslash; `programPath` is folder + "pxm32.exe".
void RegisterProgram(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed,
                     PhaseKeys* phase = NULL);
