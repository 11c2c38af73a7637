// The program's entry point; linked only into the product, not into the unit tests.
#include "dll_safety.h"
#include "winapp.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int)
{
    RestrictDllSearchToSystem();
    CWinApp* app = AfxGetApp();
    if (!app) return 1;
    app->m_hInstance = hInstance;
    app->m_lpCmdLine = SkipProgramName(GetCommandLineA());
    if (app->InitInstance()) {
        MSG msg;
        while (GetMessageA(&msg, NULL, 0, 0) > 0) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return app->m_nExitCode;
}
