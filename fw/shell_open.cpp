#include "shell_open.h"
#include <exdisp.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>

// Bound at run time: the elevation queries are Vista's.
typedef BOOL(WINAPI* GetTokenInformationFn)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);

static bool QueryToken(TOKEN_INFORMATION_CLASS what, DWORD* value)
{
    HMODULE advapi = GetModuleHandleA("advapi32.dll");
    GetTokenInformationFn query =
        advapi ? (GetTokenInformationFn)(void*)GetProcAddress(advapi, "GetTokenInformation") : NULL;
    HANDLE token;
    if (!query || !OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
    DWORD size = 0;
    BOOL ok = query(token, what, value, sizeof *value, &size);
    CloseHandle(token);
    return ok != FALSE;
}

bool IsElevatedProcess()
{
    DWORD elevated = 0;  // TOKEN_ELEVATION
    return QueryToken(TokenElevation, &elevated) && elevated;
}

// Elevated with a limited token beside it: the user's session, and its desktop shell, run
// without these rights.
static bool ElevatedOverLimitedSession()
{
    DWORD type = 0;  // TOKEN_ELEVATION_TYPE
    return QueryToken(TokenElevationType, &type) && type == TokenElevationTypeFull;
}

// The desktop shell's automation object, reached through the desktop window that the shell's
// process shows: its folder view's application.
static HRESULT DesktopShellDispatch(IShellDispatch2** out)
{
    *out = NULL;
    IShellWindows* windows = NULL;
    HRESULT hr = CoCreateInstance(__uuidof(ShellWindows), NULL, CLSCTX_LOCAL_SERVER, __uuidof(IShellWindows),
                                  (void**)&windows);
    if (FAILED(hr)) return hr;
    VARIANT location, root;
    VariantInit(&location);
    VariantInit(&root);
    location.vt = VT_I4;
    location.lVal = CSIDL_DESKTOP;
    long hwnd = 0;
    IDispatch* desktop = NULL;
    hr = windows->FindWindowSW(&location, &root, SWC_DESKTOP, &hwnd, SWFO_NEEDDISPATCH, &desktop);
    windows->Release();
    if (hr != S_OK || !desktop) return FAILED(hr) ? hr : E_FAIL;

    IServiceProvider* services = NULL;
    IShellBrowser* browser = NULL;
    IShellView* view = NULL;
    IDispatch* background = NULL;
    IShellFolderViewDual* folderView = NULL;
    IDispatch* application = NULL;
    static const GUID kTopLevelBrowser = {0x4C96BE40, 0x915C, 0x11CF, {0x99, 0xD3, 0x00, 0xAA, 0x00, 0x4A, 0xE8, 0x37}};
    hr = desktop->QueryInterface(__uuidof(IServiceProvider), (void**)&services);
    if (SUCCEEDED(hr)) hr = services->QueryService(kTopLevelBrowser, __uuidof(IShellBrowser), (void**)&browser);
    if (SUCCEEDED(hr)) hr = browser->QueryActiveShellView(&view);
    if (SUCCEEDED(hr)) hr = view->GetItemObject(SVGIO_BACKGROUND, __uuidof(IDispatch), (void**)&background);
    if (SUCCEEDED(hr)) hr = background->QueryInterface(__uuidof(IShellFolderViewDual), (void**)&folderView);
    if (SUCCEEDED(hr)) hr = folderView->get_Application(&application);
    if (SUCCEEDED(hr)) hr = application->QueryInterface(__uuidof(IShellDispatch2), (void**)out);
    if (application) application->Release();
    if (folderView) folderView->Release();
    if (background) background->Release();
    if (view) view->Release();
    if (browser) browser->Release();
    if (services) services->Release();
    desktop->Release();
    return hr;
}

static BSTR ToBstr(const char* text)
{
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, NULL, 0);
    if (n <= 0) return NULL;
    BSTR b = SysAllocStringLen(NULL, n - 1);
    if (b) MultiByteToWideChar(CP_ACP, 0, text, -1, b, n);
    return b;
}

// What ShellOpenAsUser gives for a target the desktop shell took: ShellExecute's results above 32
// mean "opened", and the shell's automation says nothing more.
static const INT_PTR kOpened = 33;

static HRESULT OpenThroughDesktopShell(const char* file, const char* parameters, int show)
{
    HRESULT com = CoInitialize(NULL);
    IShellDispatch2* shell = NULL;
    HRESULT hr = DesktopShellDispatch(&shell);
    if (SUCCEEDED(hr)) {
        VARIANT args, dir, verb, showCommand;
        VariantInit(&args);
        VariantInit(&dir);
        VariantInit(&verb);
        VariantInit(&showCommand);
        BSTR target = ToBstr(file);
        if (parameters && parameters[0]) {
            args.vt = VT_BSTR;
            args.bstrVal = ToBstr(parameters);
        }
        showCommand.vt = VT_I4;
        showCommand.lVal = show;
        hr = target && (args.vt == VT_EMPTY || args.bstrVal) ? shell->ShellExecute(target, args, dir, verb, showCommand)
                                                             : E_OUTOFMEMORY;
        SysFreeString(target);
        if (args.vt == VT_BSTR) SysFreeString(args.bstrVal);
        shell->Release();
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return hr;
}

INT_PTR ShellOpenAsUser(const char* file, const char* parameters, int show, ShellOpenRoute* route)
{
    ShellOpenRoute way = kOpenedHere;
    INT_PTR result;
    if (ElevatedOverLimitedSession() && GetShellWindow()) {
        // The shell's own process opens it; if that cannot be asked, nothing is opened with
        // these rights instead.
        HRESULT hr = OpenThroughDesktopShell(file, parameters, show);
        way = SUCCEEDED(hr) ? kOpenedByDesktopShell : kNotOpened;
        result = SUCCEEDED(hr) ? kOpened : SE_ERR_ACCESSDENIED;
    } else {
        result = (INT_PTR)ShellExecuteA(NULL, "open", file, parameters, NULL, show);
    }
    if (route) *route = way;
    return result;
}
