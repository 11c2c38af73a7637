#include "eligibility.h"

// Until the machine tests are in, no partner offer is made.
int ToolbarCompatibilityCheck(int* pReasons)
{
    if (pReasons) *pReasons = 0;
    return 0;
}

extern "C" int WINAPI GDSCompatibilityCheck(int* pReasons)
{
    if (pReasons) *pReasons = 0;
    return 0;
}
