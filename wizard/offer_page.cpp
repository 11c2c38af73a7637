// Page 3 when the machine qualifies for a partner offer.
#include "wiz_page.h"
#include "wiz_sheet.h"

void OnActivateOfferPage(CWizPropertyPage*) {}

void BindOfferPageControls(CWizPropertyPage*, CDataExchange*) {}

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
