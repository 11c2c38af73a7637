// CWizPropertyPage: the one page class of the wizard. What a page does is chosen from its
// index in the sheet (and the partner page count), not from a subclass.
#pragma once
#include "../app/options.h"
#include "../fw/propsheet.h"

class CWizPropertySheet;

class CWizPropertyPage : public CPropertyPage {
public:
    CWizPropertyPage();

    int m_bFirstActivation;
    int m_bIncluded;
    CWizPropertySheet* m_pSheet;

    BOOL OnSetActive() override;
    LRESULT OnWizardNext() override;
    LRESULT OnWizardBack() override;
    // Template id of the nearest included page after (forward) or before the active one; -1: none.
    virtual LRESULT GetAdjacentPageId(BOOL forward);

    int GetIndex() const;  // this page's index in the sheet

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnCommand(WPARAM wp, LPARAM lp) override;
};

// Per-page behaviour, one file per page.
void OnActivateDestinationPage(CWizPropertyPage* page);
bool ValidateDestinationPage(CWizPropertyPage* page);
bool OnDestinationPageCommand(CWizPropertyPage* page, int id);
void OnActivateTextPage(CWizPropertyPage* page);
void OnActivateFormatPage(CWizPropertyPage* page);
bool OnFormatPageCommand(CWizPropertyPage* page, int id);
void OnActivateOfferPage(CWizPropertyPage* page);
void BindOfferPageControls(CWizPropertyPage* page, CDataExchange* pDX);
void OnActivateReadyPage(CWizPropertyPage* page);
LRESULT OnReadyPageNext(CWizPropertyPage* page);  // -1 stay, 101 back to the start, 0 go on
void OnActivateFinishPage(CWizPropertyPage* page);
// The association choices of page 2 (format flags, any format, all users).
void ReadFormatChoices(CWizPropertySheet* sheet, InstallOptions* o);
// The offer choices of the page at index 3 (both 0 without an offer page).
void ReadOfferChoices(CWizPropertySheet* sheet, InstallOptions* o);
