// CPropertySheet and CPropertyPage: the system property sheet (here always in wizard mode)
// with pages bound to dialog templates of the program's resources.
//
// Page contract (OnWizardNext / OnWizardBack): 0 go to the neighbouring page, -1 stay,
// a dialog template id: go to the page built from that template.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "dialog.h"

class CPropertySheet;

class CPropertyPage : public CDialog {
public:
    CPropertyPage();
    void Construct(UINT nIDTemplate, UINT nIDCaption = 0);

    virtual BOOL OnSetActive() { return TRUE; }
    virtual LRESULT OnWizardNext() { return 0; }
    virtual LRESULT OnWizardBack() { return 0; }

    PROPSHEETPAGEA m_psp;

protected:
    BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;
    // Property pages end with the sheet, not with IDOK/IDCANCEL of their own.
    BOOL OnCommand(WPARAM wp, LPARAM lp) override { return FALSE; }

private:
    static INT_PTR CALLBACK PageProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
};

class CPropertySheet : public CWnd {
public:
    CPropertySheet(const char* caption, CWnd* parent = NULL, UINT selectPage = 0);
    virtual ~CPropertySheet();

    void AddPage(CPropertyPage* page);
    INT_PTR DoModal();

    int GetPageCount() const { return m_nPages; }
    CPropertyPage* GetPage(int index) const { return index >= 0 && index < m_nPages ? m_pages[index] : NULL; }
    int GetActiveIndex() const;
    // The sheet's own buttons (ID_WIZBACK, ID_WIZNEXT, IDCANCEL, ...).
    HWND GetButton(int id) const { return ::GetDlgItem(m_hWnd, id); }

    PROPSHEETHEADERA m_psh;

    // Grows the sheet until the largest page has the room its template asks for in the page's own
    // font. The system's sheet measures the pages in its own font (under Wine, and at some display
    // scales the pages' font grows faster than the sheet's), and would cut a page's right or bottom
    // part off. Called when the first page is activated, and again after a DPI change; `page`: one
    // of the pages as the sheet placed it (NULL: the active one).
    void FitPages(HWND page = NULL);

protected:
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    friend class CPropertyPage;
    void AttachWindow(HWND hwnd);  // subclasses the sheet window once per modal run
    static int CALLBACK SheetCallback(HWND hwnd, UINT msg, LPARAM lp);
    enum { kMaxPages = 8 };
    CPropertyPage* m_pages[kMaxPages];
    int m_nPages;
    SIZE m_pageSize;  // what FitPages gave the pages; pages made later get it on activation
    const char* m_caption;
};
