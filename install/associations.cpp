#include "associations.h"
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include "../app/options.h"

static const char kProduct[] = "Pixmora";

static void SetDefault(HKEY root, const char* key, const char* data)
{
    RegSetValueA(root, key, REG_SZ, data, lstrlenA(data));
}

static void Format(char* out, int size, const char* fmt, const char* a, const char* b = NULL)
{
    _snprintf(out, size, fmt, a, b);
    out[size - 1] = '\0';
}

void AssociateExtension(const char* ext, const char* type, const char* openCommand,
                        const char* iconSpec, int bXP, int bVista, int bAssocAllUsers,
                        int bOpenWith, int bSelected, int bSetDefault, int bSetUserChoice)
{
    char progId[64], key[MAX_PATH], description[64];
    Format(progId, sizeof progId, "%s.%s", kProduct, type);
    HKEY hkey;

    // 1. The extension's class.
    if (bXP) {
        Format(key, sizeof key, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s", ext);
        SetDefault(HKEY_CURRENT_USER, key, "");
        if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_ALL_ACCESS, &hkey) == ERROR_SUCCESS) {
            RegSetValueExA(hkey, "ProgID", 0, REG_SZ, (const BYTE*)progId, lstrlenA(progId) + 1);
            RegCloseKey(hkey);
        }
        if (bAssocAllUsers) {
            Format(key, sizeof key, "SOFTWARE\\Classes\\.%s", ext);
            SetDefault(HKEY_LOCAL_MACHINE, key, progId);
        }
    } else if (bSetDefault) {
        Format(key, sizeof key, "SOFTWARE\\Classes\\.%s", ext);
        SetDefault(HKEY_LOCAL_MACHINE, key, progId);
    }

    // 2. Open-with list.
    if (bOpenWith && (bXP || bVista)) {
        Format(key, sizeof key, "SOFTWARE\\Classes\\.%s\\OpenWithProgids", ext);
        if (RegCreateKeyA(HKEY_LOCAL_MACHINE, key, &hkey) == ERROR_SUCCESS) {
            RegSetValueExA(hkey, progId, 0, REG_SZ, NULL, 0);
            RegCloseKey(hkey);
        }
    }

    // 3.-5. The class with its description, open command and icon.
    char upper[32];
    lstrcpynA(upper, type, sizeof upper);
    CharUpperA(upper);
    Format(description, sizeof description, "%s %s File", kProduct, upper);
    Format(key, sizeof key, "SOFTWARE\\Classes\\%s.%s", kProduct, type);
    SetDefault(HKEY_LOCAL_MACHINE, key, description);
    char sub[MAX_PATH];
    Format(sub, sizeof sub, "%s\\shell\\open\\command", key);
    SetDefault(HKEY_LOCAL_MACHINE, sub, openCommand);
    Format(sub, sizeof sub, "%s\\DefaultIcon", key);
    SetDefault(HKEY_LOCAL_MACHINE, sub, iconSpec);

    if (!bVista) return;
    // 6a. The capability list holds one value per type name.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", 0,
                      KEY_SET_VALUE, &hkey) == ERROR_SUCCESS) {
        char name[40];
        Format(name, sizeof name, ".%s", type);
        RegSetValueExA(hkey, name, 0, REG_SZ, (const BYTE*)progId, lstrlenA(progId) + 1);
        RegCloseKey(hkey);
    }
    // 6b. The user's choice, made anew.
    if (bSelected && bSetUserChoice) {
        Format(key, sizeof key,
               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s\\UserChoice", ext);
        RegDeleteKeyA(HKEY_CURRENT_USER, key);
        if (RegCreateKeyA(HKEY_CURRENT_USER, key, &hkey) == ERROR_SUCCESS) {
            RegSetValueExA(hkey, "Progid", 0, REG_SZ, (const BYTE*)progId, lstrlenA(progId) + 1);
            RegCloseKey(hkey);
        }
    }
}

void RegisterAssociations(int bConfirmed, const char* programPath, const int* formatFlags,
                          int bAssocAllUsers, const OsFamily& os)
{
    if (!bConfirmed && !os.bVista) return;

    char open[2 * MAX_PATH];
    _snprintf(open, sizeof open, "\"%s\" \"%%1\"", programPath);
    open[sizeof open - 1] = '\0';
    char icons[4][MAX_PATH + 4];
    lstrcpyA(icons[kIconOwn], "%1");
    Format(icons[kIconProgram0], sizeof icons[0], "%s,0", programPath);
    Format(icons[kIconProgram8], sizeof icons[0], "%s,8", programPath);
    Format(icons[kIconProgram9], sizeof icons[0], "%s,9", programPath);

    for (int i = 0; i < g_extensionCount; ++i) {
        const ExtensionRow& row = g_extensions[i];
        int selected = formatFlags[row.group];
        if (!os.bVista && !selected) continue;
        // Without the user's consent the Vista family only gets the classes, open-with entries
        // and capabilities: no extension is taken over.
        int consented = selected && bConfirmed;
        int setDefault = os.bVista ? consented : 1;
        int setUserChoice = consented && !os.bUserChoiceProtected;
        AssociateExtension(row.ext, row.type, open, icons[row.icon], os.bXP, os.bVista,
                           bAssocAllUsers, row.openWith, selected, setDefault, setUserChoice);
    }

    SystemParametersInfoA(SPI_SETICONS, 0, NULL, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, NULL, NULL);
}
