// The second page: what is new in this version.
#pragma once
#include "res/resource.h"
#include "wiz_page.h"

class CNotesPage : public CWizPage {
public:
    enum { IDD = IDD_RELEASE_NOTES };
    CNotesPage() : CWizPage(IDD) {}

    BOOL OnSetActive() override;
};
