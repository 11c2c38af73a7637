#include "shell_integration.h"
#include <windows.h>
#include <objbase.h>
#include <stdio.h>
#include "associations.h"
#include "fw/os_family.h"
#include "path_text.h"
#include "registration.h"
#include "registry_write.h"
#include "shortcuts.h"

int RegisterShellIntegration(int bConfirmed, const char* szFolder, int bStartMenuGroup,
                             int bDesktopShortcut, int bThumbsShortcut, int bAllUsers,
                             const int* formatFlags, int bAssocAllUsers, FailedRows* failed)
{
    return RegisterShellIntegrationOn(GetOsFamily(), bConfirmed, szFolder, bStartMenuGroup,
                                      bDesktopShortcut, bThumbsShortcut, bAllUsers, formatFlags,
                                      bAssocAllUsers, failed);
}

int RegisterShellIntegrationOn(const OsFamily& os, int bConfirmed, const char* szFolder,
                               int bStartMenuGroup, int bDesktopShortcut, int bThumbsShortcut,
                               int bAllUsers, const int* formatFlags, int bAssocAllUsers,
                               FailedRows* failed)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, szFolder, sizeof folder);
    TrimBlanks(folder);
    AppendBackslash(folder, sizeof folder);
    char program[MAX_PATH];
    int n = _snprintf(program, sizeof program, "%spxm32.exe", folder);
    if (n < 0 || n >= (int)sizeof program) {
        if (failed) failed->Add(program);
        return 1;
    }

    // The parent keys of the phase's registry rows, closed when it ends.
    PhaseKeys keys;

    // Every shortcut initialises COM around itself; holding it for the whole phase keeps the
    // system from loading and unloading COM for each of the twelve links.
    bool anyShortcut = bStartMenuGroup || bDesktopShortcut || bThumbsShortcut;
    HRESULT com = anyShortcut ? CoInitialize(NULL) : E_FAIL;
    if (bStartMenuGroup) CreateProgramGroup(folder, bAllUsers, failed);
    if (bDesktopShortcut)
        CreateDesktopShortcut(program, "Pixmora.lnk", NULL, "Pixmora - Bildbetrachter", NULL, 0, bAllUsers, failed);
    if (bThumbsShortcut) {
        CreateDesktopShortcut(program, "Pixmora Thumbnails.lnk", program, "Pixmora - Thumbnails", "/thumbs", 7,
                              bAllUsers, failed);
        if (os.bVista) RegisterBrowseVerb(folder, program, os, failed, &keys);
    }
    if (SUCCEEDED(com)) CoUninitialize();

    RegisterProgram(folder, program, os, failed, &keys);
    RegisterAssociations(bConfirmed, program, formatFlags, bAssocAllUsers, os, failed, &keys);
    return 1;
}
