#include "partner_steps.h"
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "mirrors.h"
#include "download/http_download_dlg.h"
#include "fw/os_family.h"
#include "install/path_text.h"
#include "private_folder.h"
#include "signature.h"

int ChooseMirrorIndex(unsigned seed)
{
    srand(seed);
    int r = rand() % 3;
    if (r == 2) r = rand() % 3;  // the third mirror gets a second chance only
    return r;
}

void ChooseMirror(char* szMirror)
{
    lstrcpynA(szMirror, kMirrorUrls[ChooseMirrorIndex(GetTickCount())], MAX_PATH);
}

// One partner installer; the 9x line of Windows has its own variant of some of the fields.
struct PartnerInstaller {
    const char* localFile;   // in a folder of its own under the temporary folder
    const char* remoteFile;  // below the mirror's base URL
    const char* remoteFile9x;
    const char* displayText; // second line of the download dialog
    DWORD minLength;         // a download of this length or less is no installer (an error page)
    DWORD minLength9x;
    const char* switches;
    const char* switches9x;
    int publisher;           // row of kPartnerPublishers
};

static const PartnerInstaller kToolbar = { "google_toolbar_installer.exe", "google_toolbar4_de.exe", "google_toolbar_9x_de.exe", "Google Toolbar", 811000, 559000, "/q /-b /s:de", "/q /s:de", kToolbarPartner };
static const PartnerInstaller kDesktop = { "gds_de.exe", "google_ds_de.exe", "google_ds_de.exe", "Google Desktop", 746000, 746000, "-silent -bundle PXMA", "-silent -bundle PXMA", kDesktopPartner };

static const DWORD kRestartNeeded = 3010;  // installed; the partner asks for a restart

// Windows starts no program that someone holds open for writing. So once the download is
// complete, a reading handle that lets others read only takes over from the writing one; the
// reading handle of the download, kept open meanwhile, stops anyone from removing or renaming
// the file in between. Should another program get the file open for writing in the moment
// between the two, the reading handle cannot be had and the step fails; what it wrote before
// is caught by the signature check, which reads through the new handle.
static HANDLE HandOverForReading(HANDLE hWrite, const char* path)
{
    HANDLE bridge = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    CloseHandle(hWrite);
    if (bridge == INVALID_HANDLE_VALUE) return INVALID_HANDLE_VALUE;
    HANDLE hRead = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    CloseHandle(bridge);
    return hRead;
}

// The windows of this thread that a wait has disabled, to enable them again afterwards.
struct DisabledWindows {
    HWND hwnd[16];
    int count;
};

static BOOL CALLBACK DisableWindow(HWND hwnd, LPARAM param)
{
    DisabledWindows* d = (DisabledWindows*)param;
    if (d->count < 16 && IsWindowVisible(hwnd) && IsWindowEnabled(hwnd)) {
        EnableWindow(hwnd, FALSE);
        d->hwnd[d->count++] = hwnd;
    }
    return TRUE;
}

