#include "ready_page.h"
#include "fw/cstring.h"
#include "install/installation.h"
#include "install/path_text.h"
#include "install/viewer.h"
#include "partner/partner_steps.h"
#include "wiz_sheet.h"

BOOL CReadyPage::OnSetActive()
{
    SetFont(IDC_READY_TITLE, m_pSheet->m_fontTitle);
    char folder[MAX_PATH];
    lstrcpynA(folder, Model().options.szFolder, sizeof folder);
    TrimBlanks(folder);
    CString label, text;
    label.LoadString(IDS_DESTINATION);
    text.Format("%s: %s", (const char*)label, folder);
    SetDlgItemText(IDC_READY_FOLDER, text);
    return CWizPage::OnSetActive();
}

LRESULT CReadyPage::OnNext()
{
    if (IsViewerRunning()) {
        ShowMessage(IDS_VIEWER_RUNNING, MB_ICONEXCLAMATION);
        return -1;
    }
    WizardModel& m = Model();
    m.options.bSilent = 0;
    MessageBoxReporter reporter;
    InstallResult result = RunInstallation(m.options, reporter);
    if (!IsInstalled(result.outcome)) return IDD_DESTINATION;
    // Each whatever became of the other.
    m.bToolbarInstalled = m.options.bInstallToolbar && InstallToolbarPartner();
    m.bDesktopInstalled = m.options.bInstallDesktop && InstallDesktopPartner();
    m.bInstalled = true;
    m.outcome = result.outcome;
    return 0;
}
