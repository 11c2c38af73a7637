#include "wiz_sheet.h"
#include <shellapi.h>
#include "fw/cstring.h"
#include "install/path_text.h"
#include "res/resource.h"
#include "web_addresses.h"
#include "wiz_page.h"

CWizPropertySheet::CWizPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : CPropertySheet(caption, parent, selectPage), m_bQuitConfirmed(false)
{
    ZeroMemory(&m_model, sizeof m_model);
    m_model.outcome = kInstalled;
    m_psh.dwFlags |= PSH_WIZARD;
}

void CWizPropertySheet::AddPage(CWizPage* page)
{
    CPropertySheet::AddPage(page);
    page->m_pSheet = this;
}

BOOL CWizPropertySheet::OnInitDialog()
{
    BOOL result = CPropertySheet::OnInitDialog();
    CString text;
    text.LoadString(IDS_BUTTON_QUIT);
    SetButtonText(IDCANCEL, text);
    return result;
}

bool CWizPropertySheet::AskQuit()
{
    CString question, caption;
    question.LoadString(IDS_ASK_QUIT);
    caption.LoadString(IDS_CAPTION);
    return MessageBox(question, caption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

// The finish button: start the viewer when asked, and open the FAQ page.
void CWizPropertySheet::Finish()
{
    static_cast<CWizPage*>(GetPage(GetActiveIndex()))->Store();
    char folder[MAX_PATH + 16];
    lstrcpynA(folder, m_model.options.szFolder, MAX_PATH);
    // The installation trimmed the folder; the program is where it put it.
    TrimBlanks(folder);
    AppendBackslash(folder, sizeof folder);
    if (m_model.bStartViewer) {
        CString command;
        command.Format("\"%spxm32.exe\"", folder);  // quoted: the folder may hold blanks
        WinExec(command, SW_SHOWNORMAL);
    }
    ShellExecuteA(GetDesktopWindow(), "open", kFaqAddress, NULL, "", SW_SHOW);
}

BOOL CWizPropertySheet::OnCommand(WPARAM wp, LPARAM lp)
{
    if (LOWORD(wp) != IDCANCEL) return FALSE;
    if (IsFinishPage(GetActiveIndex())) {
        Finish();
        return FALSE;  // the sheet's own Cancel ends the wizard
    }
    if (m_bQuitConfirmed || AskQuit()) return FALSE;
    return TRUE;  // No: stay on the page
}

// The close box and the system menu's Close: the quit question, except on the finish page.
BOOL CWizPropertySheet::OnSysCommand(UINT nID, LPARAM lParam)
{
    if ((nID & 0xFFF0) == SC_CLOSE && !IsFinishPage(GetActiveIndex())) {
        if (!AskQuit()) return TRUE;  // dropped
        m_bQuitConfirmed = true;
    }
    return FALSE;
}

LRESULT CWizPropertySheet::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        if (OnSysCommand((UINT)wp, lp)) return 0;
        break;
    }
    return CPropertySheet::WindowProc(msg, wp, lp);
}
