#include "wnd.h"

static const char kPropObject[] = "fw.CWnd";

CWnd::CWnd() : m_hWnd(NULL), m_pfnSuper(NULL) {}

CWnd::~CWnd()
{
    if (m_pfnSuper && m_hWnd && ::IsWindow(m_hWnd)) UnsubclassWindow();
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    m_hWnd = NULL;
    return h;
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd)
{
    return hwnd ? (CWnd*)::GetPropA(hwnd, kPropObject) : NULL;
}

BOOL CWnd::SubclassWindow(HWND hwnd)
{
    if (!hwnd || m_pfnSuper) return FALSE;
    m_hWnd = hwnd;
    PreSubclassWindow();
    ::SetPropA(hwnd, kPropObject, (HANDLE)this);
    m_pfnSuper = (WNDPROC)::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, (LONG_PTR)SubclassProc);
    return TRUE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_pfnSuper) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, (LONG_PTR)m_pfnSuper);
        ::RemovePropA(m_hWnd, kPropObject);
        m_pfnSuper = NULL;
    }
    return Detach();
}

LRESULT CWnd::DefWindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, msg, wp, lp);
    return ::DefWindowProcA(m_hWnd, msg, wp, lp);
}

LRESULT CWnd::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    // Let a control object answer the notifications it sent to its parent.
    bool fromControl = (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC) || (msg == WM_COMMAND && lp);
    if (fromControl) {
        CWnd* child = FromHandlePermanent((HWND)lp);
        LRESULT result = 0;
        if (child && child != this && child->OnChildNotify(msg, wp, lp, &result)) return result;
    }
    switch (msg) {
    case WM_COMMAND:
        if (OnCommand(wp, lp)) return 0;
        break;
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (OnNotify(wp, lp, &result)) return result;
        break;
    }
    }
    return DefWindowProc(msg, wp, lp);
}

LRESULT CALLBACK CWnd::SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    CWnd* self = FromHandlePermanent(hwnd);
    if (!self) return ::DefWindowProcA(hwnd, msg, wp, lp);
    if (msg == WM_NCDESTROY) {
        // The window is going: hand it back before the last message so that nothing
        // reaches an object that may be destroyed next.
        WNDPROC super = self->m_pfnSuper;
        self->UnsubclassWindow();
        return ::CallWindowProcA(super, hwnd, msg, wp, lp);
    }
    return self->WindowProc(msg, wp, lp);
}
