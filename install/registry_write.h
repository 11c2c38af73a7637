// The registry rows of the shell integration, each checked: what cannot be written is added to
// the failed rows under the key's full name, and the caller goes on. Each key is created or opened
// once, below its open parent, and stays open while its rows are written.
#pragma once
#include <windows.h>
#include "fw/registry.h"
#include "install_result.h"

class RowKey {
public:
    RowKey();

    // Creates the key (and any missing keys on its path) below a root or an open parent. When
    // the parent could not be had, neither can the key: its rows fail by name.
    void Create(HKEY root, const char* path);
    void Create(const RowKey& parent, const char* sub);
    // Opens an existing key, never creating it: where it does not exist its rows are skipped
    // without a failure (a list the system does not have).
    void Open(HKEY root, const char* path, REGSAM access);
    void Open(const RowKey& parent, const char* sub, REGSAM access);
    void Close() { m_key.Close(); }

    bool IsTried() const { return m_bTried; }

    // The row of a key that is only created: its failure names the key.
    bool CheckCreated(FailedRows* failed) const;
    bool SetDefault(const char* data, FailedRows* failed) const;
    // `data` NULL: an empty value of no bytes.
    bool SetText(const char* name, const char* data, FailedRows* failed) const;
    bool SetDword(const char* name, DWORD data, FailedRows* failed) const;
    // Deletes a subkey that has no subkeys of its own; a missing one is no failure.
    bool DeleteSubkey(const char* sub, FailedRows* failed) const;

private:
    RowKey(const RowKey&);
    RowKey& operator=(const RowKey&);
    void Name(HKEY root, const char* parentPath, const char* sub);
    // Whether the row may be written; a row that may not is named unless it is skipped.
    bool Usable(const char* name, FailedRows* failed) const;
    bool Check(LONG rc, const char* name, FailedRows* failed) const;

    CRegKey m_key;
    HKEY m_root;
    char m_path[MAX_PATH];
    LONG m_rc;
    bool m_bTried;
    bool m_bGuarded;  // opened, never created
};

// The keys that the rows of the whole phase are written below, each created on first use and
// closed when the phase ends.
struct PhaseKeys {
    RowKey& Software();   // HKLM\SOFTWARE
    RowKey& Classes();    // HKLM\SOFTWARE\Classes
    RowKey& FileExts();   // HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\FileExts
    RowKey fileAssociations;  // HKLM\SOFTWARE\Pixmora\Capabilities\FileAssociations, by its first user

private:
    RowKey m_software, m_classes, m_fileExts;
};
