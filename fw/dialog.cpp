#include "dialog.h"

void DDX_Control(CDataExchange* pDX, int id, CWnd& control)
{
    if (control.m_hWnd == NULL) control.SubclassWindow(::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, id));
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParent) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParent) {}

INT_PTR CDialog::DoModal()
{
    HWND parent = m_pParentWnd ? m_pParentWnd->m_hWnd : ::GetActiveWindow();
    return ::DialogBoxParamA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(m_nIDTemplate), parent,
                             DialogProc, (LPARAM)this);
}

BOOL CDialog::UpdateData(BOOL bSave)
{
    CDataExchange dx(this, bSave);
    DoDataExchange(&dx);
    return TRUE;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

BOOL CDialog::OnCommand(WPARAM wp, LPARAM lp)
{
    switch (LOWORD(wp)) {
    case IDOK: OnOK(); return TRUE;
    case IDCANCEL: OnCancel(); return TRUE;
    }
    return FALSE;
}

INT_PTR CDialog::InitDialog(CDialog* self, HWND hwnd)
{
    self->SubclassWindow(hwnd);
    return self->OnInitDialog();
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    // Everything after WM_INITDIALOG reaches the object through its subclassed WindowProc;
    // returning FALSE here lets the system's dialog handling do the rest.
    if (msg == WM_INITDIALOG) return InitDialog((CDialog*)lp, hwnd);
    return FALSE;
}
