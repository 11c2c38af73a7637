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

bool IsRootedFolder(const char* path)
{
    char c = path[0];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    if (letter && path[1] == ':') return true;
    return path[0] == '\\' && path[1] == '\\';
}
