// CWnd: a window handle with a virtual window procedure.
//
// A CWnd either subclasses an existing window (SubclassWindow, used for dialog controls and
// for windows that the system creates, such as dialogs and property sheets) or only wraps a
// handle (Attach). Messages of a subclassed window reach WindowProc; what a class does not
// handle goes on to the window's original procedure through DefWindowProc.
#pragma once
#include <windows.h>

class CWnd {
public:
    CWnd();
    virtual ~CWnd();

    HWND m_hWnd;
    operator HWND() const { return m_hWnd; }

    void Attach(HWND hwnd) { m_hWnd = hwnd; }
    HWND Detach();
    BOOL SubclassWindow(HWND hwnd);
    HWND UnsubclassWindow();
    static CWnd* FromHandlePermanent(HWND hwnd);  // the subclassing object, or NULL

    // Forwarders: each is the Win32 call of the same name on m_hWnd.
    LRESULT SendMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::SendMessageA(m_hWnd, msg, wp, lp); }
    BOOL PostMessage(UINT msg, WPARAM wp = 0, LPARAM lp = 0) const { return ::PostMessageA(m_hWnd, msg, wp, lp); }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(m_hWnd, id); }
    void SetWindowText(const char* text) { ::SetWindowTextA(m_hWnd, text); }
    int GetWindowText(char* buf, int size) const { return ::GetWindowTextA(m_hWnd, buf, size); }
    void SetDlgItemText(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }
    int GetDlgItemText(int id, char* buf, int size) const { return (int)::GetDlgItemTextA(m_hWnd, id, buf, size); }
    UINT IsDlgButtonChecked(int id) const { return ::IsDlgButtonChecked(m_hWnd, id); }
    void CheckDlgButton(int id, UINT check) { ::CheckDlgButton(m_hWnd, id, check); }
    BOOL EnableWindow(BOOL enable = TRUE) { return ::EnableWindow(m_hWnd, enable); }
    BOOL ShowWindow(int cmd) { return ::ShowWindow(m_hWnd, cmd); }
    BOOL DestroyWindow() { return ::DestroyWindow(m_hWnd); }
    void GetClientRect(RECT* rc) const { ::GetClientRect(m_hWnd, rc); }
    void GetWindowRect(RECT* rc) const { ::GetWindowRect(m_hWnd, rc); }
    LONG GetStyle() const { return ::GetWindowLongA(m_hWnd, GWL_STYLE); }
    void SetFont(HFONT font, BOOL redraw = TRUE) { SendMessage(WM_SETFONT, (WPARAM)font, redraw); }
    HFONT GetFont() const { return (HFONT)SendMessage(WM_GETFONT); }
    void Invalidate(BOOL erase = TRUE) { ::InvalidateRect(m_hWnd, NULL, erase); }
    int MessageBox(const char* text, const char* caption, UINT type) { return ::MessageBoxA(m_hWnd, text, caption, type); }

protected:
    // The message dispatch of a class; a switch over the messages it handles.
    virtual LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // What the window would have done without us.
    LRESULT DefWindowProc(UINT msg, WPARAM wp, LPARAM lp);
    // Return TRUE when the command or notification was handled.
    virtual BOOL OnCommand(WPARAM wp, LPARAM lp) { return FALSE; }
    virtual BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) { return FALSE; }
    // Called just before a control is subclassed (controls set up their own state here).
    virtual void PreSubclassWindow() {}
    // A notification that the parent reflects back to the control that sent it
    // (WM_CTLCOLOR*, WM_COMMAND). TRUE when handled; *result is the parent's answer.
    virtual BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) { return FALSE; }

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    WNDPROC m_pfnSuper;

    CWnd(const CWnd&);
    CWnd& operator=(const CWnd&);
};
