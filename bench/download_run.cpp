// The setup's download dialog fetching BENCH_URL into BENCH_TARGET, as the partner step runs it.
// Prints "seconds=S": the whole modal run (window, worker, transfer, window gone), taken with the
// performance counter around DoModal in this same process, so no watcher competes for the CPU.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include "download/http_download_dlg.h"

int main()
{
    char url[1024], target[MAX_PATH];
    if (!GetEnvironmentVariableA("BENCH_URL", url, sizeof url) ||
        !GetEnvironmentVariableA("BENCH_TARGET", target, sizeof target))
        return 2;
    DeleteFileA(target);
    InitCommonControls();
    CHttpDownloadDlg dlg;
    dlg.m_sUrl = url;
    dlg.m_sTargetPath = target;
    dlg.m_sDisplayText = "Pixmora";
    LARGE_INTEGER freq, start, end;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    INT_PTR result = dlg.DoModal();
    QueryPerformanceCounter(&end);
    if (result != IDOK) {
        printf("result=%d error=%s\n", (int)result, (const char*)dlg.m_sError);
        return 1;
    }
    printf("seconds=%.6f\n", (double)(end.QuadPart - start.QuadPart) / freq.QuadPart);
    return 0;
}
