#include "winapp.h"

static CWinApp* s_pApp;

CWinApp::CWinApp() : m_hInstance(NULL), m_lpCmdLine(""), m_pMainWnd(NULL), m_nExitCode(0) { s_pApp = this; }
CWinApp::~CWinApp() { if (s_pApp == this) s_pApp = NULL; }

CWinApp* AfxGetApp() { return s_pApp; }

const char* AfxGetAppName()
{
    static char s_name[MAX_PATH];
    if (!s_name[0]) {
        char path[MAX_PATH];
        DWORD n = GetModuleFileNameA(NULL, path, sizeof path);
        if (n == 0 || n >= sizeof path) return "";
        const char* base = path;
        for (const char* p = path; *p; ++p)
            if (*p == '\\' || *p == '/' || *p == ':') base = p + 1;
        char name[MAX_PATH];
        lstrcpynA(name, base, sizeof name);
        char* dot = NULL;
        for (char* p = name; *p; ++p)
            if (*p == '.') dot = p;
        if (dot && dot != name) *dot = '\0';
        lstrcpynA(s_name, name, sizeof s_name);
    }
    return s_name;
}

const char* SkipProgramName(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        while (*++p && *p != '"') {}
        if (*p == '"') ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t') ++p;
    }
    while (*p == ' ' || *p == '\t') ++p;
    return p;
}
