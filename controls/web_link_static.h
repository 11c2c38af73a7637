// CWebLinkStatic: a static text that acts as a web link: link, hover and visited colours, an
// underline (always, never or while hovered), a hand cursor, a size that fits its text, and a
// click that opens the target in the web browser. It is reached by Tab and opened by Enter or
// Space, shows a focus rectangle, tells a screen reader it is a link, and draws in the link
// colour of a high-contrast scheme.
#pragma once
#include "fw/controls.h"
#include "fw/cstring.h"

class CWebLinkStatic : public CStatic {
public:
    CWebLinkStatic();
    ~CWebLinkStatic() override;

    void SetLinkTarget(const char* target);
    void SetUnderlineMode(int mode);  // 1 always, -1 while hovered, 0 never
    void MarkVisited(BOOL visited);
    void FitToText();
    // Opens the target as a click does, and marks the link visited when that worked.
    void Open();
    BOOL DestroyWindow();
    // Opens `target` through the shell, else with the browser that opens ".htm" files (the
    // machine's, when elevated), each with the user's own rights where the system elevates
    // (ShellOpenAsUser).
    static INT_PTR OpenLink(const char* target, int showCommand);

    const char* GetLinkTarget() const { return m_target; }
    BOOL IsVisited() const { return m_bVisited; }
    BOOL IsHovered() const { return m_bHovered; }
    HCURSOR GetLinkCursor() const { return m_hLinkCursor; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

private:
    void LoadLinkCursor();

    COLORREF m_crLink;
    COLORREF m_crVisited;
    COLORREF m_crHover;
    BOOL m_bHovered;
    BOOL m_bVisited;
    int m_nUnderline;
    BOOL m_bFitToText;
    CString m_target;  // any length: a target is never cut
    CFont m_fontUnderline;
    CFont m_fontStandard;
    HCURSOR m_hLinkCursor;
    UINT m_nTimerId;
};
