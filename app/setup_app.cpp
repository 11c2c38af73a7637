#include "controls/accessible.h"
#include "setup_app.h"
#include <string.h>
#include "partner/eligibility.h"
#include "res/resource.h"
#include "wizard/destination_page.h"
#include "wizard/finish_page.h"
#include "wizard/format_page.h"
#include "wizard/notes_page.h"
#include "wizard/offer_page.h"
#include "wizard/ready_page.h"
#include "wizard/wiz_sheet.h"
#include "command_line.h"
#include "exit_code.h"

// Constructed before the application object, destroyed after it.
CWizPropertySheet g_sheet("Pixmora Setup", NULL, 0);
CSetupApp theApp;

BOOL CSetupApp::InitInstance()
{
    if (strstr(m_lpCmdLine, "/silent")) {
        m_nExitCode = RunCommandLine(m_lpCmdLine);
        return FALSE;
    }

    LOGFONTA font;
    ZeroMemory(&font, sizeof font);
    font.lfHeight = 20;
    font.lfWeight = 600;
    lstrcpyA(font.lfFaceName, "MS Sans Serif");
    g_sheet.m_fontTitle.CreateFontIndirect(&font);
    font.lfHeight = 8;
    g_sheet.m_fontSmallBold.CreateFontIndirect(&font);

    DWORD reasons = 0;
    bool toolbar = ToolbarCompatibilityCheck(&reasons) != 0;
    bool desktop = GDSCompatibilityCheck(&reasons) != 0;
    OfferKind offer = toolbar && desktop ? kOfferBoth : toolbar ? kOfferToolbar : desktop ? kOfferDesktop : kOfferNone;
    g_sheet.m_model.offer = offer;

    CDestinationPage destination;
    CNotesPage notes;
    CFormatPage formats;
    COfferPage offerPage(offer);
    CReadyPage ready;
    CFinishPage finish(offer == kOfferBoth);
    g_sheet.AddPage(&destination);
    g_sheet.AddPage(&notes);
    g_sheet.AddPage(&formats);
    if (offer != kOfferNone) g_sheet.AddPage(&offerPage);
    g_sheet.AddPage(&ready);
    g_sheet.AddPage(&finish);

    // The sheet carries the setup's icon from its first moment; the first page sets it again.
    g_sheet.m_psh.dwFlags |= PSH_USEHICON;
    g_sheet.m_psh.hIcon = LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_SETUP));
    m_pMainWnd = &g_sheet;
    g_sheet.DoModal();
    EndAccessibility();
    // Left before installing: 1; the finish page is only reached after an installation.
    m_nExitCode = g_sheet.m_model.bInstalled ? GetExitCode(g_sheet.m_model.outcome) : kExitWizardLeft;
    return FALSE;
}
