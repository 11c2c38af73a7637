#include "winapp.h"

static CWinApp* s_pApp;

CWinApp::CWinApp() : m_hInstance(NULL), m_lpCmdLine(""), m_pMainWnd(NULL), m_nExitCode(0) { s_pApp = this; }
CWinApp::~CWinApp() { if (s_pApp == this) s_pApp = NULL; }

CWinApp* AfxGetApp() { return s_pApp; }
HINSTANCE AfxGetInstanceHandle() { return GetModuleHandleA(NULL); }
