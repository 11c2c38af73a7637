#include "exit_code.h"

int GetExitCode(InstallOutcome outcome)
{
    switch (outcome) {
    case kInstalled: return kExitInstalled;
    case kInstalledWithErrors: return kExitInstalledWithErrors;
    case kInvalidFolder: return kExitInvalidFolder;
    case kFolderNotCreatable: return kExitCannotCreate;
    case kPayloadIncomplete: return kExitPayloadIncomplete;
    }
    return kExitPayloadIncomplete;
}
