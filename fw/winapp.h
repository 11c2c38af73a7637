// CWinApp: the one application object. The program's WinMain hands it the instance and
// the raw command line, calls InitInstance, runs no message loop when that returns FALSE,
// and ends the process with m_nExitCode.
#pragma once
#include <windows.h>

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();

    virtual BOOL InitInstance() { return FALSE; }
    // Kept for the classic start-up sequence; 32-bit Windows draws 3D controls itself.

    HINSTANCE m_hInstance;
    const char* m_lpCmdLine;  // the arguments: the process's command line after the program name
    CWnd* m_pMainWnd;
    int m_nExitCode;
};

CWinApp* AfxGetApp();
// The application's name: the program file's base name ("pixmora_setup"), as the string table
// holds no application title.
const char* AfxGetAppName();
// The part of a process command line after the program name (quoted or not) and the blanks
// that follow it.
const char* SkipProgramName(const char* commandLine);
