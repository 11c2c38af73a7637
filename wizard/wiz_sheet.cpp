#include "wiz_sheet.h"
#include <shellapi.h>
#include "fw/cstring.h"
#include "fw/debug_trace.h"
#include "fw/scaled_pictures.h"
#include "fw/shell_open.h"
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

// Which way something was started, for the debugger output (the tests read it).
static void TraceRoute(const char* what, ShellOpenRoute route)
{
    static const char* const kRoutes[] = {"by the desktop shell", "by the setup", "not at all"};
    CString line;
    line.Format("Pixmora: %s started %s\n", what, kRoutes[route]);
    DebugTrace(line);
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
    // Started as the user's own programs are, not with the setup's administrator rights.
    ShellOpenRoute route;
    if (m_model.bStartViewer) {
        CString program;
        program.Format("%spxm32.exe", folder);
        ShellOpenAsUser(program, NULL, SW_SHOWNORMAL, &route);
        TraceRoute("the viewer", route);
    }
    ShellOpenAsUser(kFaqAddress, NULL, SW_SHOW, &route);
    TraceRoute("the FAQ page", route);
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

// Moved to a monitor of another scale: the size the system suggests for it, room for the pages in
// their font at that scale, and the pictures made for it.
void CWizPropertySheet::OnDpiChanged(const RECT* suggested)
{
    ::SetWindowPos(m_hWnd, NULL, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    FitPages();
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page->m_hWnd) ChooseScaledPictures(page->m_hWnd, page->m_nIDTemplate);
    }
}

LRESULT CWizPropertySheet::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SYSCOMMAND:
        if (OnSysCommand((UINT)wp, lp)) return 0;
        break;
    case WM_DPICHANGED_MSG:
        OnDpiChanged((const RECT*)lp);
        return 0;
    }
    return CPropertySheet::WindowProc(msg, wp, lp);
}
