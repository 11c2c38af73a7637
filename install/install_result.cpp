#include "install_result.h"
#include <string.h>

void FailedRows::Add(const char* what)
{
    CString line(what);
    line += "\n";
    // Already listed: at the start of the text or right after a line end.
    const char* all = text;
    for (const char* p = strstr(all, line); p; p = strstr(p + 1, line))
        if (p == all || p[-1] == '\n') return;
    text += line;
    ++nCount;
}

void FailedRows::AddRegistry(HKEY root, const char* key, const char* value)
{
    const char* rootName = root == HKEY_LOCAL_MACHINE  ? "HKEY_LOCAL_MACHINE"
                           : root == HKEY_CURRENT_USER ? "HKEY_CURRENT_USER"
                           : root == HKEY_CLASSES_ROOT ? "HKEY_CLASSES_ROOT"
                                                       : "HKEY";
    CString line;
    if (value)
        line.Format("%s\\%s (%s)", rootName, key, value);
    else
        line.Format("%s\\%s", rootName, key);
    Add(line);
}
