// CString: a heap-held, NUL-terminated ANSI text with value semantics.
// Only what the setup uses: construction, assignment, concatenation, loading from the
// string table, printf-style formatting and a writable buffer for Win32 calls.
#pragma once
#include <windows.h>

class CString {
public:
    CString();
    CString(const char* psz);
    CString(const CString& other);
    ~CString();

    CString& operator=(const char* psz);
    CString& operator=(const CString& other);
    CString& operator+=(const char* psz);
    friend CString operator+(const CString& a, const char* b);

    operator const char*() const { return m_psz; }
    int GetLength() const { return lstrlenA(m_psz); }
    bool IsEmpty() const { return m_psz[0] == '\0'; }
    bool operator==(const char* psz) const { return lstrcmpA(m_psz, psz) == 0; }

    // Loads string `nID` of the program's own string table; FALSE (and empty) when missing.
    BOOL LoadString(UINT nID);
    void Format(const char* fmt, ...);

    // Writable buffer of at least nMinLength + 1 bytes. The length is always measured from the
    // terminator, so the text is complete once the caller has written one.
    char* GetBuffer(int nMinLength);

private:
    void Assign(const char* psz, int len);
    char* m_psz;
};
