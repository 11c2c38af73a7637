// What a screen reader learns of a control: the standard answers of the system's proxy for the
// window (position, focus, value, navigation), with the few that the control itself knows better.
#pragma once
#include <windows.h>
#include "fw/controls.h"

// The message a link receives when its default action is done through accessibility.
const UINT kLinkOpenMessage = WM_USER + 0x50;

enum AccessibleKind {
    kAccessibleNamed,  // the standard object, with the name given
    kAccessibleLink,   // a link: its text as name, opened by its default action (kLinkOpenMessage)
    kAccessibleProgress,  // a progress bar: its position as a percentage of its range as value
};

// The WM_GETOBJECT answer of such a window: an object for OBJID_CLIENT, else 0 so that the
// system gives its own. `name` (kAccessibleNamed) is copied.
LRESULT AnswerAccessibleObject(HWND window, WPARAM wp, LPARAM lp, AccessibleKind kind, const char* name = NULL);

// Ends what answering a screen reader began on this thread (its COM apartment, with the objects
// a screen reader still holds), before the windows' thread ends: called once the wizard has closed.
void EndAccessibility();

// The WM_GETOBJECT answer of a control named by the text of the group box it lies in (the
// standard object would take the nearest label before it, which a group box is not).
LRESULT AnswerNamedByGroup(HWND control, WPARAM wp, LPARAM lp);

// An entry field named that way.
class CGroupNamedField : public CWnd {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_GETOBJECT)
            if (LRESULT r = AnswerNamedByGroup(m_hWnd, wp, lp)) return r;
        return CWnd::WindowProc(msg, wp, lp);
    }
};

// A progress bar that says so, with its value, whatever proxy the system has for it.
class CAccessibleProgress : public CProgressCtrl {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        if (msg == WM_GETOBJECT)
            if (LRESULT r = AnswerAccessibleObject(m_hWnd, wp, lp, kAccessibleProgress)) return r;
        return CProgressCtrl::WindowProc(msg, wp, lp);
    }
};

// A read-only text of several lines that leaves Tab, Enter and Esc to the dialog: an edit of
// several lines takes every key, so Tab would stay in it and Esc would not reach Cancel.
class CReadOnlyText : public CWnd {
protected:
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override
    {
        LRESULT r = CWnd::WindowProc(msg, wp, lp);
        if (msg == WM_GETDLGCODE) {
            const MSG* m = (const MSG*)lp;
            bool dialogKey = m && m->message == WM_KEYDOWN &&
                             (m->wParam == VK_TAB || m->wParam == VK_RETURN || m->wParam == VK_ESCAPE);
            if (dialogKey || !m) r &= ~(DLGC_WANTALLKEYS | DLGC_WANTMESSAGE | DLGC_WANTTAB);
        }
        return r;
    }
};
