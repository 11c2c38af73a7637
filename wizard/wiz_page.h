// CWizPage: what every page of the wizard shares. A page leaves by Next or Back, storing its
// part of the sheet's model as it goes; the sheet shows the pages in the order they were added.
#pragma once
#include "fw/propsheet.h"
#include "wizard_model.h"

class CWizPropertySheet;

class CWizPage : public CPropertyPage {
public:
    explicit CWizPage(UINT nIDTemplate);

    CWizPropertySheet* m_pSheet;
    WizardModel& Model();

    // This page's part of the model, from its controls.
    virtual void Store() {}

protected:
    BOOL OnInitDialog() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT OnWizardNext() override;
    LRESULT OnWizardBack() override;
    // Next pressed: -1 stay, a template id go there, 0 the next page. Stores by default.
    virtual LRESULT OnNext();
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
    // A button of the page was clicked; TRUE when handled.
    virtual BOOL OnClicked(int id) { return FALSE; }

    void SetFont(int id, HFONT font);
    void ShowMessage(UINT textId, UINT icon);

private:
    // Template id of the page after (forward) or before this one; -1: none.
    LRESULT AdjacentPageId(bool forward);
};
