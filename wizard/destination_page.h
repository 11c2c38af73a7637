// The first page: destination folder and shortcuts.
#pragma once
#include <windows.h>
#include "controls/accessible.h"
#include "res/resource.h"
#include "wiz_page.h"

class CDestinationPage : public CWizPage {
public:
    enum { IDD = IDD_DESTINATION };
    CDestinationPage() : CWizPage(IDD), m_bFirstActivation(true) {}

    BOOL OnSetActive() override;
    void Store() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    LRESULT OnNext() override;
    BOOL OnClicked(int id) override;

private:
    void EnableUserChoice(BOOL enable);
    bool m_bFirstActivation;
    CGroupNamedField m_folderField;
};

// The shell folder picker pre-set to `path` (260 bytes); 1 and the chosen folder with a trailing
// backslash in `path`, 0 when cancelled or not a file-system folder.
int BrowseForFolder(HWND owner, char* path);
