#include "partner_steps.h"
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include "mirrors.h"
#include "download/http_download_dlg.h"
#include "fw/os_family.h"
#include "install/path_text.h"
#include "install/payload.h"

// Set when that partner's installer was not obtained; cleared just before each download.
static int g_bToolbarFailed = 0;
static int g_bDesktopFailed = 0;

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
    const char* localFile;   // in the temporary folder
    const char* remoteFile;  // below the mirror's base URL
    const char* remoteFile9x;
    const char* displayText; // second line of the download dialog
    DWORD minLength;         // a download of this length or less is no installer (an error page)
    DWORD minLength9x;
    const char* switches;
    const char* switches9x;
    int* pFailed;
};

static const PartnerInstaller kToolbar = { "google_toolbar_installer.exe", "google_toolbar4_de.exe", "google_toolbar_9x_de.exe", "Google Toolbar", 811000, 559000, "/q /-b /s:de", "/q /s:de", &g_bToolbarFailed };
static const PartnerInstaller kDesktop = { "gds_de.exe", "google_ds_de.exe", "google_ds_de.exe", "Google Desktop", 746000, 746000, "-silent -bundle PXMA", "-silent -bundle PXMA", &g_bDesktopFailed };

// Starts the installer and waits for it to end, however long it takes. The path is quoted:
// the temporary folder often has blanks in it, and unquoted the system would first try to
// start the text before the first blank as a program ("C:\Documents.exe").
static void RunInstaller(const char* path, const char* switches)
{
    CString command;
    command.Format("\"%s\" %s", path, switches);
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, command.GetBuffer(0), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return;
    WaitForSingleObject(pi.hProcess, INFINITE);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

static void InstallPartner(const PartnerInstaller& partner, bool b9x)
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp) temp[0] = '\0';
    AppendBackslash(temp, sizeof temp);
    CString local;
    local.Format("%s%s", temp, partner.localFile);

    char mirror[MAX_PATH];
    ChooseMirror(mirror);
    CString url;
    url.Format("%s%s", mirror, b9x ? partner.remoteFile9x : partner.remoteFile);

    int ok;
    {
        CHttpDownloadDlg dlg;
        dlg.m_sUrl = url;
        dlg.m_sTargetPath = local;
        dlg.m_sDisplayText = partner.displayText;
        *partner.pFailed = 0;
        ok = dlg.DoModal() == IDOK;
    }  // the dialog object is gone, and with it any hold on the file: the removal below works

    if (ok && (DWORD)QueryFileLength(local) > (b9x ? partner.minLength9x : partner.minLength))
        RunInstaller(local, b9x ? partner.switches9x : partner.switches);
    else
        *partner.pFailed = 1;
    remove(local);
}

bool InstallToolbarPartner()
{
    InstallPartner(kToolbar, GetOsFamily().b9x);
    return !g_bToolbarFailed;
}

bool InstallDesktopPartner()
{
    InstallPartner(kDesktop, false);
    return !g_bDesktopFailed;
}
