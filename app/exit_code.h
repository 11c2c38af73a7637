// The process's exit codes, and the one place where an installation's outcome becomes one.
#pragma once
#include "install/install_result.h"

enum ExitCode {
    kExitInstalled = 0,
    kExitWizardLeft = 1,       // wizard left before the installation ran
    kExitViewerRunning = 2,
    kExitInvalidFolder = 3,
    kExitCannotCreate = 4,
    kExitPayloadIncomplete = 5,
    kExitInstalledWithErrors = 6  // installed, but some shortcuts or registry entries are missing
};

int GetExitCode(InstallOutcome outcome);
