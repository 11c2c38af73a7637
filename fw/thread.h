// CWinThread and AfxBeginThread: a worker thread running one controlling function.
//
// A thread object deletes itself when its function returns, unless m_bAutoDelete is cleared;
// an owner that wants to wait on m_hThread afterwards starts the thread suspended, clears
// m_bAutoDelete and only then calls ResumeThread.
#pragma once
#include <windows.h>

typedef UINT (*AFX_THREADPROC)(LPVOID);

class CWinThread {
public:
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();  // closes the thread handle

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;

    DWORD ResumeThread() { return ::ResumeThread(m_hThread); }

private:
    friend CWinThread* AfxBeginThread(AFX_THREADPROC, LPVOID, int, UINT, DWORD, LPSECURITY_ATTRIBUTES);
    static unsigned __stdcall ThreadEntry(void* self);
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

    CWinThread(const CWinThread&);
    CWinThread& operator=(const CWinThread&);
};

// Starts pfnThreadProc(pParam) on a new thread; NULL when the thread cannot be created.
// dwCreateFlags may hold CREATE_SUSPENDED.
CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam,
                           int nPriority = THREAD_PRIORITY_NORMAL, UINT nStackSize = 0,
                           DWORD dwCreateFlags = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
