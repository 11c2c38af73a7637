// CWizPropertySheet: the wizard window. Owns the fonts, the offer flags, the association list
// handle and the offer pages' links and label; decides what Cancel and the close box do.
#pragma once
#include "controls/web_link_static.h"
#include "fw/controls.h"
#include "fw/propsheet.h"
#include "install/install_result.h"
#include "controls/color_static.h"

#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#endif

class CWizPropertyPage;

class CWizPropertySheet : public CPropertySheet {
public:
    CWizPropertySheet(const char* caption, CWnd* parent, UINT selectPage);

    void AddPage(CWizPropertyPage* page);

    // k: 1 when an offer page is in the page set (always at index 3), else 0.
    int GetPartnerPageCount() const { return m_bOfferToolbar + m_bOfferDesktop + m_bOfferBoth; }
    bool IsFinishPage(int index) const { return index - GetPartnerPageCount() == 4; }
    bool IsReadyPage(int index) const { return index - GetPartnerPageCount() == 3; }
    // A control of the page at `index` (NULL while that page has no window yet).
    HWND GetPageItem(int index, int id) const;
    UINT IsPageButtonChecked(int index, int id) const;
    void EnableButton(int id, BOOL enable) { ::EnableWindow(GetButton(id), enable); }
    void SetButtonText(int id, const char* text) { ::SetWindowTextA(GetButton(id), text); }

    CFont m_fontTitle;
    CFont m_fontSmallBold;
    HWND m_hFormatList;
    int m_bOfferToolbar;
    int m_bOfferDesktop;
    int m_bOfferBoth;
    CWebLinkStatic m_links[4];
    CColorStatic m_labelFree;
    // The installation ran to its end (the process then exits with its outcome's code, not 1).
    int m_bInstalled;
    InstallOutcome m_nInstallOutcome;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // TRUE when the command was dropped.
    BOOL OnSysCommand(UINT nID, LPARAM lParam);

private:
    bool AskQuit();
    void Finish();
    // Yes to the quit question from the close box: the Cancel that follows asks no more.
    bool m_bQuitConfirmed;
};
