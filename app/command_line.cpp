#include "command_line.h"
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include "../fw/cstring.h"
#include "../install/install_log.h"
#include "../install/installation.h"
#include "../res/resource.h"
#include "install_folder.h"
#include "switches.h"

bool IsViewerRunning()
{
    return FindWindowA("Pixmora", NULL) != NULL;
}

int RunCommandLine(const char* cmdLine)
{
    if (IsViewerRunning()) {
        CString warning;
        warning.LoadString(IDS_VIEWER_RUNNING);
        WriteInstallLog(warning);
        return kExitViewerRunning;
    }

    InstallOptions o;
    memset(&o, 0, sizeof o);
    if (!GetExistingInstallFolder(o.szFolder)) GetDefaultInstallFolder(o.szFolder);
    ParseSwitches(cmdLine, &o);
    o.bSilent = 1;

    if (RunInstallation(o.szFolder, o.bStartMenuGroup, o.bDesktopShortcut, o.bThumbsShortcut,
                        o.bAllUsers, o.formatFlags, o.bAssocAllUsers, o.bAnyFormat, o.bSilent,
                        0, 0))
        return kExitInstalled;
    return g_nInstallFailure;
}
