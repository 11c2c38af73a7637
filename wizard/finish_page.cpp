#include "finish_page.h"
#include "fw/cstring.h"
#include "wiz_sheet.h"

void CFinishPage::ShowNote(int note, int picture, bool show)
{
    ::ShowWindow(GetDlgItem(note), show ? SW_SHOW : SW_HIDE);
    ::ShowWindow(GetDlgItem(picture), show ? SW_SHOW : SW_HIDE);
}

BOOL CFinishPage::OnSetActive()
{
    CWizPropertySheet* sheet = m_pSheet;
    ShowNote(IDC_TOOLBAR_NOTE, IDC_TOOLBAR_PICTURE, Model().bToolbarInstalled);
    ShowNote(IDC_DESKTOP_NOTE, IDC_DESKTOP_PICTURE, Model().bDesktopInstalled);
    SetFont(IDC_FINISH_TITLE, sheet->m_fontTitle);
    CheckDlgButton(IDC_SHOW_FAQ, BST_CHECKED);
    CheckDlgButton(IDC_START_VIEWER, BST_CHECKED);
    CString finish;
    finish.LoadString(IDS_BUTTON_FINISH);
    sheet->SetButtonText(IDCANCEL, finish);
    sheet->EnableButton(ID_WIZBACK, FALSE);
    sheet->EnableButton(ID_WIZNEXT, FALSE);
    return CWizPage::OnSetActive();
}

void CFinishPage::Store()
{
    Model().bStartViewer = IsDlgButtonChecked(IDC_START_VIEWER) == BST_CHECKED;
}
