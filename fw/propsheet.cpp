#include "propsheet.h"

// The sheet being run by DoModal; the system's callback carries no user data.
static CPropertySheet* s_pRunningSheet;

CPropertyPage::CPropertyPage()
{
    ZeroMemory(&m_psp, sizeof m_psp);
    m_psp.dwSize = sizeof m_psp;
    m_psp.hInstance = ::GetModuleHandleA(NULL);
    m_psp.pfnDlgProc = PageProc;
    m_psp.lParam = (LPARAM)this;
}

void CPropertyPage::Construct(UINT nIDTemplate, UINT nIDCaption)
{
    m_nIDTemplate = nIDTemplate;
    m_psp.pszTemplate = MAKEINTRESOURCEA(nIDTemplate);
    if (nIDCaption) {
        m_psp.dwFlags |= PSP_USETITLE;
        m_psp.pszTitle = MAKEINTRESOURCEA(nIDCaption);
    }
}

INT_PTR CALLBACK CPropertyPage::PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_INITDIALOG) {
        // A page is created inside the sheet's own initialisation, possibly before the sheet
        // reports itself initialised: make sure the sheet object has its window by then.
        if (s_pRunningSheet) s_pRunningSheet->AttachWindow(::GetParent(hwnd));
        CPropertyPage* page = (CPropertyPage*)((PROPSHEETPAGEA*)lp)->lParam;
        return InitDialog(page, hwnd);
    }
    return FALSE;
}

BOOL CPropertyPage::OnNotify(WPARAM wp, LPARAM lp, LRESULT* result)
{
    NMHDR* nm = (NMHDR*)lp;
    LRESULT r;
    switch (nm->code) {
    case PSN_SETACTIVE:
        // The first page, placed by the sheet, tells how much room the sheet gave; a page made after
        // the sheet grew comes at the sheet's first size.
        if (s_pRunningSheet && !s_pRunningSheet->m_pageSize.cx)
            s_pRunningSheet->FitPages(m_hWnd);
        else if (s_pRunningSheet)
            ::SetWindowPos(m_hWnd, NULL, 0, 0, s_pRunningSheet->m_pageSize.cx, s_pRunningSheet->m_pageSize.cy,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        r = OnSetActive() ? 0 : -1;
        break;
    case PSN_WIZNEXT: r = OnWizardNext(); break;
    case PSN_WIZBACK: r = OnWizardBack(); break;
    default: return FALSE;
    }
    // We answer at the window procedure level, so the answer is the message's return value;
    // the dialog result is set as well for readers that look there.
    ::SetWindowLongPtrA(m_hWnd, DWLP_MSGRESULT, r);
    *result = r;
    return TRUE;
}

CPropertySheet::CPropertySheet(const char* caption, CWnd* parent, UINT selectPage)
    : m_nPages(0), m_caption(caption)
{
    m_pageSize.cx = m_pageSize.cy = 0;
    ZeroMemory(&m_psh, sizeof m_psh);
    m_psh.dwSize = sizeof m_psh;
    m_psh.dwFlags = PSH_USECALLBACK | PSH_NOAPPLYNOW;
    m_psh.hwndParent = parent ? parent->m_hWnd : NULL;
    m_psh.hInstance = ::GetModuleHandleA(NULL);
    m_psh.pszCaption = caption;
    m_psh.nStartPage = selectPage;
    m_psh.pfnCallback = SheetCallback;
}

CPropertySheet::~CPropertySheet() {}

void CPropertySheet::AddPage(CPropertyPage* page)
{
    if (m_nPages < kMaxPages) m_pages[m_nPages++] = page;
}

void CPropertySheet::AttachWindow(HWND hwnd)
{
    if (!m_hWnd) SubclassWindow(hwnd);
}

int CALLBACK CPropertySheet::SheetCallback(HWND hwnd, UINT msg, LPARAM lp)
{
    if (msg == PSCB_INITIALIZED && s_pRunningSheet) {
        s_pRunningSheet->AttachWindow(hwnd);
        s_pRunningSheet->OnInitDialog();
    }
    return 0;
}

INT_PTR CPropertySheet::DoModal()
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    HPROPSHEETPAGE pages[kMaxPages];
    for (int i = 0; i < m_nPages; ++i) pages[i] = ::CreatePropertySheetPageA(&m_pages[i]->m_psp);
    m_psh.nPages = m_nPages;
    m_psh.phpage = pages;
    s_pRunningSheet = this;
    INT_PTR result = ::PropertySheetA(&m_psh);
    s_pRunningSheet = NULL;
    m_hWnd = NULL;
    m_pageSize.cx = m_pageSize.cy = 0;
    return result;
}

// Width and height in dialog units of a dialog template of the program's resources.
static SIZE TemplateSize(UINT id)
{
    SIZE size = {0, 0};
    HMODULE module = ::GetModuleHandleA(NULL);
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(id), (LPCSTR)RT_DIALOG);
    const WORD* p = res ? (const WORD*)::LockResource(::LoadResource(module, res)) : NULL;
    if (!p) return size;
    const short* extent = (const short*)(p[1] == 0xFFFF ? p + 11 : p + 7);  // extended or plain template
    size.cx = extent[0];
    size.cy = extent[1];
    return size;
}

void CPropertySheet::FitPages(HWND page)
{
    if (!page) page = (HWND)::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
    if (!page) return;
    RECT need = {0, 0, 0, 0};
    for (int i = 0; i < m_nPages; ++i) {
        SIZE size = TemplateSize(m_pages[i]->m_nIDTemplate);
        if (size.cx > need.right) need.right = size.cx;
        if (size.cy > need.bottom) need.bottom = size.cy;
    }
    ::MapDialogRect(page, &need);  // every page has the same font
    RECT have;
    ::GetWindowRect(page, &have);
    ::MapWindowPoints(NULL, m_hWnd, (POINT*)&have, 2);
    int dx = need.right - (have.right - have.left), dy = need.bottom - (have.bottom - have.top);
    if (dx < 0) dx = 0;
    if (dy < 0) dy = 0;
    m_pageSize.cx = have.right - have.left + dx;
    m_pageSize.cy = have.bottom - have.top + dy;
    if (!dx && !dy) return;
    // The sheet's buttons keep their place at its bottom right; the line above them grows with it.
    for (HWND c = ::GetWindow(m_hWnd, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        char cls[16] = "";
        ::GetClassNameA(c, cls, sizeof cls);
        RECT rc;
        ::GetWindowRect(c, &rc);
        ::MapWindowPoints(NULL, m_hWnd, (POINT*)&rc, 2);
        if (!lstrcmpA(cls, "#32770")) {  // a page
            ::SetWindowPos(c, NULL, 0, 0, m_pageSize.cx, m_pageSize.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        if (rc.top < have.bottom) continue;  // nothing of the sheet's own beside the page
        bool button = !lstrcmpiA(cls, "Button");
        ::SetWindowPos(c, NULL, rc.left + (button ? dx : 0), rc.top + dy, rc.right - rc.left + (button ? 0 : dx),
                       rc.bottom - rc.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RECT frame;
    ::GetWindowRect(m_hWnd, &frame);
    ::SetWindowPos(m_hWnd, NULL, 0, 0, frame.right - frame.left + dx, frame.bottom - frame.top + dy,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CPropertySheet::GetActiveIndex() const
{
    HWND page = (HWND)::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
    return (int)::SendMessageA(m_hWnd, PSM_HWNDTOINDEX, (WPARAM)page, 0);
}
