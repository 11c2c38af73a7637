#include "partner_steps.h"

int g_bToolbarFailed = 0;
int g_bDesktopFailed = 0;
