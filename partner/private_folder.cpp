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
typedef BOOL(WINAPI* CheckMembershipFn)(HANDLE, PSID, PBOOL);
typedef BOOL(WINAPI* AllocateSidFn)(PSID_IDENTIFIER_AUTHORITY, BYTE, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD,
                                    DWORD, DWORD, PSID*);
typedef PVOID(WINAPI* FreeSidFn)(PSID);

static bool HasAccessControl() { return (GetVersion() & 0x80000000) == 0; }
static bool HasIntegrityLevels() { return HasAccessControl() && LOBYTE(LOWORD(GetVersion())) >= 6; }

// The administrators' group is enabled in this process's token (elevated, where the system
// elevates).
static bool RunsAsAdministrator(HMODULE advapi)
{
    CheckMembershipFn isMember = (CheckMembershipFn)(void*)GetProcAddress(advapi, "CheckTokenMembership");
    AllocateSidFn allocate = (AllocateSidFn)(void*)GetProcAddress(advapi, "AllocateAndInitializeSid");
    FreeSidFn freeSid = (FreeSidFn)(void*)GetProcAddress(advapi, "FreeSid");
    if (!isMember || !allocate || !freeSid) return false;
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID admins = NULL;
    if (!allocate(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &admins))
        return false;
    BOOL member = FALSE;
    if (!isMember(NULL, admins, &member)) member = FALSE;
    freeSid(admins);
    return member != FALSE;
}

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

// Nothing inherited from the temporary folder. With administrator rights: full access for the
// administrators and the system, nobody else, and the high integrity label (no writing up from
// the user's ordinary programs). Without them: full access for the user the setup runs as and
// the administrators.
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

    if (RunsAsAdministrator(advapi)) {
        const char* sddl = HasIntegrityLevels() ? "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)S:(ML;OICI;NW;;;HI)"
                                                : "D:P(A;OICI;FA;;;BA)(A;OICI;FA;;;SY)";
        return fromSddl(sddl, SDDL_REVISION_1, &m_sa.lpSecurityDescriptor, NULL) != FALSE;
    }
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
