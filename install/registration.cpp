#include "registration.h"
#include <windows.h>
#include <stdio.h>
#include "payload_size.h"

static const char kBrowseVerb[] = "Browse with &Pixmora";
static const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora";
static const char kDescription[] =
    "Picture viewer, editor and converter - one of the most popular viewers worldwide";

// What the system's program list and deployment tools read from the uninstall entry besides
// its name and uninstall string. "%s" is the destination folder with its trailing backslash.
struct UninstallValue {
    const char* name;
    DWORD type;          // REG_SZ: `text` formatted with the folder; REG_DWORD: `number`
    const char* text;
    DWORD number;
};
static const UninstallValue kUninstallValues[] = {
    {"DisplayVersion",  REG_SZ,    "4.00",               0},
    {"Publisher",       REG_SZ,    "Pixmora",            0},
    {"InstallLocation", REG_SZ,    "%s",                 0},
    {"DisplayIcon",     REG_SZ,    "\"%spxm32.exe\",0",  0},
    {"EstimatedSize",   REG_DWORD, NULL,                 PIXMORA_PAYLOAD_KIB},  // KiB
    {"NoModify",        REG_DWORD, NULL,                 1},
    {"NoRepair",        REG_DWORD, NULL,                 1},
};

// Sets the default value of a key, creating the key path.
static void SetDefault(HKEY root, const char* key, const char* data)
{
    RegSetValueA(root, key, REG_SZ, data, lstrlenA(data));
}

static void SetNamed(HKEY key, const char* name, const char* data)
{
    RegSetValueExA(key, name, 0, REG_SZ, (const BYTE*)data, lstrlenA(data) + 1);
}

void RegisterBrowseVerb(const char* programPath)
{
    char command[2 * MAX_PATH], key[MAX_PATH];
    _snprintf(command, sizeof command, "\"%s\" \"%%1 /thumbs\"", programPath);
    command[sizeof command - 1] = '\0';
    static const char* const kRoots[] = {"SOFTWARE\\Classes\\Directory\\shell\\%s",
                                         "SOFTWARE\\Classes\\Drive\\shell\\%s"};
    for (const char* root : kRoots) {
        _snprintf(key, sizeof key, root, kBrowseVerb);
        key[sizeof key - 1] = '\0';
        SetDefault(HKEY_LOCAL_MACHINE, key, kBrowseVerb);
        lstrcatA(key, "\\command");
        SetDefault(HKEY_LOCAL_MACHINE, key, command);
    }
}

void RegisterProgram(const char* folder, const char* programPath, const OsFamily& os)
{
    char open[2 * MAX_PATH];
    _snprintf(open, sizeof open, "\"%s\" \"%%1\"", programPath);
    open[sizeof open - 1] = '\0';

    SetDefault(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora", "Pixmora");
    SetDefault(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command", open);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\DefaultIcon");
    SetDefault(HKEY_CLASSES_ROOT, "Applications\\pxm32.exe\\shell\\open\\command", open);

    SetDefault(HKEY_LOCAL_MACHINE, kUninstallKey, "");
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        SetNamed(key, "DisplayName", "Pixmora (remove only)");
        // Quoted: with a blank in the folder the system would otherwise split the path.
        char uninstall[MAX_PATH + 2];
        _snprintf(uninstall, sizeof uninstall, "\"%spmx_uninstall.exe\"", folder);
        uninstall[sizeof uninstall - 1] = '\0';
        SetNamed(key, "UninstallString", uninstall);
        for (const UninstallValue& v : kUninstallValues) {
            if (v.type == REG_DWORD) {
                RegSetValueExA(key, v.name, 0, REG_DWORD, (const BYTE*)&v.number, sizeof v.number);
                continue;
            }
            char text[MAX_PATH + 16];
            _snprintf(text, sizeof text, v.text, folder);
            text[sizeof text - 1] = '\0';
            SetNamed(key, v.name, text);
        }
        RegCloseKey(key);
    }

    if (!os.bVista) return;
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora", &key) == ERROR_SUCCESS) RegCloseKey(key);
    char quoted[MAX_PATH + 2];
    _snprintf(quoted, sizeof quoted, "\"%s\"", programPath);
    quoted[sizeof quoted - 1] = '\0';
    SetDefault(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\shell\\open\\command", quoted);
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities", &key) == ERROR_SUCCESS) {
        SetNamed(key, "ApplicationDescription", kDescription);
        RegCloseKey(key);
    }
    if (RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", &key) ==
        ERROR_SUCCESS)
        RegCloseKey(key);
    // Opened, never created: a system without the list has no default-programs feature.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\RegisteredApplications", 0, KEY_SET_VALUE, &key) ==
        ERROR_SUCCESS) {
        SetNamed(key, "Pixmora", "SOFTWARE\\Pixmora\\Capabilities");
        RegCloseKey(key);
    }
}
