// The second page: what is new in this version.
#pragma once
#include "controls/accessible.h"
#include "res/resource.h"
#include "wiz_page.h"

class CNotesPage : public CWizPage {
public:
    enum { IDD = IDD_RELEASE_NOTES };
    CNotesPage() : CWizPage(IDD) {}

    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Control(pDX, IDC_NOTES_TEXT, m_text); }

private:
    CReadOnlyText m_text;
};
