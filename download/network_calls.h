// CNetworkCalls: the download's calls that wait on the server, each run on a thread of its own
// so that the worker can stop waiting for one when the user cancels.
//
// Closing a request handle ends a call that waits on it on Windows, but not on every system
// (Wine's WinInet goes on waiting for a silent server for good). So the worker hands each such
// call to a call thread and waits until either the call returns or the dialog aborts. After an
// abort the call thread is let go: it finishes its call whenever the system lets it, touching
// nothing but its own record, and then frees that record and ends.
//
// Handing a call over costs round trips between the threads, so the body is not read through
// here block by block: the worker asks QueryDataAvailable, which waits here until the server has
// sent something (or the body has ended: 0), and then reads up to that many bytes itself, which
// never waits. A read with IRF_NO_WAIT is no such promise: with nothing buffered, Wine's WinInet
// on a blocking session waits for the server all the same, and closing the handle does not end
// that wait.
#pragma once
#include <windows.h>
#include <wininet.h>

class CNetworkCalls {
public:
    CNetworkCalls();
    ~CNetworkCalls();  // only once the worker has ended

    // On the worker: as HttpSendRequestA(h, NULL, 0, NULL, 0), InternetReadFile and
    // InternetQueryDataAvailable(h, available, 0, 0); after an abort (or when no call thread can
    // be had) they fail with ERROR_INTERNET_OPERATION_CANCELLED.
    BOOL SendRequest(HINTERNET h);
    BOOL ReadFile(HINTERNET h, void* buffer, DWORD size, DWORD* got);
    BOOL QueryDataAvailable(HINTERNET h, DWORD* available);

    // On any thread: the call waited on, and every later one, fails at once.
    void Abort();

private:
    struct Shared;
    BOOL Call(int op, HINTERNET h, DWORD size);
    static UINT CallThread(LPVOID param);
    static void Release(Shared* s);

    Shared* m_p;
    volatile LONG m_bAborted;
    bool m_bStarted;  // the call thread runs (worker only)
    bool m_bLetGo;    // it was left in a call (worker only)
};
