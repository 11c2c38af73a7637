// Proposals for the destination folder, used by the silent run and the wizard's first page.
#pragma once
#include <windows.h>

// ProgramFilesDir plus "Pixmora" (no trailing backslash) into `out` (260 bytes). Always 1.
int GetDefaultInstallFolder(char* out);

// Folder of an installed viewer, with trailing backslash, into `out` (260 bytes);
// 0 and an empty `out` when none is registered.
int GetExistingInstallFolder(char* out);

// Reads a string value into `out` (`size` bytes), always terminated inside the buffer.
// FALSE (and empty) when the key or value is missing, not a string or does not fit.
BOOL ReadRegistryText(HKEY root, const char* subkey, const char* value, REGSAM access,
                      char* out, DWORD size);
