#include "command_line.h"
#include <windows.h>
#include <stdlib.h>
#include <string.h>
#include "../fw/cstring.h"
#include "../install/install_log.h"
#include "../install/installation.h"
#include "../install/path_text.h"
#include "../res/resource.h"
#include "install_folder.h"
#include "switches.h"

bool IsViewerRunning()
{
    return FindWindowA("Pixmora", NULL) != NULL;
}

// With "/log=" every run leaves an entry: a run that installs says what went where.
static void LogInstalled(const char* szFolder)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, szFolder, sizeof folder);
    TrimBlanks(folder);
    AppendBackslash(folder, sizeof folder);
    CString message, line;
    message.LoadString(IDS_LOG_INSTALLED);
    line.Format("%s: %s", (const char*)message, folder);
    WriteInstallLog(line);
}

int RunCommandLine(const char* cmdLine)
{
    // The log's place first: a running viewer is logged there too.
    char logPath[MAX_PATH];
    int bLogSwitch = ParseLogSwitch(cmdLine, logPath);
    SetInstallLogPath(logPath);

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
                        0, 0)) {
        if (bLogSwitch) LogInstalled(o.szFolder);
        return kExitInstalled;
    }
    return g_nInstallFailure;
}
