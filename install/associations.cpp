#include "associations.h"
#include <windows.h>
#include <shlobj.h>
#include <stdio.h>
#include "res/resource.h"
#include "install_options.h"
#include "registry_write.h"

static const char kProduct[] = "Pixmora";

static void Format(char* out, int size, const char* fmt, const char* a, const char* b = NULL)
{
    _snprintf(out, size, fmt, a, b);
    out[size - 1] = '\0';
}

void AssociateExtension(const char* ext, const char* type, const char* openCommand,
                        const char* iconSpec, int bXP, int bVista, int bAssocAllUsers,
                        int bOpenWith, int bSelected, int bSetDefault, int bSetUserChoice,
                        FailedRows* failed)
{
    char progId[64], key[MAX_PATH], description[64];
    Format(progId, sizeof progId, "%s.%s", kProduct, type);

    // 1. The extension's class.
    if (bXP) {
        Format(key, sizeof key, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s", ext);
        WriteDefaultValue(HKEY_CURRENT_USER, key, "", failed);
        WriteNamedValue(HKEY_CURRENT_USER, key, false, KEY_ALL_ACCESS, "ProgID", progId, failed);
        if (bAssocAllUsers) {
            Format(key, sizeof key, "SOFTWARE\\Classes\\.%s", ext);
            WriteDefaultValue(HKEY_LOCAL_MACHINE, key, progId, failed);
        }
    } else if (bSetDefault) {
        Format(key, sizeof key, "SOFTWARE\\Classes\\.%s", ext);
        WriteDefaultValue(HKEY_LOCAL_MACHINE, key, progId, failed);
    }

    // 2. Open-with list.
    if (bOpenWith && (bXP || bVista)) {
        Format(key, sizeof key, "SOFTWARE\\Classes\\.%s\\OpenWithProgids", ext);
        WriteNamedValue(HKEY_LOCAL_MACHINE, key, true, 0, progId, NULL, failed);
    }

    // 3.-5. The class with its description, open command and icon.
    char upper[32];
    lstrcpynA(upper, type, sizeof upper);
    CharUpperA(upper);
    Format(description, sizeof description, "%s %s File", kProduct, upper);
    Format(key, sizeof key, "SOFTWARE\\Classes\\%s.%s", kProduct, type);
    WriteDefaultValue(HKEY_LOCAL_MACHINE, key, description, failed);
    char sub[MAX_PATH];
    Format(sub, sizeof sub, "%s\\shell\\open\\command", key);
    WriteDefaultValue(HKEY_LOCAL_MACHINE, sub, openCommand, failed);
    Format(sub, sizeof sub, "%s\\DefaultIcon", key);
    WriteDefaultValue(HKEY_LOCAL_MACHINE, sub, iconSpec, failed);

    if (!bVista) return;
    // 6a. The capability list holds one value per type name.
    char name[40];
    Format(name, sizeof name, ".%s", type);
    WriteNamedValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", false, KEY_SET_VALUE,
                    name, progId, failed);
    // 6b. The user's choice, made anew.
    if (bSelected && bSetUserChoice) {
        Format(key, sizeof key,
               "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.%s\\UserChoice", ext);
        DeleteRegistryKey(HKEY_CURRENT_USER, key, failed);
        WriteNamedValue(HKEY_CURRENT_USER, key, true, 0, "Progid", progId, failed);
    }
}

void RegisterAssociations(int bConfirmed, const char* programPath, const int* formatFlags,
                          int bAssocAllUsers, const OsFamily& os, FailedRows* failed)
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
                           bAssocAllUsers, row.openWith, selected, setDefault, setUserChoice, failed);
    }

    // A system that does not know the icon reload has nothing to reload: no failure.
    if (!SystemParametersInfoA(SPI_SETICONS, 0, NULL, SPIF_UPDATEINIFILE | SPIF_SENDCHANGE) &&
        GetLastError() != ERROR_INVALID_SPI_VALUE && failed) {
        char notification[128];
        LoadStringA(GetModuleHandleA(NULL), IDS_ICON_NOTIFICATION, notification, sizeof notification);
        failed->Add(notification);
    }
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSHNOWAIT, NULL, NULL);
}
