#include "cstring.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char s_empty[1] = "";

CString::CString() : m_psz(s_empty) {}
CString::CString(const char* psz) : m_psz(s_empty) { Assign(psz, psz ? (int)strlen(psz) : 0); }
CString::CString(const CString& other) : m_psz(s_empty) { Assign(other.m_psz, other.GetLength()); }
CString::~CString() { if (m_psz != s_empty) free(m_psz); }

void CString::Assign(const char* psz, int len)
{
    char* p = (char*)malloc(len + 1);
    if (!p) return;  // out of memory: keep the old text rather than crash
    if (len) memcpy(p, psz, len);
    p[len] = '\0';
    if (m_psz != s_empty) free(m_psz);
    m_psz = p;
}

CString& CString::operator=(const char* psz)
{
    if (psz != m_psz) Assign(psz, psz ? (int)strlen(psz) : 0);
    return *this;
}

CString& CString::operator=(const CString& other) { return *this = other.m_psz; }

CString& CString::operator+=(const char* psz)
{
    int a = GetLength(), b = psz ? (int)strlen(psz) : 0;
    char* p = (char*)malloc(a + b + 1);
    if (!p) return *this;
    memcpy(p, m_psz, a);
    if (b) memcpy(p + a, psz, b);
    p[a + b] = '\0';
    if (m_psz != s_empty) free(m_psz);
    m_psz = p;
    return *this;
}

CString operator+(const CString& a, const char* b)
{
    CString s(a);
    s += b;
    return s;
}

BOOL CString::LoadString(UINT nID)
{
    // The string table holds at most 4095 characters per entry.
    char buf[4096];
    int n = ::LoadStringA(GetModuleHandleA(NULL), nID, buf, sizeof buf);
    Assign(buf, n);
    return n > 0;
}

void CString::Format(const char* fmt, ...)
{
    va_list ap;
    va_start(ap, fmt);
    int n = _vscprintf(fmt, ap);  // older runtimes answer -1 to a measuring _vsnprintf
    va_end(ap);
    if (n < 0) return;
    char* p = (char*)malloc(n + 1);
    if (!p) return;
    va_start(ap, fmt);
    _vsnprintf(p, n + 1, fmt, ap);
    va_end(ap);
    p[n] = '\0';
    if (m_psz != s_empty) free(m_psz);
    m_psz = p;
}

char* CString::GetBuffer(int nMinLength)
{
    int len = GetLength();
    if (nMinLength < len) nMinLength = len;
    char* p = (char*)malloc(nMinLength + 1);
    if (!p) return m_psz;
    memcpy(p, m_psz, len + 1);
    if (m_psz != s_empty) free(m_psz);
    m_psz = p;
    return m_psz;
}

