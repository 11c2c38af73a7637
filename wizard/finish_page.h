// The last page: what was installed, and whether to start the viewer.
#pragma once
#include "res/resource.h"
#include "wiz_page.h"

class CFinishPage : public CWizPage {
public:
    // After the combined offer the page has room for both partner notes.
    explicit CFinishPage(bool bAfterBothOffer) : CWizPage(bAfterBothOffer ? IDD_FINISH_BOTH : IDD_FINISH) {}

    BOOL OnSetActive() override;
    void Store() override;

private:
    void ShowNote(int note, int picture, bool show);
};
