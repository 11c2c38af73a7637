#include "wiz_page.h"
#include "wiz_sheet.h"

CWizPropertyPage::CWizPropertyPage() : m_bFirstActivation(1), m_bIncluded(1), m_pSheet(NULL) {}

int CWizPropertyPage::GetIndex() const
{
    for (int i = 0; i < m_pSheet->GetPageCount(); ++i)
        if (m_pSheet->GetPage(i) == this) return i;
    return -1;
}

BOOL CWizPropertyPage::OnSetActive()
{
    int i = GetIndex();
    int k = m_pSheet->GetPartnerPageCount();
    if (i == 0) OnActivateDestinationPage(this);
    if (i == 1) OnActivateTextPage(this);
    if (i == 2) OnActivateFormatPage(this);
    if (i == 3 && k) OnActivateOfferPage(this);
    if (i - k == 3) OnActivateReadyPage(this);
    if (i - k == 4) OnActivateFinishPage(this);
    return CPropertyPage::OnSetActive();
}

LRESULT CWizPropertyPage::OnWizardNext()
{
    m_pSheet->EnableButton(ID_WIZBACK, TRUE);
    int i = GetIndex();
    if (i == 0 && !ValidateDestinationPage(this)) return -1;
    if (m_pSheet->IsReadyPage(i)) {
        LRESULT r = OnReadyPageNext(this);
        if (r) return r;
    }
    return GetAdjacentPageId(TRUE);
}

LRESULT CWizPropertyPage::OnWizardBack()
{
    return GetAdjacentPageId(FALSE);
}

LRESULT CWizPropertyPage::GetAdjacentPageId(BOOL forward)
{
    int step = forward ? 1 : -1;
    for (int i = GetIndex() + step; i >= 0 && i < m_pSheet->GetPageCount(); i += step) {
        CWizPropertyPage* page = (CWizPropertyPage*)m_pSheet->GetPage(i);
        if (page->m_bIncluded) return page->m_nIDTemplate;
    }
    return -1;
}

void CWizPropertyPage::DoDataExchange(CDataExchange* pDX)
{
    if (m_nIDTemplate == 111 || m_nIDTemplate == 112 || m_nIDTemplate == 113) BindOfferPageControls(this, pDX);
}

BOOL CWizPropertyPage::OnCommand(WPARAM wp, LPARAM lp)
{
    if (HIWORD(wp) != BN_CLICKED) return FALSE;
    int id = LOWORD(wp);
    return OnDestinationPageCommand(this, id) || OnFormatPageCommand(this, id);
}
