#include "command_line.h"
#include <stdlib.h>
#include <string.h>
#include "../fw/cstring.h"
#include "../install/install_log.h"
#include "../install/installation.h"
#include "../res/resource.h"
#include "install_folder.h"

bool IsViewerRunning()
{
    return FindWindowA("Pixmora", NULL) != NULL;
}

int GetSwitchValue(const char* source, char* out, int skip, int limit)
{
    int bound = (int)strlen(source);
    if (limit < bound) bound = limit;
    int i = skip, n = 0;
    while (i < bound && source[i] != '/' && source[i] != '\0')
        out[n++] = source[i++];
    out[n] = '\0';
    return i;
}

void UnquotePath(char* text)
{
    size_t len = strlen(text);
    while (len > 0 && text[len - 1] == ' ') text[--len] = '\0';
    if (len > 0 && text[len - 1] == '"') text[--len] = '\0';
    if (text[0] == '"') memmove(text, text + 1, len--);
    while (len > 0 && text[len - 1] == ' ') text[--len] = '\0';
}

// Integer switches, in the order they are processed.
struct IntSwitch {
    const char* name;
    int InstallOptions::*field;
};
static const IntSwitch kIntSwitches[] = {
    {"/desktop=", &InstallOptions::bDesktopShortcut},
    {"/thumbs=", &InstallOptions::bThumbsShortcut},
    {"/group=", &InstallOptions::bStartMenuGroup},
    {"/allusers=", &InstallOptions::bAllUsers},
};

void ParseSwitches(const char* cmdLine, InstallOptions* o)
{
    char work[kCommandLineBufferSize + 1];
    lstrcpynA(work, cmdLine, sizeof work);  // the whole line, or its first 520 characters

    const char* p = strstr(work, "/folder=");
    if (p) {
        GetSwitchValue(p, o->szFolder, 8, MAX_PATH);
        UnquotePath(o->szFolder);
    }
    for (const IntSwitch& s : kIntSwitches) {
        p = strstr(work, s.name);
        if (p) o->*s.field = atoi(p + strlen(s.name));
    }
    p = strstr(work, "/assoc=");
    if (p) {
        int value = atoi(p + 7);
        int rows = value == 1 ? kImageFormatCount : value == 2 ? kFormatCount : 0;
        for (int i = 0; i < rows; ++i) o->formatFlags[i] = 1;
        if (rows) o->bAnyFormat = 1;
    }
    if (strstr(work, "/assocallusers")) o->bAssocAllUsers = 1;
}

int RunCommandLine(const char* cmdLine)
{
    if (IsViewerRunning()) {
        CString warning;
        warning.LoadString(IDS_VIEWER_RUNNING);
        WriteInstallLog(warning);
        return kExitViewerRunning;
    }

    InstallOptions o;
    memset(&o, 0, sizeof o);
    if (!GetExistingInstallFolder(o.szFolder)) GetDefaultInstallFolder(o.szFolder);
    ParseSwitches(cmdLine, &o);
    o.bSilent = 1;

    if (RunInstallation(o.szFolder, o.bStartMenuGroup, o.bDesktopShortcut, o.bThumbsShortcut,
                        o.bAllUsers, o.formatFlags, o.bAssocAllUsers, o.bAnyFormat, o.bSilent,
                        0, 0))
        return kExitInstalled;
    return g_nInstallFailure;
}
