#include "file.h"

static void SetError(CFileException* pError, int cause, DWORD osError)
{
    if (!pError) return;
    pError->m_cause = cause;
    pError->m_lOsError = (LONG)osError;
}

BOOL CFile::Open(const char* path, UINT nOpenFlags, CFileException* pError)
{
    Close();
    static const DWORD kAccess[] = { GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE };
    UINT mode = nOpenFlags & 3;
    if (mode > 2) mode = 0;

    DWORD share;
    switch (nOpenFlags & 0x70) {
    case shareExclusive: share = 0; break;
    case shareDenyWrite: share = FILE_SHARE_READ; break;
    case shareDenyRead: share = FILE_SHARE_WRITE; break;
    case shareDenyNone: share = FILE_SHARE_READ | FILE_SHARE_WRITE; break;
    default: share = 0; break;  // compatibility mode: nobody else
    }

    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate) disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    SECURITY_ATTRIBUTES sa = { sizeof sa, NULL, (nOpenFlags & modeNoInherit) ? FALSE : TRUE };
    HANDLE h = ::CreateFileA(path, kAccess[mode], share, &sa, disposition, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE) {
        SetError(pError, CFileException::generic, ::GetLastError());
        return FALSE;
    }
    m_hFile = h;
    return TRUE;
}

BOOL CFile::Write(const void* buf, UINT nCount, CFileException* pError)
{
    if (nCount == 0) return TRUE;
    DWORD written = 0;
    if (!::WriteFile(m_hFile, buf, nCount, &written, NULL)) {
        DWORD err = ::GetLastError();
        SetError(pError, err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL ? CFileException::diskFull
                                                                                : CFileException::generic, err);
        return FALSE;
    }
    if (written < nCount) {
        SetError(pError, CFileException::diskFull, ERROR_DISK_FULL);
        return FALSE;
    }
    return TRUE;
}

void CFile::Close()
{
    if (m_hFile != INVALID_HANDLE_VALUE) ::CloseHandle(m_hFile);
    m_hFile = INVALID_HANDLE_VALUE;
}
