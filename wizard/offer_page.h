// The partner offer, before the ready page when the machine qualifies: one template per kind.
#pragma once
#include "controls/color_static.h"
#include "controls/web_link_static.h"
#include "res/resource.h"
#include "wiz_page.h"

class COfferPage : public CWizPage {
public:
    explicit COfferPage(OfferKind kind);

    BOOL OnSetActive() override;
    void Store() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;

private:
    void BindLink(CDataExchange* pDX, int id, CWebLinkStatic& link, const char* target);
    void SmallBold(int id);
    OfferKind m_kind;
    CWebLinkStatic m_links[4];  // terms and privacy, the toolbar's first
    CColorStatic m_labelFree;
};
