// CDialog: a modal dialog from a template of the program's resources, plus the data exchange
// that binds control objects to the dialog's controls (DDX_Control).
#pragma once
#include "wnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dlg, BOOL save) : m_pDlgWnd(dlg), m_bSaveAndValidate(save) {}
    CWnd* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
};

// Subclasses control `id` of the dialog with `control` the first time the exchange runs.
void DDX_Control(CDataExchange* pDX, int id, CWnd& control);

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate = 0, CWnd* pParent = NULL);

    UINT m_nIDTemplate;
    CWnd* m_pParentWnd;

    INT_PTR DoModal();
    void EndDialog(int result) { ::EndDialog(m_hWnd, result); }
    BOOL UpdateData(BOOL bSave = TRUE);

    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(CDataExchange* pDX) {}
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }

protected:
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    // Dialog procedure shared by modal dialogs and property pages: subclasses the dialog
    // window for the object given at WM_INITDIALOG and then calls OnInitDialog.
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR InitDialog(CDialog* self, HWND hwnd);
};
