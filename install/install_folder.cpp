#include "install_folder.h"
#include <shlobj.h>
#include <string.h>
#include "fw/command_text.h"
#include "fw/registry.h"
#include "path_text.h"

int GetDefaultInstallFolder(char* out)
{
    char dir[MAX_PATH];
    if (ReadRegistryPath(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir",
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
    if (ReadRegistryPath(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command", NULL,
                         KEY_READ, command, sizeof command) != ERROR_SUCCESS || !command[0])
        return 0;

    // The program's folder, whether the command quotes the program or not.
    char folder[MAX_PATH];
    if (!SplitCommandProgram(command, folder, sizeof folder)) return 0;
    char* name = strrchr(folder, '\\');
    char* slash = strrchr(folder, '/');
    if (slash > name) name = slash;
    if (!name) return 0;  // a bare file name names no folder
    name[1] = '\0';
    // Only a folder that an installation can have used: a relative one would be taken from
    // whatever the current directory is.
    if (!IsRootedFolder(folder)) return 0;
    lstrcpyA(out, folder);
    return 1;
}

void ProposeInstallFolder(char* out)
{
    if (!GetExistingInstallFolder(out)) GetDefaultInstallFolder(out);
}
