#include "shortcuts.h"
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>
#include "fw/folder_hold.h"
#include "path_text.h"
#include "payload.h"

static const char kVersion[] = "4.00";

// The three interface ids the shortcuts need, here rather than from the system's id library,
// which would bring every id it knows into the setup.
static const CLSID kShellLink = {0x00021401, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID kShellLinkA = {0x000214EE, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
static const IID kPersistFile = {0x0000010B, 0, 0, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

int GetSpecialFolderPath(char* out, int csidl)
{
    LPITEMIDLIST pidl = NULL;
    out[0] = '\0';
    if (FAILED(SHGetSpecialFolderLocation(GetActiveWindow(), csidl, &pidl)) || !pidl) {
        GetWindowsDirectoryA(out, MAX_PATH);
    } else {
        if (!SHGetPathFromIDListA(pidl, out)) GetWindowsDirectoryA(out, MAX_PATH);
        CoTaskMemFree(pidl);
    }
    AppendBackslash(out, MAX_PATH);
    return 1;
}

// One link file through the shell link object. `linkPath` is the full path of the .lnk file.
static int SaveLink(const char* linkPath, const char* target, const char* arguments,
                    const char* iconFile, int iconIndex, const char* description)
{
    CoInitialize(NULL);
    IShellLinkA* link = NULL;
    if (FAILED(CoCreateInstance(kShellLink, NULL, CLSCTX_INPROC_SERVER, kShellLinkA,
                                (void**)&link))) {
        CoUninitialize();
        return 0;
    }
    IPersistFile* file = NULL;
    if (FAILED(link->QueryInterface(kPersistFile, (void**)&file))) {
        link->Release();
        CoUninitialize();
        return 0;
    }
    if (iconFile) link->SetIconLocation(iconFile, iconIndex);
    WCHAR wide[MAX_PATH];
    wide[0] = 0;
    MultiByteToWideChar(CP_ACP, 0, linkPath, -1, wide, MAX_PATH);
    wide[MAX_PATH - 1] = 0;
    link->SetPath(target);
    if (arguments) link->SetArguments(arguments);
    if (description) link->SetDescription(description);
    HRESULT hr = file->Save(wide, TRUE);
    file->Release();
    link->Release();
    CoUninitialize();
    return SUCCEEDED(hr) ? 1 : 0;
}

// The same, with a link that could not be saved listed by its path. A link file name that is
// itself a link, or a file with a second name, is not written through.
static int SaveShortcut(const char* linkPath, const char* target, const char* arguments,
                        const char* iconFile, int iconIndex, const char* description, FailedRows* failed)
{
    if (!IsLinkedFile(linkPath) && SaveLink(linkPath, target, arguments, iconFile, iconIndex, description)) return 1;
    if (failed) failed->Add(linkPath);
    return 0;
}

int CreateFolderShortcut(const char* folder, const char* linkName, const char* target,
                         const char* arguments, const char* iconFile, int iconIndex, FailedRows* failed)
{
    // The caller holds `folder`, checked; see CreateProgramGroup.
    char path[MAX_PATH];
    int n = _snprintf(path, sizeof path, "%s%s", folder, linkName);
    if (n < 0 || n >= (int)sizeof path) {
        if (failed) failed->Add(linkName);
        return 0;
    }
    return SaveShortcut(path, target, arguments, iconFile, iconIndex, NULL, failed);
}

int CreateDesktopShortcut(const char* target, const char* linkName, const char* iconFile,
                          const char* description, const char* arguments, int iconIndex,
                          int bAllUsers, FailedRows* failed)
{
    char path[MAX_PATH];
    GetSpecialFolderPath(path, bAllUsers ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOP);
    if (lstrlenA(path) + lstrlenA(linkName) >= MAX_PATH) {
        if (failed) failed->Add(linkName);
        return 0;
    }
    // The desktop folder is the user's own: checked and held while the link is written.
    CFolderHold hold;
    bool plain = hold.Hold(path);
    lstrcatA(path, linkName);
    if (!plain) {
        if (failed) failed->Add(path);
        return 0;
    }
    return SaveShortcut(path, target, arguments, iconFile, iconIndex, description, failed);
}

// Entries 2 to 10 of the program group; entry 1 carries the version in its name.
struct GroupEntry {
    const char* link;
    const char* target;     // below the destination folder
    const char* arguments;  // or NULL
    bool programIcon;       // icon 7 of pxm32.exe
};
static const GroupEntry kGroupEntries[] = {
    {"Pixmora - Thumbnails.lnk", "pxm32.exe", "/thumbs", true},
    {"Pixmora deinstallieren.lnk", "pmx_uninstall.exe", NULL, false},
    {"\xDC" "ber Pixmora.lnk", "pxm_about.txt", NULL, false},
    {"Was ist neu.lnk", "pxm_changes.txt", NULL, false},
    {"Kommandozeilen-Optionen.lnk", "pxm_options.txt", NULL, false},
    {"Verf\xFC" "gbare PlugIns.lnk", "pxm_plugins.txt", NULL, false},
    {"Verf\xFC" "gbare Sprachen.lnk", "pxm_languages.txt", NULL, false},
    {"\xDC" "ber PlugIns.lnk", "Plugins\\Plugins.txt", NULL, false},
    {"Pixmora Hilfe.lnk", "help\\pxm32d.chm", NULL, false},
};

// Every link of the group listed as failed: the group folder is not one to write into.
static void FailGroup(const char* group, FailedRows* failed)
{
    if (!failed) return;
    char path[MAX_PATH];
    _snprintf(path, sizeof path, "%sPixmora %s.lnk", group, kVersion);
    path[MAX_PATH - 1] = '\0';
    failed->Add(path);
    for (const GroupEntry& e : kGroupEntries) {
        _snprintf(path, sizeof path, "%s%s", group, e.link);
        path[MAX_PATH - 1] = '\0';
        failed->Add(path);
    }
}

void CreateProgramGroup(const char* folder, int bAllUsers, FailedRows* failed)
{
    char group[MAX_PATH];
    GetSpecialFolderPath(group, bAllUsers ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS);
    if (lstrlenA(group) + 8 >= MAX_PATH) {
        if (failed) failed->Add(group);
        return;
    }
    // The user's own programs can write to the user's Start menu: each folder on the way is
    // checked and held, so that a junction planted there sends no link, and no deletion,
    // elsewhere.
    CFolderHold parent, hold;
    bool plain = parent.Hold(group);
    lstrcatA(group, "Pixmora");
    if (plain) CreateFolderPath(group);  // a group that cannot be made shows up as failed links
    else AppendBackslash(group, MAX_PATH);
    plain = plain && hold.Hold(group);
    parent.Release();
    if (!plain) {
        FailGroup(group, failed);
        return;
    }

    char program[MAX_PATH], target[MAX_PATH], name[MAX_PATH];
    _snprintf(program, sizeof program, "%spxm32.exe", folder);
    program[MAX_PATH - 1] = '\0';
    _snprintf(name, sizeof name, "Pixmora %s.lnk", kVersion);
    CreateFolderShortcut(group, name, program, NULL, NULL, 0, failed);

    static const char* const kOldVersions[] = {"3.99", "3.98"};
    for (const char* old : kOldVersions) {
        _snprintf(name, sizeof name, "%sPixmora %s.lnk", group, old);
        name[MAX_PATH - 1] = '\0';
        // An old link that stays would start the new program under the old version's name.
        if (!DeleteFileA(name) && GetLastError() != ERROR_FILE_NOT_FOUND &&
            GetLastError() != ERROR_PATH_NOT_FOUND && failed)
            failed->Add(name);
    }

    for (const GroupEntry& e : kGroupEntries) {
        int n = _snprintf(target, sizeof target, "%s%s", folder, e.target);
        if (n < 0 || n >= (int)sizeof target) continue;
        CreateFolderShortcut(group, e.link, target, e.arguments, e.programIcon ? program : NULL,
                             e.programIcon ? 7 : 0, failed);
    }
}
