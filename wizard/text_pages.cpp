// Page 1 (release notes), the ready page and the finish page.
#include <windows.h>
#include <string.h>
#include "fw/cstring.h"
#include "install/installation.h"
#include "install/path_text.h"
#include "install/viewer.h"
#include "partner/partner_steps.h"
#include "res/resource.h"
#include "wiz_page.h"
#include "wiz_sheet.h"

void OnActivateTextPage(CWizPropertyPage* page)
{
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(IDR_RELEASE_NOTES), "TXT");
    HGLOBAL mem = res ? LoadResource(self, res) : NULL;
    const char* data = mem ? (const char*)LockResource(mem) : NULL;
    if (!data) return;
    // The resource has no terminator: show exactly its bytes.
    DWORD size = SizeofResource(self, res);
    CString text;
    char* buf = text.GetBuffer(size);
    memcpy(buf, data, size);
    buf[size] = '\0';
    page->SetDlgItemText(1000, text);
}

void OnActivateReadyPage(CWizPropertyPage* page)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    ::SendMessageA(page->GetDlgItem(1014), WM_SETFONT, (WPARAM)(HFONT)sheet->m_fontTitle, TRUE);
    char folder[MAX_PATH] = "";
    HWND field = sheet->GetPageItem(0, 1000);
    if (field) ::GetWindowTextA(field, folder, sizeof folder);
    TrimBlanks(folder);
    CString label, text;
    label.LoadString(IDS_DESTINATION);
    text.Format("%s: %s", (const char*)label, folder);
    page->SetDlgItemText(1010, text);
}

LRESULT OnReadyPageNext(CWizPropertyPage* page)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    if (IsViewerRunning()) {
        CString text, caption;
        text.LoadString(IDS_VIEWER_RUNNING);
        caption.LoadString(IDS_CAPTION);
        MessageBoxA(sheet->m_hWnd, text, caption, MB_OK | MB_ICONEXCLAMATION);
        return -1;
    }
    InstallOptions o;
    memset(&o, 0, sizeof o);
    HWND field = sheet->GetPageItem(0, 1000);
    if (field) ::GetWindowTextA(field, o.szFolder, sizeof o.szFolder);
    o.bStartMenuGroup = sheet->IsPageButtonChecked(0, 1012);
    o.bDesktopShortcut = sheet->IsPageButtonChecked(0, 1011);
    o.bThumbsShortcut = sheet->IsPageButtonChecked(0, 1021);
    o.bAllUsers = sheet->IsPageButtonChecked(0, 1017);
    ReadFormatChoices(sheet, &o);
    ReadOfferChoices(sheet, &o);
    o.bSilent = 0;
    MessageBoxReporter reporter;
    InstallResult result = RunInstallation(o, reporter);
    if (!IsInstalled(result.outcome)) return 101;
    InstallChosenPartners(o);
    sheet->m_bInstalled = 1;
    sheet->m_nInstallOutcome = result.outcome;
    return 0;
}

void InstallChosenPartners(const InstallOptions& o)
{
    // Each whatever became of the other.
    if (o.bInstallToolbar) InstallToolbarPartner();
    if (o.bInstallDesktop) InstallDesktopPartner();
}

static void ShowNote(CWizPropertyPage* page, int note, int picture, bool show)
{
    ::ShowWindow(page->GetDlgItem(note), show ? SW_SHOW : SW_HIDE);
    ::ShowWindow(page->GetDlgItem(picture), show ? SW_SHOW : SW_HIDE);
}

void OnActivateFinishPage(CWizPropertyPage* page)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    bool toolbar = (sheet->IsPageButtonChecked(3, 1023) || sheet->IsPageButtonChecked(3, 1034)) && !g_bToolbarFailed;
    bool desktop = (sheet->IsPageButtonChecked(3, 1031) || sheet->IsPageButtonChecked(3, 1035)) && !g_bDesktopFailed;
    ShowNote(page, 1028, 1030, toolbar);
    ShowNote(page, 1029, 1033, desktop);
    ::SendMessageA(page->GetDlgItem(1015), WM_SETFONT, (WPARAM)(HFONT)sheet->m_fontTitle, TRUE);
    page->CheckDlgButton(1022, BST_CHECKED);
    page->CheckDlgButton(1020, BST_CHECKED);
    CString finish;
    finish.LoadString(IDS_BUTTON_FINISH);
    sheet->SetButtonText(IDCANCEL, finish);
    sheet->EnableButton(ID_WIZBACK, FALSE);
    sheet->EnableButton(ID_WIZNEXT, FALSE);
}
