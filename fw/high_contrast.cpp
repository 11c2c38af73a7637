#include "high_contrast.h"

// Alone in its file: the unit tests put a scheme of their own in its place, since the system
// they run on cannot switch one on.
BOOL HighContrastOn()
{
    HIGHCONTRASTA hc = {sizeof hc, 0, NULL};
    return SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON);
}
