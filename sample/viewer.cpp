// Stand-in for the Pixmora viewer in the sample payload: a top-level window of class
// "Pixmora" that shows its command line. Tests use it as "the viewer is running".
//   /hold FILE   also keeps FILE open without write sharing while the window lives
//   /quit-after N  closes itself after N milliseconds
#include <windows.h>
#include <stdlib.h>
#include <string.h>

static char s_text[1024];

static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        RECT rc;
        GetClientRect(hwnd, &rc);
        DrawTextA(dc, s_text, -1, &rc, DT_LEFT | DT_WORDBREAK);
        EndPaint(hwnd, &ps);
        return 0;
    }
    case WM_TIMER:
        DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

static const char* Arg(const char* cmd, const char* name, char* out, int size)
{
    const char* p = strstr(cmd, name);
    if (!p) return NULL;
    p += strlen(name);
    while (*p == ' ') ++p;
    char end = ' ';
    if (*p == '"') { end = '"'; ++p; }
    int n = 0;
    while (*p && *p != end && n < size - 1) out[n++] = *p++;
    out[n] = '\0';
    return out;
}

int WINAPI WinMain(HINSTANCE inst, HINSTANCE, LPSTR, int show)
{
    const char* cmd = GetCommandLineA();
    lstrcpynA(s_text, "Pixmora 4.00 (stand-in)\n", sizeof s_text);
    lstrcatA(s_text, "Command line: ");
    strncat(s_text, cmd, sizeof s_text - strlen(s_text) - 1);

    char file[MAX_PATH], ms[32];
    HANDLE held = INVALID_HANDLE_VALUE;
    if (Arg(cmd, "/hold", file, sizeof file))
        held = CreateFileA(file, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursor(NULL, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "Pixmora";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("Pixmora", "Pixmora", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                              480, 200, NULL, NULL, inst, NULL);
    ShowWindow(hwnd, show);
    if (Arg(cmd, "/quit-after", ms, sizeof ms)) SetTimer(hwnd, 1, atoi(ms), NULL);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
    return 0;
}
