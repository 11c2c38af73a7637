#include "offer_page.h"
#include "fw/os_family.h"
#include "web_addresses.h"
#include "wiz_sheet.h"

static UINT OfferTemplate(OfferKind kind)
{
    return kind == kOfferBoth ? IDD_OFFER_BOTH : kind == kOfferDesktop ? IDD_OFFER_DESKTOP : IDD_OFFER_TOOLBAR;
}

COfferPage::COfferPage(OfferKind kind) : CWizPage(OfferTemplate(kind)), m_kind(kind) {}

void COfferPage::BindLink(CDataExchange* pDX, int id, CWebLinkStatic& link, const char* target)
{
    DDX_Control(pDX, id, link);
    link.SetUnderlineMode(1);
    link.SetLinkTarget(target);
}

void COfferPage::DoDataExchange(CDataExchange* pDX)
{
    const char* toolbarPrivacy = GetOsFamily().b9x ? kToolbarPrivacy9x : kToolbarPrivacy;
    switch (m_kind) {
    case kOfferBoth:
        BindLink(pDX, IDC_TERMS_LINK, m_links[0], kToolbarTerms);
        BindLink(pDX, IDC_PRIVACY_LINK, m_links[1], toolbarPrivacy);
        BindLink(pDX, IDC_DESKTOP_TERMS_LINK, m_links[2], kDesktopTerms);
        BindLink(pDX, IDC_DESKTOP_PRIVACY_LINK, m_links[3], kDesktopPrivacy);
        break;
    case kOfferToolbar:
        BindLink(pDX, IDC_TERMS_LINK, m_links[0], kToolbarTerms);
        BindLink(pDX, IDC_PRIVACY_LINK, m_links[1], toolbarPrivacy);
        break;
    case kOfferDesktop:
        BindLink(pDX, IDC_TERMS_LINK, m_links[0], kDesktopTerms);
        BindLink(pDX, IDC_PRIVACY_LINK, m_links[1], kDesktopPrivacy);
        break;
    case kOfferNone:
        return;
    }
    DDX_Control(pDX, IDC_FREE_LABEL, m_labelFree);
    m_labelFree.SetBold(TRUE, FALSE);
    m_labelFree.SetTextColor(RGB(255, 0, 0), TRUE);
}

void COfferPage::SmallBold(int id)
{
    SetFont(id, m_pSheet->m_fontSmallBold);
}

BOOL COfferPage::OnSetActive()
{
    switch (m_kind) {
    case kOfferBoth:
        SmallBold(IDC_OFFER_TITLE);
        SmallBold(IDC_BOTH_TOOLBAR);
        SmallBold(IDC_BOTH_DESKTOP);
        CheckDlgButton(IDC_BOTH_TOOLBAR, BST_CHECKED);
        CheckDlgButton(IDC_BOTH_DESKTOP, BST_CHECKED);
        ::SetFocus(GetDlgItem(IDC_BOTH_TOOLBAR));
        break;
    case kOfferToolbar:
        SmallBold(IDC_OFFER_TITLE);
        SmallBold(IDC_OFFER_FEATURES);
        SmallBold(IDC_TOOLBAR_ACCEPT);
        // A declined offer stays declined when the user comes back.
        if (!IsDlgButtonChecked(IDC_TOOLBAR_DECLINE)) CheckDlgButton(IDC_TOOLBAR_ACCEPT, BST_CHECKED);
        ::SetFocus(GetDlgItem(IDC_TOOLBAR_ACCEPT));
        break;
    case kOfferDesktop:
        SmallBold(IDC_OFFER_TITLE);
        SmallBold(IDC_OFFER_FEATURES);
        SmallBold(IDC_DESKTOP_ACCEPT);
        if (!IsDlgButtonChecked(IDC_DESKTOP_DECLINE)) CheckDlgButton(IDC_DESKTOP_ACCEPT, BST_CHECKED);
        ::SetFocus(GetDlgItem(IDC_DESKTOP_ACCEPT));
        break;
    case kOfferNone:
        break;
    }
    return CWizPage::OnSetActive();
}

void COfferPage::Store()
{
    InstallOptions& o = Model().options;
    bool both = m_kind == kOfferBoth;
    o.bInstallToolbar = (both || m_kind == kOfferToolbar) &&
                        IsDlgButtonChecked(both ? IDC_BOTH_TOOLBAR : IDC_TOOLBAR_ACCEPT) == BST_CHECKED;
    o.bInstallDesktop = (both || m_kind == kOfferDesktop) &&
                        IsDlgButtonChecked(both ? IDC_BOTH_DESKTOP : IDC_DESKTOP_ACCEPT) == BST_CHECKED;
}
