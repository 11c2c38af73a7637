#include "installation.h"
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include "../fw/cstring.h"
#include "../res/resource.h"
#include "../partner/partner_steps.h"
#include "install_log.h"
#include "path_text.h"
#include "payload.h"
#include "shell_integration.h"

int g_nInstallFailure = kInstallOk;

// A silent run logs, an interactive run shows a stop box.
static void Report(int bSilent, const char* logLine, const char* message, const char* caption)
{
    if (bSilent)
        WriteInstallLog(logLine);
    else
        MessageBoxA(GetActiveWindow(), message, caption, MB_OK | MB_ICONHAND);
}

static int Fail(int failure, int bSilent, UINT messageId, const char* folder, bool folderFirst,
                const char* caption)
{
    CString message, line;
    message.LoadString(messageId);
    if (folderFirst)
        line.Format("%s: %s", folder, (const char*)message);
    else
        line.Format("%s: %s", (const char*)message, folder);
    Report(bSilent, line, message, caption);
    g_nInstallFailure = failure;
    return 0;
}

int RunInstallation(const char* szFolder, int bStartMenuGroup, int bDesktopShortcut,
                    int bThumbsShortcut, int bAllUsers, const int* formatFlags,
                    int bAssocAllUsers, int bAnyFormat, int bSilent,
                    int bInstallToolbar, int bInstallDesktop)
{
    g_nInstallFailure = kInstallOk;
    CString caption;
    caption.LoadString(IDS_CAPTION);

    char folder[MAX_PATH];
    lstrcpynA(folder, szFolder, sizeof folder);
    TrimBlanks(folder);
    if (!folder[0] || !IsRootedFolder(folder))
        return Fail(kInstallInvalidFolder, bSilent, IDS_INVALID_FOLDER, folder, false, caption);

    if (!CreateFolderPath(folder))
        return Fail(kInstallCannotCreate, bSilent, IDS_CANNOT_CREATE_FOLDER, folder, false, caption);

    if (WritePayload(folder) != kPayloadFileCount)
        return Fail(kInstallPayloadIncomplete, bSilent, IDS_INSTALL_FAILED, folder, true, caption);

    char ini[MAX_PATH];
    lstrcpynA(ini, szFolder, sizeof ini);
    TrimBlanks(ini);
    AppendBackslash(ini, sizeof ini);
    CString iniPath;
    iniPath.Format("%spxm32.ini", ini);
    WritePrivateProfileStringA("Language", "DLL", "DEUTSCH.DLL", iniPath);
    WritePrivateProfileStringA("Language", "Lang", "Deutsch", iniPath);
    WritePrivateProfileStringA(NULL, NULL, NULL, iniPath);  // flush the profile cache to disk

    int bConfirmed = 1;
    if (bAnyFormat && !bSilent) {
        CString question;
        question.LoadString(IDS_ASK_ASSOCIATE);
        if (MessageBoxA(GetActiveWindow(), question, caption,
                        MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDNO)
            bConfirmed = 0;
    }

    RegisterShellIntegration(bConfirmed, szFolder, bStartMenuGroup, bDesktopShortcut,
                             bThumbsShortcut, bAllUsers, formatFlags, bAssocAllUsers);

    // The partner installers, each whatever became of the other.
    if (bInstallToolbar) InstallToolbarPartner();
    if (bInstallDesktop) InstallDesktopPartner();
    return 1;
}
