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
