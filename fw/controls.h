// Control and GDI wrappers: CStatic, CProgressCtrl, CFont.
#pragma once
#include "wnd.h"
#include <commctrl.h>

class CStatic : public CWnd {
public:
    // The description of the control's font; a control without one uses the stock GUI font,
    // or the variable-width system font where that is missing.
    void GetLogFont(LOGFONTA* lf) const
    {
        HFONT font = GetFont();
        if (!font) font = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
        if (!font) font = (HFONT)::GetStockObject(ANSI_VAR_FONT);
        ZeroMemory(lf, sizeof *lf);
        ::GetObjectA(font, sizeof *lf, lf);
    }
};

class CProgressCtrl : public CWnd {
public:
    // The full 32-bit range (PBM_SETRANGE would carry 16-bit limits only).
    void SetRange32(int lower, int upper) { SendMessage(PBM_SETRANGE32, lower, upper); }
    int SetPos(int pos) { return (int)SendMessage(PBM_SETPOS, pos); }
    int GetPos() const { return (int)SendMessage(PBM_GETPOS); }
};

class CFont {
public:
    CFont() : m_hObject(NULL) {}
    ~CFont() { DeleteObject(); }
    BOOL CreateFontIndirect(const LOGFONTA* lf)
    {
        DeleteObject();
        m_hObject = ::CreateFontIndirectA(lf);
        return m_hObject != NULL;
    }
    void DeleteObject()
    {
        if (m_hObject) ::DeleteObject(m_hObject);
        m_hObject = NULL;
    }
    operator HFONT() const { return m_hObject; }
    HFONT m_hObject;

private:
    CFont(const CFont&);
    CFont& operator=(const CFont&);
};
