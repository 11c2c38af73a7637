// Download and launch of the accepted partner installers (steps of the installation run).
#pragma once

extern int g_bToolbarFailed;
extern int g_bDesktopFailed;
