#include "command_line.h"
#include <windows.h>
#include <string.h>
#include "fw/cstring.h"
#include "install/install_folder.h"
#include "install/install_log.h"
#include "install/installation.h"
#include "install/viewer.h"
#include "install/path_text.h"
#include "res/resource.h"
#include "exit_code.h"
#include "switches.h"

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
    // The log's place first: a running viewer is logged there too. A cut "/log=" value names
    // no file anybody asked for: nothing is written there, and the run is refused below.
    char logPath[MAX_PATH];
    LogSwitch logSwitch = ParseLogSwitch(cmdLine, logPath);
    SetInstallLogPath(logSwitch == kLogSwitchWhole ? logPath : "");

    if (IsViewerRunning()) {
        CString warning;
        warning.LoadString(IDS_VIEWER_RUNNING);
        WriteInstallLog(warning);
        return kExitViewerRunning;
    }

    InstallOptions o;
    memset(&o, 0, sizeof o);
    ProposeInstallFolder(o.szFolder);
    bool folderWhole = ParseSwitches(cmdLine, &o);
    o.bSilent = 1;

    SilentReporter reporter;
    // A folder cut short by the end of what is read would install somewhere nobody asked for;
    // a cut log would create folders and a file nobody asked for.
    if (!folderWhole) return GetExitCode(RejectFolder(o.szFolder, reporter).outcome);
    if (logSwitch == kLogSwitchCut) return GetExitCode(RejectLogFile(logPath, reporter).outcome);
    InstallOutcome outcome = RunInstallation(o, reporter).outcome;
    if (logSwitch == kLogSwitchWhole && IsInstalled(outcome)) LogInstalled(o.szFolder);
    return GetExitCode(outcome);
}
