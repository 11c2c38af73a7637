// Ready to install: Next runs the installation and, after it, the accepted partner installers.
#pragma once
#include "res/resource.h"
#include "wiz_page.h"

class CReadyPage : public CWizPage {
public:
    enum { IDD = IDD_READY };
    CReadyPage() : CWizPage(IDD) {}

    BOOL OnSetActive() override;

protected:
    // -1 stay (the viewer runs), back to the first page when nothing was installed, else on.
    LRESULT OnNext() override;
};
