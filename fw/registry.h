// The registry calls of the program, each returning its result (ERROR_SUCCESS or the error).
#pragma once
#include <windows.h>

// Reads a text value (REG_SZ, REG_EXPAND_SZ, the first string of REG_MULTI_SZ; a NULL or empty
// name is the key's default) of `subkey` below `root` into `out` (`size` bytes), which always ends
// inside the buffer and is empty on failure. A value stored without its terminator is taken when
// the terminator still fits; one that fills the buffer does not fit (ERROR_MORE_DATA), nor does a
// longer one. A value of another type gives ERROR_INVALID_DATATYPE.
LONG ReadRegistryText(HKEY root, const char* subkey, const char* value, REGSAM access, char* out, DWORD size);

// The same for a text that names a file or folder: a REG_EXPAND_SZ value comes back with its
// environment variables expanded ("%SystemDrive%\\Program Files" as "C:\\Program Files"); an
// expansion that does not fit gives ERROR_MORE_DATA and an empty `out`.
LONG ReadRegistryPath(HKEY root, const char* subkey, const char* value, REGSAM access, char* out, DWORD size);

// The key's default value, as REG_SZ.
LONG SetRegistryDefault(HKEY key, const char* data);

// A named REG_SZ value; `data` NULL writes an empty value of no bytes.
LONG SetRegistryText(HKEY key, const char* name, const char* data);

LONG SetRegistryDword(HKEY key, const char* name, DWORD data);

// Deletes a key that has no subkeys.
LONG DeleteRegistryKey(HKEY parent, const char* subkey);

// A key created or opened below an open parent (or a root), closed when the object goes.
class CRegKey {
public:
    CRegKey() : m_hKey(NULL) {}
    ~CRegKey() { Close(); }

    // Creates the key and any missing keys of `subkey` in one call, or opens it where it exists,
    // with the access the key's security grants.
    LONG Create(HKEY parent, const char* subkey);
    LONG Open(HKEY parent, const char* subkey, REGSAM access);
    void Close();

    bool IsOpen() const { return m_hKey != NULL; }
    operator HKEY() const { return m_hKey; }

private:
    CRegKey(const CRegKey&);
    CRegKey& operator=(const CRegKey&);
    HKEY m_hKey;
};
