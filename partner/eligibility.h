// Whether this machine qualifies for the two partner offers: the toolbar and the desktop search.
#pragma once
#include <windows.h>

// Reasons against the toolbar offer (one bit per failed test).
enum ToolbarReason {
    kToolbarInstalled = 0x01,      // its COM server is registered
    kToolbarNoWriteAccess = 0x02,  // its machine-wide key cannot be written
    kToolbarNotDefaultIE = 0x04,   // the default browser is not Internet Explorer
    kToolbarNoExtensions = 0x08,   // browser extensions are switched off
    kToolbarOldIE = 0x10           // Internet Explorer older than 5.5
};

// Reasons against the desktop-search offer.
enum DesktopReason {
    kDesktopInstalled = 0x01,  // installed before for this user ("timestamp" not 0)
    kDesktopNotAdmin = 0x02,
    kDesktopOldSystem = 0x04   // before XP, Windows 2000 below service pack 3, or unknown
};

// Each runs all of its tests, stores the reasons through pReasons (may be NULL) and returns 1
// when the offer may be made, else 0. GDSCompatibilityCheck is also exported for other programs
// (by name and as ordinal 1).
int ToolbarCompatibilityCheck(DWORD* pReasons);
extern "C" int WINAPI GDSCompatibilityCheck(DWORD* pReasons);

// Size of the buffers that registry texts are read into, terminator included.
const DWORD kRegistryTextSize = 1024;

// Writes `text` as a REG_SZ value, reads it back and removes it again. TRUE when the value was
// written and read back equal. Keys that it had to create are removed too.
BOOL TestRegistryWrite(HKEY root, const char* subkey, const char* value, const char* text);

// Internet Explorer's version (HKLM "Software\Microsoft\Internet Explorer", "Version") is at
// least major.minor. A missing version reads as 0.
BOOL IsIEVersionAtLeast(int major, int minor);

// Membership of the built-in Administrators group. Systems without the security functions
// count as administrator.
BOOL IsAdministrator();
