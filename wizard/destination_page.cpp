#include <windows.h>
#include <shlobj.h>
#include <stdlib.h>
#include "fw/cstring.h"
#include "install/install_folder.h"
#include "install/path_text.h"
#include "install/viewer.h"
#include "destination_page.h"
#include "res/resource.h"
#include "wiz_sheet.h"

BOOL CDestinationPage::OnSetActive()
{
    CWizPropertySheet* sheet = m_pSheet;
    sheet->EnableButton(ID_WIZBACK, FALSE);
    HICON icon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_SETUP));
    sheet->SendMessage(WM_SETICON, ICON_BIG, (LPARAM)icon);

    if (m_bFirstActivation) {
        sheet->SetButtonText(ID_WIZBACK, "< &Zur\xFC" "ck");
        sheet->SetButtonText(ID_WIZNEXT, "&Weiter >");
        SetFont(IDC_WELCOME, sheet->m_fontTitle);
        CheckDlgButton(IDC_DESKTOP, BST_CHECKED);
        CheckDlgButton(IDC_THUMBS, BST_CHECKED);
        CheckDlgButton(IDC_START_MENU, BST_CHECKED);
        CheckDlgButton(IDC_CURRENT_USER, BST_CHECKED);
        char folder[MAX_PATH];
        if (GetDlgItemText(IDC_FOLDER, folder, sizeof folder) == 0) {
            ProposeInstallFolder(folder);
            SetDlgItemText(IDC_FOLDER, folder);
        }
    }
    if (IsViewerRunning()) ShowMessage(IDS_VIEWER_RUNNING, MB_ICONEXCLAMATION);
    m_bFirstActivation = false;
    return CWizPage::OnSetActive();
}

void CDestinationPage::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_FOLDER, m_folderField);  // named for a screen reader by its group box
}

LRESULT CDestinationPage::OnNext()
{
    char folder[MAX_PATH];
    GetDlgItemText(IDC_FOLDER, folder, sizeof folder);
    if (!IsDriveFolder(folder)) {
        ShowMessage(IDS_INVALID_FOLDER, MB_ICONHAND);
        return -1;
    }
    return CWizPage::OnNext();
}

void CDestinationPage::Store()
{
    InstallOptions& o = Model().options;
    o.szFolder[0] = '\0';
    GetDlgItemText(IDC_FOLDER, o.szFolder, sizeof o.szFolder);
    o.bStartMenuGroup = IsDlgButtonChecked(IDC_START_MENU) == BST_CHECKED;
    o.bDesktopShortcut = IsDlgButtonChecked(IDC_DESKTOP) == BST_CHECKED;
    o.bThumbsShortcut = IsDlgButtonChecked(IDC_THUMBS) == BST_CHECKED;
    o.bAllUsers = IsDlgButtonChecked(IDC_ALL_USERS) == BST_CHECKED;
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

void CDestinationPage::EnableUserChoice(BOOL enable)
{
    ::EnableWindow(GetDlgItem(IDC_CURRENT_USER), enable);
    ::EnableWindow(GetDlgItem(IDC_ALL_USERS), enable);
}

BOOL CDestinationPage::OnClicked(int id)
{
    switch (id) {
    case IDC_DESKTOP:
    case IDC_THUMBS:
    case IDC_START_MENU:
        EnableUserChoice(IsDlgButtonChecked(IDC_DESKTOP) || IsDlgButtonChecked(IDC_THUMBS) ||
                         IsDlgButtonChecked(IDC_START_MENU));
        return TRUE;
    case IDC_NO_SHORTCUTS:
        CheckDlgButton(IDC_DESKTOP, BST_UNCHECKED);
        CheckDlgButton(IDC_THUMBS, BST_UNCHECKED);
        CheckDlgButton(IDC_START_MENU, BST_UNCHECKED);
        EnableUserChoice(FALSE);
        return TRUE;
    case IDC_BROWSE: {
        char path[MAX_PATH];
        GetDlgItemText(IDC_FOLDER, path, sizeof path);
        if (BrowseForFolder(::GetActiveWindow(), path)) {
            AppendBackslash(path, sizeof path);
            SetDlgItemText(IDC_FOLDER, path);
        }
        return TRUE;
    }
    }
    return FALSE;
}