// Waits for the process to end while the setup's windows go on painting and can be moved;
// they take no input meanwhile. Returns the process's exit code.
static DWORD WaitKeepingWindowsAlive(HANDLE process)
{
    DisabledWindows d;
    d.count = 0;
    EnumThreadWindows(GetCurrentThreadId(), DisableWindow, (LPARAM)&d);
    bool quit = false;
    int quitCode = 0;
    while (MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG msg;
        while (!quit && PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {  // belongs to the loop around us: handed on afterwards
                quit = true;
                quitCode = (int)msg.wParam;
                break;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (quit) WaitForSingleObject(process, INFINITE);
    }
    while (d.count) EnableWindow(d.hwnd[--d.count], TRUE);
    if (quit) PostQuitMessage(quitCode);
    DWORD code = 1;
    if (!GetExitCodeProcess(process, &code)) code = 1;
    return code;
}

// Starts the installer from its own folder, under its full path (never searched for), and
// waits for it to end, however long it takes. The path in the command line is quoted: the
// temporary folder often has blanks in it. `hHeld`, the checked file, is let go only once the
// installer has started. 1 when it ran and reported success.
static int RunInstaller(HANDLE hHeld, const char* path, const char* folder, const char* switches)
{
    CString command;
    command.Format("\"%s\" %s", path, switches);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    BOOL started = CreateProcessA(path, command.GetBuffer(0), NULL, NULL, FALSE, 0, NULL, folder, &si, &pi);
    CloseHandle(hHeld);
    if (!started) {
        TracePartner(path, "could not be started");
        return 0;
    }
    CloseHandle(pi.hThread);
    DWORD code = WaitKeepingWindowsAlive(pi.hProcess);
    CloseHandle(pi.hProcess);
    CString what;
    what.Format("ended with exit code %lu", (unsigned long)code);
    TracePartner(path, what);
    return code == 0 || code == kRestartNeeded;
}

// Downloads, checks and runs one partner installer in a folder of its own; 1 when it was
// installed. Everything of the download is removed afterwards, whatever happened.
static int DownloadAndRun(const PartnerInstaller& partner, bool b9x)
{
    CPrivateFolder folder;
    if (!folder.Create()) {  // no (absolute) temporary folder: nothing is fetched
        TracePartner(partner.localFile, "no folder of its own in the temporary folder");
        return 0;
    }
    CString local;
    local.Format("%s%s", folder.m_szPath, partner.localFile);
    // Created here, never taken over: the file is ours from the first byte on, and nobody else
    // may write, remove or rename it while it is open.
    HANDLE hFile = CreateFileA(local, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, folder.Security(), CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE) {
        TracePartner(local, "could not be created");
        folder.Remove(partner.localFile);
        return 0;
    }

    char mirror[MAX_PATH];
    ChooseMirror(mirror);
    CString url;
    url.Format("%s%s", mirror, b9x ? partner.remoteFile9x : partner.remoteFile);

    int ok;
    {
        CHttpDownloadDlg dlg;
        dlg.m_sUrl = url;
        dlg.m_sTargetPath = local;
        dlg.m_hTargetFile = hFile;
        dlg.m_sDisplayText = partner.displayText;
        INT_PTR result = dlg.DoModal();
        DWORD error = GetLastError();
        ok = result == IDOK;
        if (!ok) {
            CString what;
            what.Format("not downloaded: %s (dialog result %d, error %lu)",
                        dlg.m_sError.IsEmpty() ? "cancelled" : (const char*)dlg.m_sError, (int)result, (unsigned long)error);
            TracePartner(local, what);
        }
    }  // the dialog's own handle of the file is closed with it

    int installed = 0;
    if (ok) {
        hFile = HandOverForReading(hFile, local);
        DWORD length = hFile != INVALID_HANDLE_VALUE ? GetFileSize(hFile, NULL) : 0;
        DWORD least = b9x ? partner.minLength9x : partner.minLength;
        if (hFile == INVALID_HANDLE_VALUE || length == INVALID_FILE_SIZE || length <= least) {
            CString what;
            what.Format("not taken: %lu bytes, more than %lu expected", (unsigned long)length, (unsigned long)least);
            TracePartner(local, hFile == INVALID_HANDLE_VALUE ? "could not be opened for reading" : (const char*)what);
        } else if (VerifyPublisher(hFile, local, kPartnerPublishers[partner.publisher])) {
            char startIn[MAX_PATH];
            lstrcpynA(startIn, folder.m_szPath, lstrlenA(folder.m_szPath));  // without the last backslash
            installed = RunInstaller(hFile, local, startIn, b9x ? partner.switches9x : partner.switches);
            hFile = INVALID_HANDLE_VALUE;
        }
    }
    if (hFile != INVALID_HANDLE_VALUE) CloseHandle(hFile);
    folder.Remove(partner.localFile);
    return installed;
}

bool InstallToolbarPartner()
{
    return DownloadAndRun(kToolbar, GetOsFamily().b9x) != 0;
}

bool InstallDesktopPartner()
{
    return DownloadAndRun(kDesktop, false) != 0;
}
