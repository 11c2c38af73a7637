#include <new>
#include "network_calls.h"
#include <string.h>
#include "fw/thread.h"

enum { kSend, kRead, kQuery, kQuit };

// What the worker and the call thread share; freed by whichever of the two lets go last.
struct CNetworkCalls::Shared {
    volatile LONG refs;
    HANDLE hCall;  // auto-reset: a call is waiting to be made
    HANDLE hDone;  // auto-reset: the call has returned, or the dialog aborted
    volatile int op;
    HINTERNET h;
    DWORD size;
    BOOL result;
    DWORD got;
    DWORD error;
    char buffer[1024];
};

// Sets `signal` and waits for `wait`: in one round trip where the system can (NT), else in two.
static void SignalAndWait(HANDLE signal, HANDLE wait)
{
    typedef DWORD(WINAPI * SignalAndWaitFn)(HANDLE, HANDLE, DWORD, BOOL);
    static const SignalAndWaitFn fn =
        (SignalAndWaitFn)::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "SignalObjectAndWait");
    if (fn && fn(signal, wait, INFINITE, FALSE) != WAIT_FAILED) return;
    ::SetEvent(signal);
    ::WaitForSingleObject(wait, INFINITE);
}

CNetworkCalls::CNetworkCalls() : m_p(NULL), m_bAborted(FALSE), m_bStarted(false), m_bLetGo(false)
{
    Shared* s = new (std::nothrow) Shared;
    if (!s) return;
    s->refs = 1;
    s->hCall = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    s->hDone = ::CreateEventA(NULL, FALSE, FALSE, NULL);
    m_p = s;
    if (!s->hCall || !s->hDone) {
        Release(s);
        m_p = NULL;
    }
}

CNetworkCalls::~CNetworkCalls()
{
    if (!m_p) return;
    // An idle call thread ends at once; one still in a call that was let go ends after it (the
    // call has read its operation already).
    if (m_bStarted) {
        m_p->op = kQuit;
        ::SetEvent(m_p->hCall);
    }
    Release(m_p);
}

void CNetworkCalls::Release(Shared* s)
{
    if (InterlockedDecrement(&s->refs)) return;
    if (s->hCall) ::CloseHandle(s->hCall);
    if (s->hDone) ::CloseHandle(s->hDone);
    delete s;
}

void CNetworkCalls::Abort()
{
    InterlockedExchange(&m_bAborted, TRUE);
    if (m_p) ::SetEvent(m_p->hDone);
}

UINT CNetworkCalls::CallThread(LPVOID param)
{
    Shared* s = (Shared*)param;
    ::WaitForSingleObject(s->hCall, INFINITE);
    for (;;) {
        int op = s->op;
        if (op == kQuit) break;
        s->got = 0;
        s->result = op == kSend    ? ::HttpSendRequestA(s->h, NULL, 0, NULL, 0)
                    : op == kQuery ? ::InternetQueryDataAvailable(s->h, &s->got, 0, 0)
                                   : ::InternetReadFile(s->h, s->buffer, s->size, &s->got);
        s->error = ::GetLastError();
        SignalAndWait(s->hDone, s->hCall);
    }
    Release(s);
    return 0;
}

BOOL CNetworkCalls::Call(int op, HINTERNET h, DWORD size)
{
    if (!m_p || m_bLetGo || m_bAborted) {
        ::SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return FALSE;
    }
    if (!m_bStarted) {
        InterlockedIncrement(&m_p->refs);
        if (!AfxBeginThread(CallThread, m_p)) {
            InterlockedDecrement(&m_p->refs);
            m_bLetGo = true;  // nothing to hand over to: every call fails
            ::SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
            return FALSE;
        }
        m_bStarted = true;
    }
    m_p->op = op;
    m_p->h = h;
    m_p->size = size;
    SignalAndWait(m_p->hCall, m_p->hDone);
    // Woken by an abort, the call may still be running: it is left to finish on its own.
    if (m_bAborted) {
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
