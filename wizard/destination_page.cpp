// Page 0: destination folder and shortcuts.
#include <windows.h>
#include <shlobj.h>
#include <stdlib.h>
#include "fw/cstring.h"
#include "install/install_folder.h"
#include "install/path_text.h"
#include "install/viewer.h"
#include "res/resource.h"
#include "wiz_page.h"
#include "wiz_sheet.h"

enum { kFolderField = 1000, kBrowse = 1009, kDesktop = 1011, kStartMenu = 1012, kTitle = 1013,
       kCurrentUser = 1016, kAllUsers = 1017, kNone = 1019, kThumbs = 1021 };

static void ShowMessage(HWND owner, UINT textId, UINT icon)
{
    CString text, caption;
    text.LoadString(textId);
    caption.LoadString(IDS_CAPTION);
    MessageBoxA(owner, text, caption, MB_OK | icon);
}

void OnActivateDestinationPage(CWizPropertyPage* page)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    sheet->EnableButton(ID_WIZBACK, FALSE);
    HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(111));
    sheet->SendMessage(WM_SETICON, ICON_BIG, (LPARAM)icon);

    if (page->m_bFirstActivation) {
        sheet->SetButtonText(ID_WIZBACK, "< &Zur\xFC" "ck");
        sheet->SetButtonText(ID_WIZNEXT, "&Weiter >");
        ::SendMessageA(page->GetDlgItem(kTitle), WM_SETFONT, (WPARAM)(HFONT)sheet->m_fontTitle, TRUE);
        page->CheckDlgButton(kDesktop, BST_CHECKED);
        page->CheckDlgButton(kThumbs, BST_CHECKED);
        page->CheckDlgButton(kStartMenu, BST_CHECKED);
        page->CheckDlgButton(kCurrentUser, BST_CHECKED);
        char folder[MAX_PATH];
        if (page->GetDlgItemText(kFolderField, folder, sizeof folder) == 0) {
            GetDefaultInstallFolder(folder);
            char existing[MAX_PATH];
            if (GetExistingInstallFolder(existing)) lstrcpyA(folder, existing);
            page->SetDlgItemText(kFolderField, folder);
        }
    }
    if (IsViewerRunning()) ShowMessage(sheet->m_hWnd, IDS_VIEWER_RUNNING, MB_ICONEXCLAMATION);
    page->m_bFirstActivation = 0;
}

bool ValidateDestinationPage(CWizPropertyPage* page)
{
    char folder[MAX_PATH];
    page->GetDlgItemText(kFolderField, folder, sizeof folder);
    if (IsDriveFolder(folder)) return true;
    ShowMessage(page->m_pSheet->m_hWnd, IDS_INVALID_FOLDER, MB_ICONHAND);
    return false;
}

static int CALLBACK BrowseCallbackProc(HWND hwnd, UINT msg, LPARAM, LPARAM data)
{
    if (msg == BFFM_INITIALIZED) {
        char path[MAX_PATH];
        lstrcpynA(path, (const char*)data, sizeof path);
        int len = lstrlenA(path);
        if (len > 3 && path[len - 1] == '\\') path[len - 1] = '\0';  // a drive root keeps it
        SendMessageA(hwnd, BFFM_SETSELECTIONA, TRUE, (LPARAM)path);
    }
    return 0;
}

int BrowseForFolder(HWND owner, char* path)
{
    CString title;
    title.LoadString(IDS_BROWSE_TITLE);
    char display[MAX_PATH];
    BROWSEINFOA bi = {};
    bi.hwndOwner = owner;
    bi.pszDisplayName = display;
    bi.lpszTitle = title;
    bi.ulFlags = BIF_RETURNONLYFSDIRS;
    bi.lpfn = BrowseCallbackProc;
    bi.lParam = (LPARAM)path;
    LPITEMIDLIST pidl = SHBrowseForFolderA(&bi);
    if (!pidl) return 0;
    char chosen[MAX_PATH];
    BOOL ok = SHGetPathFromIDListA(pidl, chosen);
    CoTaskMemFree(pidl);
    if (!ok) return 0;
    lstrcpyA(path, chosen);
    AppendBackslash(path, MAX_PATH);
    return 1;
}

static void EnableUserChoice(CWizPropertyPage* page, BOOL enable)
{
    ::EnableWindow(page->GetDlgItem(kCurrentUser), enable);
    ::EnableWindow(page->GetDlgItem(kAllUsers), enable);
}

bool OnDestinationPageCommand(CWizPropertyPage* page, int id)
{
    if (page->m_nIDTemplate != 101) return false;
    switch (id) {
    case kDesktop:
    case kThumbs:
    case kStartMenu:
        EnableUserChoice(page, page->IsDlgButtonChecked(kDesktop) || page->IsDlgButtonChecked(kThumbs) ||
                                   page->IsDlgButtonChecked(kStartMenu));
        return true;
    case kNone:
        page->CheckDlgButton(kDesktop, BST_UNCHECKED);
        page->CheckDlgButton(kThumbs, BST_UNCHECKED);
        page->CheckDlgButton(kStartMenu, BST_UNCHECKED);
        EnableUserChoice(page, FALSE);
        return true;
    case kBrowse: {
        char path[MAX_PATH];
        page->GetDlgItemText(kFolderField, path, sizeof path);
        if (BrowseForFolder(GetActiveWindow(), path)) {
            AppendBackslash(path, sizeof path);
            page->SetDlgItemText(kFolderField, path);
        }
        return true;
    }
    }
    return false;
}
