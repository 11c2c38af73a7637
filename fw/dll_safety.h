// Keeps the process from loading a library planted beside the program (a setup usually runs
// from a downloads folder).
#pragma once
#include <windows.h>

// Call first thing at start: takes the program's folder and the current directory out of the
// library search where the system allows it.
void RestrictDllSearchToSystem();

// Loads a system library from the system folder by full path. The common controls go by name:
// the manifest redirects them to the side-by-side version, which a full path would bypass.
HMODULE LoadSystemLibrary(const char* name);
