// The one installation run, shared by the silent command line and the wizard.
#pragma once

// Why the last RunInstallation stopped; the command-line run turns it into its exit code.
enum InstallFailure {
    kInstallOk = 0,
    kInstallInvalidFolder = 3,   // string 5
    kInstallCannotCreate = 4,    // string 11
    kInstallPayloadIncomplete = 5 // string 7
};
extern int g_nInstallFailure;

// Installs into szFolder. 1 when the run reached its end, 0 when it stopped at an invalid or
// uncreatable folder or an incomplete payload (already reported by message box or install log).
int RunInstallation(const char* szFolder, int bStartMenuGroup, int bDesktopShortcut,
                    int bThumbsShortcut, int bAllUsers, const int* formatFlags,
                    int bAssocAllUsers, int bAnyFormat, int bSilent,
                    int bInstallToolbar, int bInstallDesktop);
