// Whether this machine qualifies for the two partner offers.
#pragma once
#include <windows.h>

// Each returns 1 when its offer may be made; *pReasons (may be NULL) receives one bit per failed test.
int ToolbarCompatibilityCheck(int* pReasons);
extern "C" int WINAPI GDSCompatibilityCheck(int* pReasons);
