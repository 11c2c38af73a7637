// Helpers for unit tests that run inside a throwaway Wine prefix.
#pragma once
#include <windows.h>
#include <string>

// A fresh empty folder under the prefix's temporary folder, removed at scope exit.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    const std::string& path() const { return m_path; }  // ends without backslash
    std::string operator/(const std::string& rel) const { return m_path + "\\" + rel; }

private:
    std::string m_path;
};

// Changes the current directory for the length of a scope.
class ScopedCurrentDirectory {
public:
    explicit ScopedCurrentDirectory(const std::string& dir);
    ~ScopedCurrentDirectory();

private:
    char m_saved[MAX_PATH];
};

// Wine, where some guarantees of Windows are not kept (a folder's descriptor, a held folder).
bool UnderWine();

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool IsFolder(const std::string& path);
void SetRegistryString(HKEY root, const char* key, const char* value, const std::string& data, DWORD type = REG_SZ);
void DeleteRegistryTree(HKEY root, const char* key);
// A value's data as text (without its terminator), or "<no key>" / "<no value>".
std::string ReadRegistryValue(HKEY root, const std::string& key, const char* value = NULL);
