#include "private_folder.h"
#include <sddl.h>
#include "fw/cstring.h"
#include "fw/dll_safety.h"
#include "install/path_text.h"

// Bound at run time: Windows 95/98/Me have none of these (nor access control at all).
typedef BOOL(WINAPI* OpenProcessTokenFn)(HANDLE, DWORD, PHANDLE);
typedef BOOL(WINAPI* GetTokenInformationFn)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
typedef BOOL(WINAPI* ConvertSidToStringSidFn)(PSID, LPSTR*);
typedef BOOL(WINAPI* ConvertSddlFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
typedef BOOLEAN(WINAPI* GenRandomFn)(PVOID, ULONG);

static bool HasAccessControl() { return (GetVersion() & 0x80000000) == 0; }

CPrivateFolder::CPrivateFolder() : m_bCreated(false)
{
    m_szPath[0] = '\0';
    m_sa.nLength = sizeof m_sa;
    m_sa.lpSecurityDescriptor = NULL;
    m_sa.bInheritHandle = FALSE;
}

CPrivateFolder::~CPrivateFolder()
{
    if (m_sa.lpSecurityDescriptor) LocalFree(m_sa.lpSecurityDescriptor);
}

// Full access for the user the setup runs as and for the administrators, nothing inherited
// from the temporary folder and nothing for anyone else.
bool CPrivateFolder::MakeSecurity()
{
    HMODULE advapi = LoadSystemLibrary("advapi32.dll");
    if (!advapi) return false;
    OpenProcessTokenFn openToken = (OpenProcessTokenFn)(void*)GetProcAddress(advapi, "OpenProcessToken");
    GetTokenInformationFn tokenInfo = (GetTokenInformationFn)(void*)GetProcAddress(advapi, "GetTokenInformation");
    ConvertSidToStringSidFn sidText = (ConvertSidToStringSidFn)(void*)GetProcAddress(advapi, "ConvertSidToStringSidA");
    ConvertSddlFn fromSddl =
        (ConvertSddlFn)(void*)GetProcAddress(advapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA");
    if (!openToken || !tokenInfo || !sidText || !fromSddl) return false;

    HANDLE token;
    if (!openToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    BYTE buffer[512];
    DWORD size = 0;
    BOOL got = tokenInfo(token, TokenUser, buffer, sizeof buffer, &size);
    CloseHandle(token);
    char* sid = NULL;
    if (!got || !sidText(((TOKEN_USER*)buffer)->User.Sid, &sid)) return false;
    CString sddl;
    sddl.Format("D:P(A;OICI;FA;;;%s)(A;OICI;FA;;;BA)", sid);
    LocalFree(sid);
    return fromSddl(sddl, SDDL_REVISION_1, &m_sa.lpSecurityDescriptor, NULL) != FALSE;
}

// 16 random hexadecimal digits from the system's generator; where it is missing (the oldest
// systems) from counters that only this moment gives. A guessed name helps nobody anyway: a
// folder that exists already is never used.
static void RandomName(char* out)
{
    DWORD r[2] = { 0, 0 };
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    GenRandomFn gen = advapi ? (GenRandomFn)(void*)GetProcAddress(advapi, "SystemFunction036") : NULL;
    if (!gen || !gen(r, sizeof r)) {
        LARGE_INTEGER counter;
        QueryPerformanceCounter(&counter);
        r[0] = counter.LowPart ^ (GetCurrentProcessId() << 16);
        r[1] = counter.HighPart ^ GetTickCount() ^ (DWORD)(DWORD_PTR)&counter;
    }
    wsprintfA(out, "pxm%08lx%08lx", (unsigned long)r[0], (unsigned long)r[1]);
}

bool CPrivateFolder::Create()
{
    char temp[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    // A relative text would put the download beside the setup's current directory.
    if (n == 0 || n >= sizeof temp || !IsRootedFolder(temp) || (temp[1] == ':' && temp[2] != '\\')) return false;
    AppendBackslash(temp, sizeof temp);
    if (HasAccessControl() && !MakeSecurity()) return false;

    for (int attempt = 0; attempt < 20; ++attempt) {
        char name[32];
        RandomName(name);
        if (lstrlenA(temp) + lstrlenA(name) + 2 + 40 >= MAX_PATH) return false;  // room for the file
        wsprintfA(m_szPath, "%s%s", temp, name);
        if (CreateDirectoryA(m_szPath, Security())) {
            lstrcatA(m_szPath, "\\");
            m_bCreated = true;
            return true;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) break;  // taken by someone: another name
    }
    m_szPath[0] = '\0';
    return false;
}

void CPrivateFolder::Remove(const char* name)
{
    if (!m_bCreated) return;
    CString file;
    file.Format("%s%s", m_szPath, name);
    DeleteFileA(file);
    RemoveDirectoryA(m_szPath);
    m_bCreated = false;
}
