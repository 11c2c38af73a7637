// Page 3 when the machine qualifies for a partner offer.
#include <windows.h>
#include "fw/os_family.h"
#include "wiz_page.h"
#include "wiz_sheet.h"
#include "web_addresses.h"

static void BindLink(CWizPropertyPage* page, CDataExchange* pDX, int id, CWebLinkStatic& link, const char* target)
{
    DDX_Control(pDX, id, link);
    link.SetUnderlineMode(1);
    link.SetLinkTarget(target);
}

void BindOfferPageControls(CWizPropertyPage* page, CDataExchange* pDX)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    const char* toolbarPrivacy = GetOsFamily().b9x ? kToolbarPrivacy9x : kToolbarPrivacy;
    if (sheet->m_bOfferBoth) {
        BindLink(page, pDX, 1027, sheet->m_links[0], kToolbarTerms);
        BindLink(page, pDX, 1028, sheet->m_links[1], toolbarPrivacy);
        BindLink(page, pDX, 1030, sheet->m_links[2], kDesktopTerms);
        BindLink(page, pDX, 1031, sheet->m_links[3], kDesktopPrivacy);
    } else if (sheet->m_bOfferToolbar) {
        BindLink(page, pDX, 1027, sheet->m_links[0], kToolbarTerms);
        BindLink(page, pDX, 1028, sheet->m_links[1], toolbarPrivacy);
    } else if (sheet->m_bOfferDesktop) {
        BindLink(page, pDX, 1027, sheet->m_links[0], kDesktopTerms);
        BindLink(page, pDX, 1028, sheet->m_links[1], kDesktopPrivacy);
    } else {
        return;
    }
    DDX_Control(pDX, 1026, sheet->m_labelFree);
    sheet->m_labelFree.SetBold(TRUE, FALSE);
    sheet->m_labelFree.SetTextColor(RGB(255, 0, 0), TRUE);
}

static void SmallBold(CWizPropertyPage* page, int id)
{
    ::SendMessageA(page->GetDlgItem(id), WM_SETFONT, (WPARAM)(HFONT)page->m_pSheet->m_fontSmallBold, TRUE);
}

void OnActivateOfferPage(CWizPropertyPage* page)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    if (sheet->m_bOfferBoth) {
        SmallBold(page, 1029);
        SmallBold(page, 1034);
        SmallBold(page, 1035);
        page->CheckDlgButton(1034, BST_CHECKED);
        page->CheckDlgButton(1035, BST_CHECKED);
        ::SetFocus(page->GetDlgItem(1034));
    } else if (sheet->m_bOfferToolbar) {
        SmallBold(page, 1029);
        SmallBold(page, 1025);
        SmallBold(page, 1023);
        // A declined offer stays declined when the user comes back.
        if (!page->IsDlgButtonChecked(1024)) page->CheckDlgButton(1023, BST_CHECKED);
        ::SetFocus(page->GetDlgItem(1023));
    } else if (sheet->m_bOfferDesktop) {
        SmallBold(page, 1029);
        SmallBold(page, 1025);
        SmallBold(page, 1031);
        if (!page->IsDlgButtonChecked(1032)) page->CheckDlgButton(1031, BST_CHECKED);
        ::SetFocus(page->GetDlgItem(1031));
    }
}

void ReadOfferChoices(CWizPropertySheet* sheet, InstallOptions* o)
{
    o->bInstallToolbar = 0;
    o->bInstallDesktop = 0;
    if (sheet->m_bOfferBoth) {
        o->bInstallToolbar = sheet->IsPageButtonChecked(3, 1034);
        o->bInstallDesktop = sheet->IsPageButtonChecked(3, 1035);
    } else if (sheet->m_bOfferToolbar) {
        o->bInstallToolbar = sheet->IsPageButtonChecked(3, 1023);
    } else if (sheet->m_bOfferDesktop) {
        o->bInstallDesktop = sheet->IsPageButtonChecked(3, 1031);
    }
}
