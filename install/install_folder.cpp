#include "install_folder.h"
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>
#include "fw/registry.h"
#include "path_text.h"

int GetDefaultInstallFolder(char* out)
{
    char dir[MAX_PATH];
    if (ReadRegistryText(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
                         KEY_ALL_ACCESS, dir, sizeof dir) != ERROR_SUCCESS || !dir[0]) {
        if (FAILED(SHGetFolderPathA(NULL, CSIDL_PROGRAM_FILES, NULL, 0, dir)) || !dir[0])
            lstrcpyA(dir, "C:\\Program Files");
    }
    AppendBackslash(dir, sizeof dir);
    if (strlen(dir) + strlen("Pixmora") >= MAX_PATH) lstrcpyA(dir, "C:\\Program Files\\");
    lstrcatA(dir, "Pixmora");
    lstrcpyA(out, dir);
    return 1;
}

int GetExistingInstallFolder(char* out)
{
    out[0] = '\0';
    char command[MAX_PATH];
    if (ReadRegistryText(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command", NULL,
                         KEY_READ, command, sizeof command) != ERROR_SUCCESS || !command[0])
        return 0;

    // The command starts with the quoted program path: skip the quote, stop at the next one.
    char program[MAX_PATH];
    lstrcpynA(program, command + 1, sizeof program);
    char* quote = strchr(program, '"');
    if (quote) *quote = '\0';

    char drive[_MAX_DRIVE], dir[_MAX_DIR];
    _splitpath(program, drive, dir, NULL, NULL);
    char folder[MAX_PATH];
    lstrcpynA(folder, drive, sizeof folder);
    if (strlen(folder) + strlen(dir) >= sizeof folder - 1) return 0;
    lstrcatA(folder, dir);
    if (!folder[0]) return 0;  // a bare file name names no folder
    AppendBackslash(folder, sizeof folder);
    lstrcpyA(out, folder);
    return 1;
}

void ProposeInstallFolder(char* out)
{
    if (!GetExistingInstallFolder(out)) GetDefaultInstallFolder(out);
}
