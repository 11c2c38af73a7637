#include "dll_safety.h"
#include <windows.h>
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

HMODULE LoadSystemLibrary(const char* name)
{
    if (lstrcmpiA(name, "comctl32.dll") == 0) return LoadLibraryA(name);
    char path[MAX_PATH];
    UINT n = GetSystemDirectoryA(path, MAX_PATH);
    if (n == 0 || n + 1 + lstrlenA(name) >= MAX_PATH) return NULL;
    lstrcatA(path, "\\");
    lstrcatA(path, name);
    return LoadLibraryA(path);
}
