#include "debug_trace.h"
#include <windows.h>

// A debugger gets the line as the system passes it, through an exception it handles. Without
// one, the line goes straight to a debug output viewer by the system's shared buffer, as the
// system would pass it after that exception went unhandled: raising and catching an exception
// for nobody costs an unwind, which some emulated systems do not survive.
void DebugTrace(const char* line)
{
    if (IsDebuggerPresent()) {
        OutputDebugStringA(line);
        return;
    }
    HANDLE buffer = OpenFileMappingA(FILE_MAP_WRITE, FALSE, "DBWIN_BUFFER");
    if (!buffer) return;  // nobody listens
    HANDLE mutex = CreateMutexA(NULL, FALSE, "DBWinMutex");
    HANDLE bufferReady = OpenEventA(SYNCHRONIZE, FALSE, "DBWIN_BUFFER_READY");
    HANDLE dataReady = OpenEventA(EVENT_MODIFY_STATE, FALSE, "DBWIN_DATA_READY");
    if (mutex && bufferReady && dataReady && WaitForSingleObject(mutex, 10000) != WAIT_TIMEOUT) {
        // The viewer signals that it has taken the previous line; one that does not within 10 s is gone.
        if (WaitForSingleObject(bufferReady, 10000) == WAIT_OBJECT_0) {
            struct Shared {
                DWORD pid;
                char text[4096 - sizeof(DWORD)];
            };
            Shared* shared = (Shared*)MapViewOfFile(buffer, FILE_MAP_WRITE, 0, 0, sizeof(Shared));
            if (shared) {
                shared->pid = GetCurrentProcessId();
                lstrcpynA(shared->text, line, sizeof shared->text);
                UnmapViewOfFile(shared);
                SetEvent(dataReady);
            }
        }
        ReleaseMutex(mutex);
    }
    if (dataReady) CloseHandle(dataReady);
    if (bufferReady) CloseHandle(bufferReady);
    if (mutex) CloseHandle(mutex);
    CloseHandle(buffer);
}
