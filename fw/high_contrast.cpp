#include "high_contrast.h"
#include <stdlib.h>
#include "registry.h"

// Alone in its file: the unit tests put a scheme of their own in its place.
BOOL HighContrastOn()
{
    HIGHCONTRASTA hc = {sizeof hc, 0, NULL};
    if (SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0) && (hc.dwFlags & HCF_HIGHCONTRASTON)) return TRUE;
    // Where the system call does not know the scheme (some compatibility layers answer it with
    // "off" whatever the user chose), the user's stored setting says whether it is on.
    char flags[16];
    if (ReadRegistryText(HKEY_CURRENT_USER, "Control Panel\\Accessibility\\HighContrast", "Flags", KEY_QUERY_VALUE,
                         flags, sizeof flags) != ERROR_SUCCESS)
        return FALSE;
    return (strtoul(flags, NULL, 10) & HCF_HIGHCONTRASTON) != 0;
}
