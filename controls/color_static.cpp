#include "color_static.h"
#include "fw/high_contrast.h"

CColorStatic::CColorStatic()
    : m_crText(GetSysColor(COLOR_BTNTEXT)),
      m_crBack(GetSysColor(COLOR_BTNFACE)),
      m_bBold(FALSE)
{
    m_hBrush = CreateSolidBrush(m_crBack);
}

CColorStatic::~CColorStatic()
{
    if (m_hBrush) DeleteObject(m_hBrush);
}

void CColorStatic::PreSubclassWindow()
{
    LOGFONTA lf;
    GetLogFont(&lf);
    m_font.CreateFontIndirect(&lf);
    CStatic::PreSubclassWindow();
}

void CColorStatic::Redraw()
{
    RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CColorStatic::SetTextColor(COLORREF color, BOOL redraw)
{
    m_crText = color;
    if (redraw && m_hWnd) Redraw();
}

void CColorStatic::SetBold(BOOL bold, BOOL redraw)
{
    m_bBold = bold;
    LOGFONTA lf;
    GetLogFont(&lf);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    m_font.CreateFontIndirect(&lf);  // replaces the previous font
    if (redraw && m_hWnd) Redraw();
}

LRESULT CColorStatic::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_ERASEBKGND: {
        RECT rc;
        GetClientRect(&rc);
        FillRect((HDC)wp, &rc, HighContrastOn() ? GetSysColorBrush(COLOR_BTNFACE) : m_hBrush);
        return TRUE;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(m_hWnd, &ps);
        Paint(dc);
        EndPaint(m_hWnd, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint((HDC)wp);
        return 0;
    }
    return CStatic::WindowProc(msg, wp, lp);
}

void CColorStatic::Paint(HDC dc)
{
    // A high-contrast scheme's text and background colours replace the label's own, which
    // might not be readable on the scheme's background.
    BOOL contrast = HighContrastOn();
    int saved = SaveDC(dc);
    ::SetTextColor(dc, contrast ? GetSysColor(COLOR_BTNTEXT) : m_crText);
    SetBkColor(dc, contrast ? GetSysColor(COLOR_BTNFACE) : m_crBack);
    SetBkMode(dc, OPAQUE);
    SelectObject(dc, m_hBrush);
    RECT rc;
    GetClientRect(&rc);
    if ((HFONT)m_font) SelectObject(dc, (HFONT)m_font);
    char text[512];
    GetWindowText(text, sizeof text);
    LONG style = GetStyle();
    UINT format = (style & SS_CENTERIMAGE) ? (DT_VCENTER | DT_SINGLELINE) : DT_WORDBREAK;
    // SS_CENTER and SS_RIGHT are values of the alignment field, not separate bits.
    LONG align = style & SS_TYPEMASK;
    format |= align == SS_CENTER ? DT_CENTER : align == SS_RIGHT ? DT_RIGHT : DT_LEFT;
    DrawTextA(dc, text, -1, &rc, format);
    RestoreDC(dc, saved);
}
