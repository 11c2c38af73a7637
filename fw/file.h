// CFile: a Win32 file handle opened with the framework's mode flags; CFileException: why a
// file call failed. This program builds without C++ exceptions, so a failing call returns
// FALSE and describes the failure in the CFileException it is given instead of throwing it.
#pragma once
#include <windows.h>

class CFileException {
public:
    enum Cause { none, generic, diskFull };
    CFileException() : m_cause(none), m_lOsError(0) {}
    int m_cause;
    LONG m_lOsError;  // the system error number, 0 when there is none
};

class CFile {
public:
    enum OpenFlags {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,      // create, or truncate an existing file
        modeNoTruncate = 0x2000   // with modeCreate: keep an existing file as it is
    };

    CFile() : m_hFile(INVALID_HANDLE_VALUE) {}
    ~CFile() { Close(); }  // a handle still open is closed with the object

    HANDLE m_hFile;
    BOOL IsOpen() const { return m_hFile != INVALID_HANDLE_VALUE; }

    // CreateFileA with the access, sharing and disposition that `nOpenFlags` name.
    BOOL Open(const char* path, UINT nOpenFlags, CFileException* pError = NULL);
    // WriteFileA of all `nCount` bytes; a short write counts as a full disk.
    BOOL Write(const void* buf, UINT nCount, CFileException* pError = NULL);
    // CloseHandle; closing a file that is not open does nothing.
    void Close();

private:
    CFile(const CFile&);
    CFile& operator=(const CFile&);
};
