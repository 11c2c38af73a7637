// The eleven choices of one installation, as both producers (wizard, command line) fill them.
#pragma once
#ifdef _WIN32
#include <windows.h>
#else
#define MAX_PATH 260  // native builds of the text parsers (fuzzing)
#endif

const int kFormatCount = 67;       // format rows 0..66
const int kImageFormatCount = 52;  // rows 0..51 are the image formats

struct InstallOptions {
    char szFolder[MAX_PATH];
    int bStartMenuGroup;
    int bDesktopShortcut;
    int bThumbsShortcut;
    int bAllUsers;
    int formatFlags[kFormatCount];
    int bAssocAllUsers;
    int bAnyFormat;
    int bSilent;
    int bInstallToolbar;
    int bInstallDesktop;
};

// Exit codes of the program.
enum ExitCode {
    kExitInstalled = 0,
    kExitWizardLeft = 1,       // wizard left before the installation ran
    kExitViewerRunning = 2,
    kExitInvalidFolder = 3,
    kExitCannotCreate = 4,
    kExitPayloadIncomplete = 5
};
