#include "installation.h"
#include <windows.h>
#include <string.h>
#include "fw/cstring.h"
#include "res/resource.h"
#include "path_text.h"
#include "payload.h"
#include "shell_integration.h"

// A message box shows at most this many failed rows; the install log gets them all.
static const int kRowsShown = 15;

static InstallResult Stop(InstallReporter& reporter, InstallOutcome outcome, UINT messageId,
                          const char* folder, bool folderFirst)
{
    CString message, line;
    message.LoadString(messageId);
    if (folderFirst)
        line.Format("%s: %s", folder, (const char*)message);
    else
        line.Format("%s: %s", (const char*)message, folder);
    reporter.ReportError(message, line);
    InstallResult result;
    result.outcome = outcome;
    return result;
}

InstallResult RejectFolder(const char* folder, InstallReporter& reporter)
{
    return Stop(reporter, kInvalidFolder, IDS_INVALID_FOLDER, folder, false);
}

InstallResult RejectLogFile(const char* path, InstallReporter& reporter)
{
    return Stop(reporter, kInvalidFolder, IDS_INVALID_LOG_FILE, path, false);
}

// One warning naming the failed rows: all of them in the log, the first few in a box.
static void ReportFailedRows(InstallReporter& reporter, const char* folder, const FailedRows& failed)
{
    CString intro;
    intro.LoadString(IDS_INSTALLED_WITH_ERRORS);
    CString rows(failed.text);
    char* all = rows.GetBuffer(0);
    size_t len = strlen(all);
    if (len && all[len - 1] == '\n') all[len - 1] = '\0';

    CString line;
    line.Format("%s: %s\n\n%s", folder, (const char*)intro, (const char*)rows);

    // The box: the first rows, and how many more there are.
    char* cut = all;
    for (int i = 0; i < kRowsShown && cut; ++i) {
        cut = strchr(cut, '\n');
        if (cut) ++cut;
    }
    if (cut) {
        cut[-1] = '\0';
        CString more, count;
        more.LoadString(IDS_MORE_FAILED_ROWS);
        count.Format(more, failed.nCount - kRowsShown);
        rows += "\n";
        rows += count;
    }
    CString message;
    message.Format("%s\n\n%s", (const char*)intro, (const char*)rows);
    reporter.ReportWarning(message, line);
}

// A failed payload that could not be taken back completely: the files that are not as before,
// all of them, in the log and the box.
static InstallResult ReportNotRestored(InstallReporter& reporter, const char* folder, const FailedRows& files)
{
    CString intro, rows(files.text), message, line;
    intro.LoadString(IDS_ROLLBACK_INCOMPLETE);
    char* end = rows.GetBuffer(0);
    size_t len = strlen(end);
    if (len && end[len - 1] == '\n') end[len - 1] = '\0';
    message.Format("%s\n\n%s", (const char*)intro, (const char*)rows);
    line.Format("%s: %s", folder, (const char*)message);
    reporter.ReportError(message, line);
    InstallResult result;
    result.outcome = kPayloadIncomplete;
    return result;
}

InstallResult RunInstallation(const InstallOptions& o, InstallReporter& reporter)
{
    char folder[MAX_PATH];
    lstrcpynA(folder, o.szFolder, sizeof folder);
    TrimBlanks(folder);
    if (!IsRootedFolder(folder)) return RejectFolder(folder, reporter);

    if (!CreateFolderPath(folder))
        return Stop(reporter, kFolderNotCreatable, IDS_CANNOT_CREATE_FOLDER, folder, false);

    FailedRows notRestored;
    if (!WritePayload(folder, &notRestored)) {
        if (!notRestored.nCount) return Stop(reporter, kPayloadIncomplete, IDS_INSTALL_FAILED, folder, true);
        return ReportNotRestored(reporter, folder, notRestored);
    }

    InstallResult result;
    result.outcome = kInstalled;

    char ini[MAX_PATH];
    lstrcpynA(ini, o.szFolder, sizeof ini);
    TrimBlanks(ini);
    AppendBackslash(ini, sizeof ini);
    CString iniPath;
    iniPath.Format("%spxm32.ini", ini);
    if (!WritePrivateProfileStringA("Language", "DLL", "DEUTSCH.DLL", iniPath) ||
        !WritePrivateProfileStringA("Language", "Lang", "Deutsch", iniPath))
        result.failed.Add(iniPath);
    WritePrivateProfileStringA(NULL, NULL, NULL, iniPath);  // flush the profile cache to disk

    int bConfirmed = 1;
    if (o.bAnyFormat && !reporter.AskAssociate()) bConfirmed = 0;

    RegisterShellIntegration(bConfirmed, o.szFolder, o.bStartMenuGroup, o.bDesktopShortcut, o.bThumbsShortcut,
                             o.bAllUsers, o.formatFlags, o.bAssocAllUsers, &result.failed);

    if (result.failed.nCount) {
        result.outcome = kInstalledWithErrors;
        ReportFailedRows(reporter, folder, result.failed);
    }
    return result;
}
