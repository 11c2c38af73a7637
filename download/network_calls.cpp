#include <new>
#include "network_calls.h"
#include <string.h>
#include "../fw/thread.h"

enum { kSend, kRead, kQuery, kQuit };

// What the worker and the call thread share; freed by whichever of the two lets go last.
struct CNetworkCalls::Shared {
    volatile LONG refs;
    HANDLE hCall;  // auto-reset: a call is waiting to be made
    HANDLE hDone;  // auto-reset: the call has returned
    volatile int op;
    HINTERNET h;
    DWORD size;
    BOOL result;
    DWORD got;
    DWORD error;
    char buffer[1024];
};

CNetworkCalls::CNetworkCalls(HANDLE hAbort) : m_hAbort(hAbort), m_p(NULL), m_bLetGo(false)
{
    Shared* s = new (std::nothrow) Shared;
    if (!s) return;
    s->refs = 2;
    s->hCall = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    s->hDone = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    if (s->hCall && s->hDone && AfxBeginThread(CallThread, s)) {
        m_p = s;
        return;
    }
    if (s->hCall) ::CloseHandle(s->hCall);
    if (s->hDone) ::CloseHandle(s->hDone);
    delete s;
}

CNetworkCalls::~CNetworkCalls()
{
    if (!m_p) return;
    // An idle call thread ends at once; one still in a call that was let go ends after it (the
    // call has read its operation already).
    m_p->op = kQuit;
    ::SetEvent(m_p->hCall);
    Release(m_p);
}

void CNetworkCalls::Release(Shared* s)
{
    if (InterlockedDecrement(&s->refs)) return;
    ::CloseHandle(s->hCall);
    ::CloseHandle(s->hDone);
    delete s;
}

UINT CNetworkCalls::CallThread(LPVOID param)
{
    Shared* s = (Shared*)param;
    for (;;) {
        ::WaitForSingleObject(s->hCall, INFINITE);
        int op = s->op;
        if (op == kQuit) break;
        s->got = 0;
        s->result = op == kSend    ? ::HttpSendRequestA(s->h, NULL, 0, NULL, 0)
                    : op == kQuery ? ::InternetQueryDataAvailable(s->h, &s->got, 0, 0)
                                   : ::InternetReadFile(s->h, s->buffer, s->size, &s->got);
        s->error = ::GetLastError();
        // After an abort nobody waits for the answer any more: the call was the last.
        if (s->refs == 1) break;
        ::SetEvent(s->hDone);
    }
    Release(s);
    return 0;
}

BOOL CNetworkCalls::Call(int op, HINTERNET h, DWORD size)
{
    if (!m_p || m_bLetGo || ::WaitForSingleObject(m_hAbort, 0) == WAIT_OBJECT_0) {
        ::SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return FALSE;
    }
    m_p->op = op;
    m_p->h = h;
    m_p->size = size;
    ::SetEvent(m_p->hCall);
    HANDLE wait[2] = { m_p->hDone, m_hAbort };
    if (::WaitForMultipleObjects(2, wait, FALSE, INFINITE) != WAIT_OBJECT_0) {
        m_bLetGo = true;
        ::SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return FALSE;
    }
    ::SetLastError(m_p->error);
    return m_p->result;
}

BOOL CNetworkCalls::SendRequest(HINTERNET h)
{
    return Call(kSend, h, 0);
}

BOOL CNetworkCalls::ReadFile(HINTERNET h, void* buffer, DWORD size, DWORD* got)
{
    if (size > sizeof m_p->buffer) size = sizeof m_p->buffer;
    BOOL ok = Call(kRead, h, size);
    *got = ok ? m_p->got : 0;
    if (ok) memcpy(buffer, m_p->buffer, *got);
    return ok;
}

BOOL CNetworkCalls::QueryDataAvailable(HINTERNET h, DWORD* available)
{
    BOOL ok = Call(kQuery, h, 0);
    *available = ok ? m_p->got : 0;
    return ok;
}
