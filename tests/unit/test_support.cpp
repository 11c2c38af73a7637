#include "test_support.h"
#include <shellapi.h>
#include <stdio.h>

TempFolder::TempFolder()
{
    static int counter;
    char tmp[MAX_PATH];
    GetTempPathA(sizeof tmp, tmp);
    char name[MAX_PATH];
    snprintf(name, sizeof name, "%spxmtest%lu_%d", tmp, GetCurrentProcessId(), ++counter);
    m_path = name;
    CreateDirectoryA(m_path.c_str(), NULL);
}

TempFolder::~TempFolder()
{
    std::string from = m_path + std::string(1, '\0');
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&op);
}

ScopedCurrentDirectory::ScopedCurrentDirectory(const std::string& dir)
{
    GetCurrentDirectoryA(sizeof m_saved, m_saved);
    SetCurrentDirectoryA(dir.c_str());
}

ScopedCurrentDirectory::~ScopedCurrentDirectory() { SetCurrentDirectoryA(m_saved); }

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != NULL; }

std::string ReadFileBytes(const std::string& path)
{
    std::string out;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return "<missing>";
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
    fclose(f);
    return out;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return;
    fwrite(bytes.data(), 1, bytes.size(), f);
    fclose(f);
}

bool IsFolder(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void SetRegistryString(HKEY root, const char* key, const char* value, const std::string& data, DWORD type)
{
    HKEY k;
    if (RegCreateKeyExA(root, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k, NULL) != ERROR_SUCCESS) return;
    // Stored as given: a caller may leave out the terminator on purpose.
    RegSetValueExA(k, value, 0, type, (const BYTE*)data.data(), (DWORD)data.size());
    RegCloseKey(k);
}

void DeleteRegistryTree(HKEY root, const char* key)
{
    RegDeleteTreeA(root, key);
}

std::string ReadRegistryValue(HKEY root, const std::string& key, const char* value)
{
    char buf[512];
    DWORD size = sizeof buf, type = 0;
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return "<no key>";
    LONG rc = RegQueryValueExA(k, value, NULL, &type, (BYTE*)buf, &size);
    RegCloseKey(k);
    if (rc != ERROR_SUCCESS) return "<no value>";
    return std::string(buf, size && buf[size - 1] == 0 ? size - 1 : size);
}
