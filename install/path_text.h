// Small text helpers for folder paths, shared by the installation run and the wizard.
#pragma once
#include <stddef.h>

// Removes trailing blanks, then (for texts shorter than 260 characters) leading blanks, in place.
// Only the space character counts as a blank.
void TrimBlanks(char* path);

// Appends a backslash unless the text is empty or already ends with one. `size` is the buffer size.
void AppendBackslash(char* path, int size);

// A drive followed by a backslash: "C:\" or "C:\...". ("C:Pixmora" names a folder relative to
// whatever the current directory of drive C is.)
bool IsDriveFolder(const char* path);

// A destination must be a drive folder or a network path "\\server\share[\...]": anything
// else would be taken relative to a current directory and registered as a relative path.
bool IsRootedFolder(const char* path);

// How many leading characters of an absolute folder path name no folder that can be created:
// the drive ("C:", 2) or the server and share ("\\server\share").
size_t GetFolderRootLength(const char* path);
