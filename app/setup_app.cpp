#include "setup_app.h"
#include <string.h>
#include "partner/eligibility.h"
#include "wizard/wiz_page.h"
#include "wizard/wiz_sheet.h"
#include "command_line.h"
#include "exit_code.h"

// Constructed before the application object, destroyed after it.
CWizPropertySheet g_sheet("Pixmora Setup", NULL, 0);
CSetupApp theApp;

BOOL CSetupApp::InitInstance()
{
    Enable3dControls();
    if (strstr(m_lpCmdLine, "/silent")) {
        m_nExitCode = RunCommandLine(m_lpCmdLine);
        return FALSE;
    }

    ZeroMemory(&m_logFont, sizeof m_logFont);
    m_logFont.lfHeight = 20;
    m_logFont.lfWeight = 600;
    lstrcpyA(m_logFont.lfFaceName, "MS Sans Serif");
    g_sheet.m_fontTitle.CreateFontIndirect(&m_logFont);
    ZeroMemory(&m_logFont, sizeof m_logFont);
    m_logFont.lfHeight = 8;
    m_logFont.lfWeight = 600;
    lstrcpyA(m_logFont.lfFaceName, "MS Sans Serif");
    g_sheet.m_fontSmallBold.CreateFontIndirect(&m_logFont);
    g_sheet.m_hFormatList = NULL;

    // The sixth object is the offer page; it exists even when no offer is made.
    CWizPropertyPage destination, notes, formats, ready, finish, offer;

    DWORD reasons = 0;
    g_sheet.m_bOfferToolbar = ToolbarCompatibilityCheck(&reasons);
    g_sheet.m_bOfferDesktop = GDSCompatibilityCheck(&reasons);
    g_sheet.m_bOfferBoth = 0;
    if (g_sheet.m_bOfferToolbar && g_sheet.m_bOfferDesktop) {
        g_sheet.m_bOfferBoth = 1;
        g_sheet.m_bOfferToolbar = 0;
        g_sheet.m_bOfferDesktop = 0;
    }

    destination.Construct(101);
    notes.Construct(108);
    formats.Construct(104);
    ready.Construct(109);
    finish.Construct(g_sheet.m_bOfferBoth ? 114 : 110);

    g_sheet.AddPage(&destination);
    g_sheet.AddPage(&notes);
    g_sheet.AddPage(&formats);
    if (g_sheet.m_bOfferBoth) {
        offer.Construct(113);
        g_sheet.AddPage(&offer);
    } else if (g_sheet.m_bOfferToolbar) {
        offer.Construct(111);
        g_sheet.AddPage(&offer);
    } else if (g_sheet.m_bOfferDesktop) {
        offer.Construct(112);
        g_sheet.AddPage(&offer);
    }
    g_sheet.AddPage(&ready);
    g_sheet.AddPage(&finish);

    // The sheet carries the setup's icon from its first moment; page 0 sets it again.
    g_sheet.m_psh.dwFlags |= PSH_USEHICON;
    g_sheet.m_psh.hIcon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(111));
    m_pMainWnd = &g_sheet;
    g_sheet.DoModal();
    // Left before installing: 1; the finish page is only reached after an installation.
    m_nExitCode = g_sheet.m_bInstalled ? GetExitCode(g_sheet.m_nInstallOutcome) : kExitWizardLeft;
    return FALSE;
}
