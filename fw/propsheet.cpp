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
    case PSN_SETACTIVE: r = OnSetActive() ? 0 : -1; break;
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
    return result;
}

int CPropertySheet::GetActiveIndex() const
{
    HWND page = (HWND)::SendMessageA(m_hWnd, PSM_GETCURRENTPAGEHWND, 0, 0);
    return (int)::SendMessageA(m_hWnd, PSM_HWNDTOINDEX, (WPARAM)page, 0);
}
