// Start-menu group and desktop shortcuts, written through the shell's link object.
#pragma once
#include <windows.h>
#include "install_result.h"

// The special folder `csidl` with a trailing backslash into `out` (260 bytes); falls back to the
// Windows folder when the shell does not know it. Always 1.
int GetSpecialFolderPath(char* out, int csidl);

// Each link that cannot be saved is listed in `failed` by its path. The setup writes links with
// administrator rights into folders the user owns: a link file name that is itself a link (or a
// file with a second name) is not written through, and every folder on the way to it must be a
// plain folder, neither junction nor symbolic link (held so while the links are written).

// Saves `folder` + `linkName` (folder ends in a backslash, checked and held by the caller). 1 when
// the link file was saved.
int CreateFolderShortcut(const char* folder, const char* linkName, const char* target,
                         const char* arguments, const char* iconFile, int iconIndex, FailedRows* failed);

// Saves a link on the current user's or the common desktop. 1 when saved.
int CreateDesktopShortcut(const char* target, const char* linkName, const char* iconFile,
                          const char* description, const char* arguments, int iconIndex,
                          int bAllUsers, FailedRows* failed);

// The program group "Pixmora" with its ten entries; removes the links of 3.99 and 3.98.
void CreateProgramGroup(const char* folder, int bAllUsers, FailedRows* failed);
