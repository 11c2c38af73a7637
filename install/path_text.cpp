#include "path_text.h"
#include <string.h>

void TrimBlanks(char* path)
{
    size_t len = strlen(path);
    if (len == 0) return;
    while (len > 0 && path[len - 1] == ' ') path[--len] = '\0';
    if (path[0] == ' ' && len < 260) {
        size_t lead = 0;
        while (path[lead] == ' ') ++lead;
        memmove(path, path + lead, len - lead + 1);
    }
}

void AppendBackslash(char* path, int size)
{
    size_t len = strlen(path);
    if (len == 0 || path[len - 1] == '\\' || (int)len + 1 >= size) return;
    path[len] = '\\';
    path[len + 1] = '\0';
}

bool IsDriveFolder(const char* path)
{
    char c = path[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && path[1] == ':' && path[2] == '\\';
}

// Length of "\\server\share" at the start of `path`; 0 when it does not start so.
static size_t ShareLength(const char* path)
{
    if (path[0] != '\\' || path[1] != '\\') return 0;
    size_t i = 2;
    while (path[i] && path[i] != '\\') ++i;
    if (i == 2 || path[i] != '\\') return 0;  // no server, or no share after it
    size_t share = ++i;
    while (path[i] && path[i] != '\\') ++i;
    return i > share ? i : 0;
}

bool IsRootedFolder(const char* path)
{
    return IsDriveFolder(path) || ShareLength(path) > 0;
}

size_t GetFolderRootLength(const char* path)
{
    size_t share = ShareLength(path);
    return share ? share : 2;
}
