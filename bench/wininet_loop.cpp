// The baseline of the download dialog: the same WinInet requests, 1024-byte blocks written one by
// one, and nothing else. BENCH_URL is fetched into BENCH_TARGET; prints "seconds=S bytes=N": S from
// opening WinInet to closing it.
#include <windows.h>
#include <wininet.h>
#include <stdio.h>
#include <stdlib.h>

int main()
{
    char url[1024], target[MAX_PATH];
    if (!GetEnvironmentVariableA("BENCH_URL", url, sizeof url) ||
        !GetEnvironmentVariableA("BENCH_TARGET", target, sizeof target))
        return 2;
    char host[256], path[1024];
    URL_COMPONENTSA parts;
    ZeroMemory(&parts, sizeof parts);
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(url, 0, 0, &parts)) return 3;

    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    HINTERNET root = InternetOpenA("wininet_loop", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0);
    HINTERNET conn = root ? InternetConnectA(root, host, parts.nPort, NULL, NULL, INTERNET_SERVICE_HTTP, 0, 0) : NULL;
    static const char* accept[] = {"*/*", NULL};
    HINTERNET req = conn ? HttpOpenRequestA(conn, NULL, path, NULL, NULL, accept,
                                            INTERNET_FLAG_RELOAD | INTERNET_FLAG_DONT_CACHE |
                                                INTERNET_FLAG_KEEP_CONNECTION, 0)
                         : NULL;
    if (!req || !HttpSendRequestA(req, NULL, 0, NULL, 0)) return 4;
    char status[32];
    DWORD len = sizeof status;
    if (!HttpQueryInfoA(req, HTTP_QUERY_STATUS_CODE, status, &len, NULL) || atol(status) != 200) return 5;

    HANDLE file = CreateFileA(target, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE) return 6;
    char block[1024];
    DWORD got = 0, written;
    unsigned long long total = 0;
    for (;;) {
        if (!InternetReadFile(req, block, sizeof block, &got)) return 7;
        if (!got) break;
        if (!WriteFile(file, block, got, &written, NULL) || written != got) return 8;
        total += got;
    }
    CloseHandle(file);
    InternetCloseHandle(req);
    InternetCloseHandle(conn);
    InternetCloseHandle(root);
    QueryPerformanceCounter(&end);
    printf("seconds=%.6f bytes=%llu\n", (double)(end.QuadPart - start.QuadPart) / freq.QuadPart, total);
    return 0;
}
