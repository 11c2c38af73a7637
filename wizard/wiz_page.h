// CWizPropertyPage: the one page class of the wizard. What a page does is chosen from its
// index in the sheet (and the partner page count), not from a subclass.
#pragma once
#include "install/install_options.h"
#include "fw/propsheet.h"

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
// The shell folder picker pre-set to `path` (260 bytes); 1 and the chosen folder with a trailing
// backslash in `path`, 0 when cancelled or not a file-system folder.
int BrowseForFolder(HWND owner, char* path);
void OnActivateTextPage(CWizPropertyPage* page);
void OnActivateFormatPage(CWizPropertyPage* page);
bool OnFormatPageCommand(CWizPropertyPage* page, int id);
void OnActivateOfferPage(CWizPropertyPage* page);
void BindOfferPageControls(CWizPropertyPage* page, CDataExchange* pDX);
void OnActivateReadyPage(CWizPropertyPage* page);
LRESULT OnReadyPageNext(CWizPropertyPage* page);  // -1 stay, 101 back to the start, 0 go on
// After an installation: the accepted partner installers, the toolbar first.
void InstallChosenPartners(const InstallOptions& o);
void OnActivateFinishPage(CWizPropertyPage* page);
// The association choices of page 2 (format flags, any format, all users).
void ReadFormatChoices(CWizPropertySheet* sheet, InstallOptions* o);

// The association list itself, on any list view (the page's, or one of a test).
const char* GetFormatExtensions(int row);   // "JPG/JPEG/JPE" for row 23
const char* GetFormatDescription(int row);
void GetFormatColumnWidths(int listWidth, int* col0, int* col1);
// Check boxes, two columns sized from the list's width, the 67 rows unticked.
void FillFormatList(HWND list);
// 1091 "Nur Bilder": rows 0..51; 1080 "Alle markieren": all rows; 1081 "Keine markieren": none.
void SelectFormatRows(HWND list, int button);
// formatFlags[row] = 1 for every ticked row (67 entries), bAnyFormat = 1 when any is.
void ReadFormatFlags(HWND list, int* formatFlags, int* bAnyFormat);
// The offer choices of the page at index 3 (both 0 without an offer page).
void ReadOfferChoices(CWizPropertySheet* sheet, InstallOptions* o);
