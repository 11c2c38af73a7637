// The setup's download dialog fetching BENCH_URL into BENCH_TARGET, as the partner step runs it.
// Prints "seconds=S body=B": S for the whole modal run (window, worker, transfer, window gone),
// B from the first bytes in the target file to the last of BENCH_BYTES, as a watcher thread
// sees the file grow (every millisecond).
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include "download/http_download_dlg.h"

static char s_target[MAX_PATH];
static unsigned long long s_bytes;
static volatile LONG s_stop;
static LARGE_INTEGER s_first, s_full;

static unsigned long long FileSize()
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(s_target, GetFileExInfoStandard, &data)) return 0;
    return ((unsigned long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

static DWORD WINAPI Watch(LPVOID)
{
    while (!s_stop) {
        unsigned long long size = FileSize();
        if (size && !s_first.QuadPart) QueryPerformanceCounter(&s_first);
        if (size >= s_bytes) {
            QueryPerformanceCounter(&s_full);
            return 0;
        }
        Sleep(1);
    }
    return 0;
}

int main()
{
    char url[1024], bytes[32];
    if (!GetEnvironmentVariableA("BENCH_URL", url, sizeof url) ||
        !GetEnvironmentVariableA("BENCH_TARGET", s_target, sizeof s_target) ||
        !GetEnvironmentVariableA("BENCH_BYTES", bytes, sizeof bytes))
        return 2;
    s_bytes = _strtoui64(bytes, NULL, 10);
    DeleteFileA(s_target);
    InitCommonControls();
    CHttpDownloadDlg dlg;
    dlg.m_sUrl = url;
    dlg.m_sTargetPath = s_target;
    dlg.m_sDisplayText = "Pixmora";
    HANDLE watcher = CreateThread(NULL, 0, Watch, NULL, 0, NULL);
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    INT_PTR result = dlg.DoModal();
    QueryPerformanceCounter(&end);
    InterlockedExchange(&s_stop, 1);
    WaitForSingleObject(watcher, INFINITE);
    if (result != IDOK || !s_full.QuadPart) {
        printf("result=%d error=%s\n", (int)result, (const char*)dlg.m_sError);
        return 1;
    }
    printf("seconds=%.6f body=%.6f\n", (double)(end.QuadPart - start.QuadPart) / freq.QuadPart,
           (double)(s_full.QuadPart - s_first.QuadPart) / freq.QuadPart);
    return 0;
}
