// The file-types page: one list row per format group, ticked for association.
#pragma once
#include <windows.h>
#include "res/resource.h"
#include "wiz_page.h"

class CFormatPage : public CWizPage {
public:
    enum { IDD = IDD_FORMATS };
    CFormatPage() : CWizPage(IDD), m_hList(NULL) {}

    BOOL OnSetActive() override;
    void Store() override;

protected:
    BOOL OnClicked(int id) override;

private:
    HWND m_hList;  // filled on the first visit; later visits keep the ticks
};

// The association list itself, on any list view (the page's, or one of a test).
void GetFormatColumnWidths(int listWidth, int* col0, int* col1);
// Check boxes, two columns sized from the list's width, the 67 rows unticked.
void FillFormatList(HWND list);
// IDC_IMAGES_ONLY: the image rows; IDC_SELECT_ALL: all rows; IDC_SELECT_NONE: none.
void SelectFormatRows(HWND list, int button);
// formatFlags[row] = 1 for every ticked row (67 entries), bAnyFormat = 1 when any is.
void ReadFormatFlags(HWND list, int* formatFlags, int* bAnyFormat);
