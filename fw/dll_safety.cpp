#include "dll_safety.h"
#include <windows.h>
#include <delayimp.h>
#include <string.h>

#ifndef LOAD_LIBRARY_SEARCH_SYSTEM32
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800
#endif

void RestrictDllSearchToSystem()
{
    HMODULE kernel = GetModuleHandleA("kernel32.dll");
    typedef BOOL(WINAPI * SetDefaultDllDirectoriesFn)(DWORD);
    typedef BOOL(WINAPI * SetDllDirectoryFn)(LPCSTR);
    SetDefaultDllDirectoriesFn setDefault =
        (SetDefaultDllDirectoriesFn)(void*)GetProcAddress(kernel, "SetDefaultDllDirectories");
    if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
    // Older systems: at least take the current directory out of the search.
    SetDllDirectoryFn setDir = (SetDllDirectoryFn)(void*)GetProcAddress(kernel, "SetDllDirectoryA");
    if (setDir) setDir("");
}

// Delay-loaded libraries come from the system folder by full path, also on systems that
// cannot restrict the search. The common controls go by name: the manifest redirects them
// to the side-by-side version 6, which a full path would bypass.
static FARPROC WINAPI LoadFromSystemFolder(unsigned notify, PDelayLoadInfo info)
{
    if (notify != dliNotePreLoadLibrary || !info || !info->szDll) return NULL;
    if (lstrcmpiA(info->szDll, "comctl32.dll") == 0) return NULL;
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + strlen(info->szDll) >= MAX_PATH) return NULL;
    lstrcatA(path, "\\");
    lstrcatA(path, info->szDll);
    return (FARPROC)(void*)LoadLibraryA(path);
}

extern "C" PfnDliHook __pfnDliNotifyHook2;
PfnDliHook __pfnDliNotifyHook2 = LoadFromSystemFolder;
