#include "os_family.h"
#include <windows.h>

OsFamily GetOsFamily()
{
    OSVERSIONINFOA vi;
    ZeroMemory(&vi, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;  // 148: the plain record
    OsFamily f = {false, false, false, false};
    if (!GetVersionExA(&vi)) return f;
    f.b9x = vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    bool nt = vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
    f.bXP = nt && vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1;
    f.bVista = nt && vi.dwMajorVersion == 6;
    f.bUserChoiceProtected = f.bVista && vi.dwMinorVersion >= 2;
    return f;
}
