#include "registry.h"
#include <string.h>

static LONG ReadText(HKEY root, const char* subkey, const char* value, REGSAM access, char* out, DWORD size,
                     DWORD* typeOut)
{
    memset(out, 0, size);
    CRegKey key;
    LONG rc = key.Open(root, subkey, access);
    if (rc != ERROR_SUCCESS) return rc;
    DWORD type = 0, cb = size;
    rc = RegQueryValueExA(key, value, NULL, &type, (BYTE*)out, &cb);
    if (rc == ERROR_SUCCESS && type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ)
        rc = ERROR_INVALID_DATATYPE;
    // Without its terminator a value can fill the buffer to the last byte: it does not fit, and
    // nothing may read past the buffer looking for its end.
    if (rc == ERROR_SUCCESS && out[size - 1] != '\0') rc = ERROR_MORE_DATA;
    if (rc != ERROR_SUCCESS) memset(out, 0, size);
    *typeOut = type;
    return rc;
}

LONG ReadRegistryText(HKEY root, const char* subkey, const char* value, REGSAM access, char* out, DWORD size)
{
    DWORD type;
    return ReadText(root, subkey, value, access, out, size, &type);
}

LONG ReadRegistryPath(HKEY root, const char* subkey, const char* value, REGSAM access, char* out, DWORD size)
{
    DWORD type;
    LONG rc = ReadText(root, subkey, value, access, out, size, &type);
    if (rc != ERROR_SUCCESS || type != REG_EXPAND_SZ) return rc;
    char* expanded = new char[size];
    if (!expanded) {
        memset(out, 0, size);
        return ERROR_OUTOFMEMORY;
    }
    DWORD n = ExpandEnvironmentStringsA(out, expanded, size);
    if (n == 0 || n > size) {
        rc = ERROR_MORE_DATA;
        memset(out, 0, size);
    } else {
        memcpy(out, expanded, n);
    }
    delete[] expanded;
    return rc;
}

LONG SetRegistryDefault(HKEY key, const char* data)
{
    return RegSetValueExA(key, NULL, 0, REG_SZ, (const BYTE*)data, lstrlenA(data) + 1);
}

LONG SetRegistryText(HKEY key, const char* name, const char* data)
{
    return data ? RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, lstrlenA(data) + 1)
                : RegSetValueExA(key, name, 0, REG_SZ, NULL, 0);
}

LONG SetRegistryDword(HKEY key, const char* name, DWORD data)
{
    return RegSetValueExA(key, name, 0, REG_DWORD, (const BYTE*)&data, sizeof data);
}

LONG DeleteRegistryKey(HKEY parent, const char* subkey)
{
    return RegDeleteKeyA(parent, subkey);
}

LONG CRegKey::Create(HKEY parent, const char* subkey)
{
    Close();
    LONG rc = RegCreateKeyExA(parent, subkey, 0, NULL, REG_OPTION_NON_VOLATILE, MAXIMUM_ALLOWED, NULL, &m_hKey, NULL);
    if (rc != ERROR_SUCCESS) m_hKey = NULL;
    return rc;
}

LONG CRegKey::Open(HKEY parent, const char* subkey, REGSAM access)
{
    Close();
    LONG rc = RegOpenKeyExA(parent, subkey, 0, access, &m_hKey);
    if (rc != ERROR_SUCCESS) m_hKey = NULL;
    return rc;
}

void CRegKey::Close()
{
    if (m_hKey) RegCloseKey(m_hKey);
    m_hKey = NULL;
}
