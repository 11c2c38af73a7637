#include "registry_write.h"

RowKey::RowKey() : m_root(NULL), m_rc(ERROR_INVALID_HANDLE), m_bTried(false), m_bGuarded(false)
{
    m_path[0] = '\0';
}

// "parent\sub" (or `sub` alone) into `out` (MAX_PATH bytes), cut to fit: only a name.
static void JoinPath(char* out, const char* parent, const char* sub)
{
    out[0] = '\0';
    if (parent && parent[0]) {
        lstrcpynA(out, parent, MAX_PATH - 1);
        lstrcatA(out, "\\");
    }
    int used = lstrlenA(out);
    lstrcpynA(out + used, sub, MAX_PATH - used);
}

void RowKey::Name(HKEY root, const char* parentPath, const char* sub)
{
    m_root = root;
    m_bTried = true;
    JoinPath(m_path, parentPath, sub);
}

void RowKey::Create(HKEY root, const char* path)
{
    Name(root, NULL, path);
    m_bGuarded = false;
    m_rc = m_key.Create(root, path);
}

void RowKey::Create(const RowKey& parent, const char* sub)
{
    Name(parent.m_root, parent.m_path, sub);
    m_bGuarded = false;
    m_rc = parent.m_key.IsOpen() ? m_key.Create(parent.m_key, sub) : parent.m_rc;
}

void RowKey::Open(HKEY root, const char* path, REGSAM access)
{
    Name(root, NULL, path);
    m_bGuarded = true;
    m_rc = m_key.Open(root, path, access);
}

void RowKey::Open(const RowKey& parent, const char* sub, REGSAM access)
{
    Name(parent.m_root, parent.m_path, sub);
    m_bGuarded = true;
    m_rc = parent.m_key.IsOpen() ? m_key.Open(parent.m_key, sub, access) : parent.m_rc;
}

bool RowKey::Check(LONG rc, const char* name, FailedRows* failed) const
{
    if (rc == ERROR_SUCCESS) return true;
    if (failed) failed->AddRegistry(m_root, m_path, name);
    return false;
}

bool RowKey::Usable(const char* name, FailedRows* failed) const
{
    if (m_key.IsOpen()) return true;
    if (!(m_bGuarded && m_rc == ERROR_FILE_NOT_FOUND)) Check(m_rc, name, failed);
    return false;
}

bool RowKey::CheckCreated(FailedRows* failed) const
{
    return Usable(NULL, failed);
}

bool RowKey::SetDefault(const char* data, FailedRows* failed) const
{
    return Usable(NULL, failed) && Check(SetRegistryDefault(m_key, data), NULL, failed);
}

bool RowKey::SetText(const char* name, const char* data, FailedRows* failed) const
{
    return Usable(name, failed) && Check(SetRegistryText(m_key, name, data), name, failed);
}

bool RowKey::SetDword(const char* name, DWORD data, FailedRows* failed) const
{
    return Usable(name, failed) && Check(SetRegistryDword(m_key, name, data), name, failed);
}

bool RowKey::DeleteSubkey(const char* sub, FailedRows* failed) const
{
    char path[MAX_PATH];
    JoinPath(path, m_path, sub);
    // Without the parent's handle the key is looked for from the root.
    LONG rc = m_key.IsOpen() ? DeleteRegistryKey(m_key, sub) : DeleteRegistryKey(m_root, path);
    if (rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND) return true;
    if (failed) failed->AddRegistry(m_root, path, NULL);
    return false;
}

RowKey& PhaseKeys::Software()
{
    if (!m_software.IsTried()) m_software.Create(HKEY_LOCAL_MACHINE, "SOFTWARE");
    return m_software;
}

RowKey& PhaseKeys::Classes()
{
    if (!m_classes.IsTried()) m_classes.Create(Software(), "Classes");
    return m_classes;
}

RowKey& PhaseKeys::FileExts()
{
    if (!m_fileExts.IsTried())
        m_fileExts.Create(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts");
    return m_fileExts;
}
