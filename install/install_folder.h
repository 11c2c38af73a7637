// Proposals for the destination folder, used by the silent run and the wizard's first page.
#pragma once
#include <windows.h>

// ProgramFilesDir plus "Pixmora" (no trailing backslash) into `out` (260 bytes). Always 1.
int GetDefaultInstallFolder(char* out);

// The folder both the silent run and the wizard propose: an installed viewer's, else the default.
void ProposeInstallFolder(char* out);

// Folder of an installed viewer, with trailing backslash, into `out` (260 bytes);
// 0 and an empty `out` when none is registered.
int GetExistingInstallFolder(char* out);

