#include "registry_write.h"

static bool Check(LONG rc, HKEY root, const char* key, const char* name, FailedRows* failed)
{
    if (rc == ERROR_SUCCESS) return true;
    if (failed) failed->AddRegistry(root, key, name);
    return false;
}

bool WriteDefaultValue(HKEY root, const char* key, const char* data, FailedRows* failed)
{
    return Check(RegSetValueA(root, key, REG_SZ, data, lstrlenA(data)), root, key, NULL, failed);
}

bool WriteNamedValue(HKEY root, const char* key, bool create, REGSAM access, const char* name,
                     const char* data, FailedRows* failed)
{
    HKEY h;
    LONG rc = create ? RegCreateKeyA(root, key, &h) : RegOpenKeyExA(root, key, 0, access, &h);
    if (rc == ERROR_FILE_NOT_FOUND && !create) return true;
    if (!Check(rc, root, key, name, failed)) return false;
    rc = data ? RegSetValueExA(h, name, 0, REG_SZ, (const BYTE*)data, lstrlenA(data) + 1)
              : RegSetValueExA(h, name, 0, REG_SZ, NULL, 0);
    RegCloseKey(h);
    return Check(rc, root, key, name, failed);
}

bool WriteDwordValue(HKEY root, const char* key, const char* name, DWORD data, FailedRows* failed)
{
    HKEY h;
    LONG rc = RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &h);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    if (!Check(rc, root, key, name, failed)) return false;
    rc = RegSetValueExA(h, name, 0, REG_DWORD, (const BYTE*)&data, sizeof data);
    RegCloseKey(h);
    return Check(rc, root, key, name, failed);
}

bool CreateRegistryKey(HKEY root, const char* key, FailedRows* failed)
{
    HKEY h;
    LONG rc = RegCreateKeyA(root, key, &h);
    if (rc == ERROR_SUCCESS) RegCloseKey(h);
    return Check(rc, root, key, NULL, failed);
}

bool DeleteRegistryKey(HKEY root, const char* key, FailedRows* failed)
{
    LONG rc = RegDeleteKeyA(root, key);
    if (rc == ERROR_FILE_NOT_FOUND) return true;
    return Check(rc, root, key, NULL, failed);
}
