#include "eligibility.h"
#include "version_text.h"
#include <string.h>
#include "fw/dll_safety.h"
#include "fw/os_family.h"
#include "fw/own_imports.h"
#include "fw/registry.h"

static const char kToolbarServerKey[] = "CLSID\\{00EF2092-6AC5-47c0-BD25-CF2D5D657FEB}\\InprocServer32";
static const char kToolbarMachineKey[] = "SOFTWARE\\Google\\NavClient";
static const char kDesktopUserKey[] = "Software\\Google\\Google Desktop";

// The deepest key of `subkey` (a path below `root`) that exists, as the length of its path;
// 0 when not even the first component exists.
static int ExistingKeyLength(HKEY root, const char* subkey)
{
    char path[MAX_PATH];
    lstrcpynA(path, subkey, sizeof path);
    int len = lstrlenA(path);
    while (len > 0) {
        path[len] = '\0';
        CRegKey key;
        if (key.Open(root, path, KEY_READ) == ERROR_SUCCESS) return len;
        while (len > 0 && path[len - 1] != '\\') --len;
        if (len > 0) --len;  // drop the backslash too
    }
    return 0;
}

// Removes the keys of `subkey` below the first `keep` characters, deepest first.
static void DeleteCreatedKeys(HKEY root, const char* subkey, int keep)
{
    char path[MAX_PATH];
    lstrcpynA(path, subkey, sizeof path);
    int len = lstrlenA(path);
    while (len > keep) {
        path[len] = '\0';
        if (DeleteRegistryKey(root, path) != ERROR_SUCCESS) return;
        while (len > keep && path[len - 1] != '\\') --len;
        if (len > keep) --len;
    }
}

BOOL TestRegistryWrite(HKEY root, const char* subkey, const char* value, const char* text)
{
    // Creating the key also creates any missing parent keys; remember what was there. The key's own
    // security decides what the handle may do: setting the value is the test.
    int existing = ExistingKeyLength(root, subkey);
    CRegKey key;
    if (key.Create(root, subkey) != ERROR_SUCCESS) return FALSE;

    BOOL ok = FALSE;
    if (SetRegistryText(key, value, text) == ERROR_SUCCESS) {
        char back[kRegistryTextSize + 1];
        memset(back, 0, sizeof back);
        DWORD type = 0, size = kRegistryTextSize;
        if (RegQueryValueExA(key, value, NULL, &type, (BYTE*)back, &size) == ERROR_SUCCESS)
            ok = lstrcmpA(back, text) == 0;
        RegDeleteValueA(key, value);
    }
    key.Close();
    if (existing < lstrlenA(subkey)) DeleteCreatedKeys(root, subkey, existing);
    return ok;
}

BOOL IsIEVersionAtLeast(int major, int minor)
{
    char version[kRegistryTextSize];
    ReadRegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Internet Explorer", "Version", KEY_READ, version,
                     sizeof version);
    return IsVersionTextAtLeast(version, major, minor);
}

int ToolbarCompatibilityCheck(DWORD* pReasons)
{
    DWORD reasons = 0;
    char text[kRegistryTextSize];

    ReadRegistryText(HKEY_CLASSES_ROOT, kToolbarServerKey, "", KEY_READ, text, sizeof text);
    if (text[0]) reasons |= kToolbarInstalled;

    ReadRegistryText(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", "", KEY_READ, text, sizeof text);
    CharUpperBuffA(text, lstrlenA(text));
    if (!strstr(text, "IEXPLORE")) reasons |= kToolbarNotDefaultIE;

    if (!IsIEVersionAtLeast(5, 5)) reasons |= kToolbarOldIE;

    ReadRegistryText(HKEY_CURRENT_USER, "Software\\Microsoft\\Internet Explorer\\Main", "Enable Browser Extensions",
                     KEY_READ, text, sizeof text);
    if (lstrcmpiA(text, "no") == 0) reasons |= kToolbarNoExtensions;

    if (!TestRegistryWrite(HKEY_LOCAL_MACHINE, kToolbarMachineKey, "test", "test")) reasons |= kToolbarNoWriteAccess;

    if (pReasons) *pReasons = reasons;
    return reasons == 0;
}

BOOL IsAdministrator()
{
    typedef BOOL(WINAPI * AllocateAndInitializeSidFn)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD,
                                                      DWORD, DWORD, DWORD, DWORD, PSID*);
    typedef BOOL(WINAPI * CheckTokenMembershipFn)(HANDLE, PSID, PBOOL);
    typedef PVOID(WINAPI * FreeSidFn)(PSID);

    // Loaded here because Windows 95/98/Me lack these functions; there everyone is administrator.
    HMODULE advapi = LoadSystemLibrary("advapi32.dll");
    if (!advapi) return TRUE;
    AllocateAndInitializeSidFn allocateSid =
        (AllocateAndInitializeSidFn)(void*)GetProcAddress(advapi, "AllocateAndInitializeSid");
    CheckTokenMembershipFn checkMembership = (CheckTokenMembershipFn)(void*)GetProcAddress(advapi, "CheckTokenMembership");
    FreeSidFn freeSid = (FreeSidFn)(void*)GetProcAddress(advapi, "FreeSid");
    if (!allocateSid || !checkMembership || !freeSid) {
        FreeLibrary(advapi);
        return TRUE;
    }

    BOOL member = FALSE;
    SID_IDENTIFIER_AUTHORITY nt = {SECURITY_NT_AUTHORITY};
    PSID admins = NULL;
    if (allocateSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins)) {
        if (!checkMembership(NULL, admins, &member)) member = FALSE;
        freeSid(admins);
    }
    FreeLibrary(advapi);
    return member;
}

extern "C" int WINAPI GDSCompatibilityCheck(DWORD* pReasons)
{
    // Other programs call this with our program loaded as a library.
    if (!BindOwnImage()) {
        // Not even the system functions that the test needs: no offer.
        if (pReasons) *pReasons = kDesktopOldSystem;
        return 0;
    }
    DWORD reasons = 0;
    if (!GetOsFamily().bXPOr2000SP3) reasons |= kDesktopOldSystem;
    if (!IsAdministrator()) reasons |= kDesktopNotAdmin;

    CRegKey key;
    if (key.Open(HKEY_CURRENT_USER, kDesktopUserKey, KEY_READ) == ERROR_SUCCESS) {
        DWORD timestamp = 0, size = sizeof timestamp;
        // Any type; a value that does not fit in 4 bytes is not read.
        if (RegQueryValueExA(key, "timestamp", NULL, NULL, (BYTE*)&timestamp, &size) != ERROR_SUCCESS) timestamp = 0;
        if (timestamp) reasons |= kDesktopInstalled;
    }

    if (pReasons) *pReasons = reasons;
    return reasons == 0;
}
