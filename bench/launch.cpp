// Benchmark helper run inside a prefix:
//   launch run    prints "ready", waits for a line on stdin (so that the caller can take its
//                 readings after this helper's own start), starts the command line in
//                 BENCH_CMDLINE exactly as given, waits for it and prints "wall_us=N exit=N"
//                 (wall time from creating the process to its end)
//   launch page   likewise, but waits only until the program shows its first window, painted and
//                 waiting for input (WaitForInputIdle, then a look every millisecond for a visible
//                 top-level window of the process with a visible child and nothing left to paint);
//                 prints "wall_us=N exit=0 window=TITLE" for that moment and ends the program
//   launch hold   touches the desktop so that the prefix's background services are up, writes
//                 "ready" to stdout and then sleeps until the wineserver is killed; it keeps the
//                 services running between the measured runs
#include <windows.h>
#include <stdio.h>
#include <string.h>

struct Search {
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK Unpainted(HWND hwnd, LPARAM dirty)
{
    if (IsWindowVisible(hwnd) && GetUpdateRect(hwnd, NULL, FALSE)) *(bool*)dirty = true;
    return TRUE;
}

static BOOL CALLBACK ShownPage(HWND hwnd, LPARAM param)
{
    Search* s = (Search*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != s->pid || !IsWindowVisible(hwnd) || !GetWindow(hwnd, GW_CHILD)) return TRUE;
    bool dirty = GetUpdateRect(hwnd, NULL, FALSE) != FALSE;
    EnumChildWindows(hwnd, Unpainted, (LPARAM)&dirty);
    if (dirty) return TRUE;
    s->found = hwnd;
    return FALSE;
}

static long long Ticks()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

int main(int argc, char** argv)
{
    bool page = argc == 2 && !strcmp(argv[1], "page");
    if (argc == 2 && (page || !strcmp(argv[1], "run"))) {
        char line[8192];
        if (!GetEnvironmentVariableA("BENCH_CMDLINE", line, sizeof line)) return 100;
        STARTUPINFOA si;
        ZeroMemory(&si, sizeof si);
        si.cb = sizeof si;
        PROCESS_INFORMATION pi;
        LARGE_INTEGER freq;
        QueryPerformanceFrequency(&freq);
        printf("ready\n");
        fflush(stdout);
        char go[16];
        if (!fgets(go, sizeof go, stdin)) return 103;
        long long start = Ticks();
        if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) return 101;
        if (page) {
            WaitForInputIdle(pi.hProcess, 60000);
            Search s = {pi.dwProcessId, NULL};
            for (int i = 0; i < 60000; ++i) {
                EnumWindows(ShownPage, (LPARAM)&s);
                if (s.found || WaitForSingleObject(pi.hProcess, 1) == WAIT_OBJECT_0) break;
            }
            long long end = Ticks();
            char title[256] = "";
            if (s.found) GetWindowTextA(s.found, title, sizeof title);
            TerminateProcess(pi.hProcess, 0);
            WaitForSingleObject(pi.hProcess, INFINITE);
            if (!s.found) return 104;
            printf("wall_us=%lld exit=0 window=%s\n", (end - start) * 1000000 / freq.QuadPart, title);
            return 0;
        }
        WaitForSingleObject(pi.hProcess, INFINITE);
        long long end = Ticks();
        DWORD code = 102;
        GetExitCodeProcess(pi.hProcess, &code);
        printf("wall_us=%lld exit=%lu\n", (end - start) * 1000000 / freq.QuadPart, code);
        return 0;
    }
    if (argc == 2 && !strcmp(argv[1], "hold")) {
        GetDesktopWindow();
        printf("ready\n");
        fflush(stdout);
        Sleep(INFINITE);
        return 0;
    }
    fprintf(stderr, "usage: launch run | page | hold\n");
    return 99;
}
