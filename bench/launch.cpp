// Benchmark helper run inside a prefix:
//   launch run    prints "ready", waits for a line on stdin (so that the caller can take its
//                 readings after this helper's own start), starts the command line in
//                 BENCH_CMDLINE exactly as given, waits for it and prints "wall_us=N exit=N"
//                 (wall time from creating the process to its end)
//   launch hold   touches the desktop so that the prefix's background services are up, writes
//                 "ready" to stdout and then sleeps until the wineserver is killed; it keeps the
//                 services running between the measured runs
#include <windows.h>
#include <stdio.h>
#include <string.h>

static long long Ticks()
{
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return t.QuadPart;
}

int main(int argc, char** argv)
{
    if (argc == 2 && !strcmp(argv[1], "run")) {
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
    fprintf(stderr, "usage: launch run | hold\n");
    return 99;
}
