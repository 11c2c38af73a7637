#include <new>
#include "thread.h"
#include <process.h>

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam) {}

CWinThread::~CWinThread()
{
    if (m_hThread) ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::ThreadEntry(void* self)
{
    CWinThread* thread = (CWinThread*)self;
    UINT code = thread->m_pfnThreadProc(thread->m_pThreadParams);
    if (thread->m_bAutoDelete) delete thread;
    return code;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    CWinThread* thread = new (std::nothrow) CWinThread(pfnThreadProc, pParam);
    if (!thread) return NULL;
    // Always created suspended, so that the priority is set before the function runs. The
    // C runtime's thread start keeps its per-thread data right for the worker's printf calls.
    unsigned id = 0;
    uintptr_t h = _beginthreadex(lpSecurityAttrs, nStackSize, CWinThread::ThreadEntry, thread,
                                 CREATE_SUSPENDED, &id);
    if (!h) {
        delete thread;
        return NULL;
    }
    thread->m_hThread = (HANDLE)h;
    thread->m_nThreadID = id;
    ::SetThreadPriority(thread->m_hThread, nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED)) thread->ResumeThread();
    return thread;
}
