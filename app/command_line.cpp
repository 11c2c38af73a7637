#include "command_line.h"
#include <windows.h>
#include <string.h>
#include "../fw/cstring.h"
#include "../install/install_folder.h"
#include "../install/install_log.h"
#include "../install/installation.h"
#include "../install/viewer.h"
#include "../res/resource.h"
#include "exit_code.h"
#include "switches.h"

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
    bool folderWhole = ParseSwitches(cmdLine, &o);
    o.bSilent = 1;

    SilentReporter reporter;
    // A folder cut short by the end of what is read would install somewhere nobody asked for.
    if (!folderWhole) return GetExitCode(RejectFolder(o.szFolder, reporter).outcome);
    return GetExitCode(RunInstallation(o, reporter).outcome);
}
