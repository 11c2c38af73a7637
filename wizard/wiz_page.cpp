#include "wiz_page.h"
#include "fw/cstring.h"
#include "fw/scaled_pictures.h"
#include "res/resource.h"
#include "wiz_sheet.h"

CWizPage::CWizPage(UINT nIDTemplate) : m_pSheet(NULL)
{
    Construct(nIDTemplate);
}

BOOL CWizPage::OnInitDialog()
{
    BOOL result = CPropertyPage::OnInitDialog();
    ChooseScaledPictures(m_hWnd, m_nIDTemplate);
    return result;
}

LRESULT CWizPage::WindowProc(UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_DESTROY) ReleaseScaledPictures(m_hWnd);
    return CPropertyPage::WindowProc(msg, wp, lp);
}

WizardModel& CWizPage::Model()
{
    return m_pSheet->m_model;
}

LRESULT CWizPage::OnWizardNext()
{
    m_pSheet->EnableButton(ID_WIZBACK, TRUE);
    LRESULT r = OnNext();
    return r ? r : AdjacentPageId(true);
}

LRESULT CWizPage::OnNext()
{
    Store();
    return 0;
}

LRESULT CWizPage::OnWizardBack()
{
    Store();
    return AdjacentPageId(false);
}

LRESULT CWizPage::AdjacentPageId(bool forward)
{
    int index = -1;
    for (int i = 0; i < m_pSheet->GetPageCount(); ++i)
        if (m_pSheet->GetPage(i) == this) index = i;
    CPropertyPage* page = m_pSheet->GetPage(index + (forward ? 1 : -1));
    return index >= 0 && page ? page->m_nIDTemplate : -1;
}

BOOL CWizPage::OnCommand(WPARAM wp, LPARAM lp)
{
    if (HIWORD(wp) != BN_CLICKED) return FALSE;
    return OnClicked(LOWORD(wp));
}

void CWizPage::SetFont(int id, HFONT font)
{
    ::SendMessageA(GetDlgItem(id), WM_SETFONT, (WPARAM)font, TRUE);
}

void CWizPage::ShowMessage(UINT textId, UINT icon)
{
    CString text, caption;
    text.LoadString(textId);
    caption.LoadString(IDS_CAPTION);
    ::MessageBoxA(m_pSheet->m_hWnd, text, caption, MB_OK | icon);
}
