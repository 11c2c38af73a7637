#include "os_family.h"
#include <windows.h>

OsFamily GetOsFamily()
{
    // The extended record carries the service pack; systems that refuse it get the plain one.
    OSVERSIONINFOEXA vi;
    ZeroMemory(&vi, sizeof vi);
    vi.dwOSVersionInfoSize = sizeof vi;
    bool extended = GetVersionExA((OSVERSIONINFOA*)&vi) != 0;
    OsFamily f = {false, false, false, false, false};
    if (!extended) {
        ZeroMemory(&vi, sizeof vi);
        vi.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);  // 148: the plain record
        if (!GetVersionExA((OSVERSIONINFOA*)&vi)) return f;
    }
    f.b9x = vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
    bool nt = vi.dwPlatformId == VER_PLATFORM_WIN32_NT;
    f.bXP = nt && vi.dwMajorVersion == 5 && vi.dwMinorVersion >= 1;
    f.bVista = nt && vi.dwMajorVersion == 6;
    f.bUserChoiceProtected = f.bVista && vi.dwMinorVersion >= 2;
    if (extended)
        f.bXPOr2000SP3 = vi.dwMajorVersion != 5 ? vi.dwMajorVersion > 5
                                                : vi.dwMinorVersion >= 1 || vi.wServicePackMajor >= 3;
    return f;
}
