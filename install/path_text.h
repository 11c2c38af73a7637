// Small text helpers for folder paths, shared by the installation run and the wizard.
#pragma once

// Removes trailing blanks, then (for texts shorter than 260 characters) leading blanks, in place.
// Only the space character counts as a blank.
void TrimBlanks(char* path);

// Appends a backslash unless the text is empty or already ends with one. `size` is the buffer size.
void AppendBackslash(char* path, int size);

// A destination must name a drive ("C:...") or a network share ("\\server\..."): anything
// else would be taken relative to the current directory and registered as a relative path.
bool IsRootedFolder(const char* path);
