// CColorStatic: a label drawn in its own text and background colours and weight; with a
// high-contrast scheme on, in the scheme's.
#pragma once
#include "fw/controls.h"

class CColorStatic : public CStatic {
public:
    CColorStatic();
    ~CColorStatic() override;

    void SetTextColor(COLORREF color, BOOL redraw);
    void SetBold(BOOL bold, BOOL redraw);
    COLORREF GetTextColor() const { return m_crText; }
    HFONT GetLabelFont() const { return m_font; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Redraw();
    void Paint(HDC dc);

    CFont m_font;
    COLORREF m_crText;
    COLORREF m_crBack;
    HBRUSH m_hBrush;
    BOOL m_bBold;
};
