// CWizPropertySheet: the wizard window. Owns the model the pages share and the fonts they use;
// decides what Cancel and the close box do.
#pragma once
#include "fw/controls.h"
#include "fw/propsheet.h"
#include "wizard_model.h"

#ifndef WM_DPICHANGED
#define WM_DPICHANGED_MSG 0x02E0
#else
#define WM_DPICHANGED_MSG WM_DPICHANGED
#endif

#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#endif

class CWizPage;

class CWizPropertySheet : public CPropertySheet {
public:
    CWizPropertySheet(const char* caption, CWnd* parent, UINT selectPage);

    void AddPage(CWizPage* page);

    void EnableButton(int id, BOOL enable) { ::EnableWindow(GetButton(id), enable); }
    void SetButtonText(int id, const char* text) { ::SetWindowTextA(GetButton(id), text); }

    WizardModel m_model;
    CFont m_fontTitle;
    CFont m_fontSmallBold;

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    // TRUE when the command was dropped.
    BOOL OnSysCommand(UINT nID, LPARAM lParam);
    void OnDpiChanged(const RECT* suggested);

private:
    // The finish page is always the last one.
    bool IsFinishPage(int index) const { return index == GetPageCount() - 1; }
    bool AskQuit();
    void Finish();
    // Yes to the quit question from the close box: the Cancel that follows asks no more.
    bool m_bQuitConfirmed;
};
