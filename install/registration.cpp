#include "registration.h"
#include <windows.h>
#include <stdio.h>
#include "payload_size.h"
#include "registry_write.h"

#define BROWSE_VERB "Browse with &Pixmora"
#define UNINSTALL_KEY "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora"

// What a row does with its key.
enum RegOp {
    kSetDefault,       // the default value; creates the key path
    kDeleteKey,        // a missing key is no error
    kCreateKey,        // created and closed
    kSetInCreatedKey,  // a named value; the key is created first
    kSetIfKeyOpens,    // a named value, only if the key opens with all access
    kSetIfListExists,  // a named value in a list that is opened for setting values, never created
    kSetDwordIfKeyOpens  // a named REG_DWORD value, only if the key opens with all access
};

// The text a row writes.
enum RegData {
    kLiteral,        // the row's own text
    kOpenCommand,    // "program" "%1"
    kBrowseCommand,  // "program" "%1 /thumbs"
    kQuotedProgram,  // "program"
    kUninstaller,    // "folder\pmx_uninstall.exe", quoted: with a blank in the folder the system
                     // would otherwise split the path
    kFolder,         // the destination folder with its trailing backslash
    kViewerIcon,     // "folder\pxm32.exe",0
    kPayloadKib,     // REG_DWORD: the payload's size in KiB, measured when it was embedded
    kDwordOne        // REG_DWORD 1
};

struct RegistryRow {
    bool vistaOnly;
    HKEY root;
    const char* key;
    RegOp op;
    const char* value;    // named value, or NULL for the key's default
    RegData data;
    const char* literal;  // for kLiteral
};

// The folder and drive context-menu entries, written right after the thumbnails shortcut.
static const RegistryRow kBrowseVerbRows[] = {
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Directory\\shell\\" BROWSE_VERB, kSetDefault, NULL, kLiteral, BROWSE_VERB},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Directory\\shell\\" BROWSE_VERB "\\command", kSetDefault, NULL, kBrowseCommand, NULL},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Drive\\shell\\" BROWSE_VERB, kSetDefault, NULL, kLiteral, BROWSE_VERB},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Drive\\shell\\" BROWSE_VERB "\\command", kSetDefault, NULL, kBrowseCommand, NULL},
};

// The program's own rows, in the order they are written.
static const RegistryRow kProgramRows[] = {
    {false, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora", kSetDefault, NULL, kLiteral, "Pixmora"},
    {false, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command", kSetDefault, NULL, kOpenCommand, NULL},
    {false, HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\DefaultIcon", kDeleteKey, NULL, kLiteral, NULL},
    {false, HKEY_CLASSES_ROOT, "Applications\\pxm32.exe\\shell\\open\\command", kSetDefault, NULL, kOpenCommand, NULL},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetDefault, NULL, kLiteral, ""},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetIfKeyOpens, "DisplayName", kLiteral, "Pixmora (remove only)"},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetIfKeyOpens, "UninstallString", kUninstaller, NULL},
    // What the system's program list and deployment tools read besides the name.
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetIfKeyOpens, "DisplayVersion", kLiteral, "4.00"},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetIfKeyOpens, "Publisher", kLiteral, "Pixmora"},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetIfKeyOpens, "InstallLocation", kFolder, NULL},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetIfKeyOpens, "DisplayIcon", kViewerIcon, NULL},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetDwordIfKeyOpens, "EstimatedSize", kPayloadKib, NULL},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetDwordIfKeyOpens, "NoModify", kDwordOne, NULL},
    {false, HKEY_LOCAL_MACHINE, UNINSTALL_KEY, kSetDwordIfKeyOpens, "NoRepair", kDwordOne, NULL},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora", kCreateKey, NULL, kLiteral, NULL},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\shell\\open\\command", kSetDefault, NULL, kQuotedProgram, NULL},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities", kSetInCreatedKey, "ApplicationDescription", kLiteral,
     "Picture viewer, editor and converter - one of the most popular viewers worldwide"},
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", kCreateKey, NULL, kLiteral, NULL},
    // Opened, never created: a system without the list has no default-programs feature.
    {true, HKEY_LOCAL_MACHINE, "SOFTWARE\\RegisteredApplications", kSetIfListExists, "Pixmora", kLiteral,
     "SOFTWARE\\Pixmora\\Capabilities"},
};

// The texts the rows write, built once from the folder and the program path.
struct RegistryTexts {
    char open[2 * MAX_PATH];
    char browse[2 * MAX_PATH];
    char quoted[MAX_PATH + 2];
    char uninstaller[MAX_PATH + 20];
    char folder[MAX_PATH];
    char icon[MAX_PATH + 16];
};

static void MakeTexts(RegistryTexts* t, const char* folder, const char* programPath)
{
    _snprintf(t->open, sizeof t->open, "\"%s\" \"%%1\"", programPath);
    t->open[sizeof t->open - 1] = '\0';
    _snprintf(t->browse, sizeof t->browse, "\"%s\" \"%%1 /thumbs\"", programPath);
    t->browse[sizeof t->browse - 1] = '\0';
    _snprintf(t->quoted, sizeof t->quoted, "\"%s\"", programPath);
    t->quoted[sizeof t->quoted - 1] = '\0';
    _snprintf(t->uninstaller, sizeof t->uninstaller, "\"%spmx_uninstall.exe\"", folder);
    t->uninstaller[sizeof t->uninstaller - 1] = '\0';
    lstrcpynA(t->folder, folder, sizeof t->folder);
    _snprintf(t->icon, sizeof t->icon, "\"%spxm32.exe\",0", folder);
    t->icon[sizeof t->icon - 1] = '\0';
}

static const char* TextOf(const RegistryRow& row, const RegistryTexts& t)
{
    switch (row.data) {
    case kOpenCommand: return t.open;
    case kBrowseCommand: return t.browse;
    case kQuotedProgram: return t.quoted;
    case kUninstaller: return t.uninstaller;
    case kFolder: return t.folder;
    case kViewerIcon: return t.icon;
    case kLiteral: case kPayloadKib: case kDwordOne: break;
    }
    return row.literal;
}

static void WriteRows(const RegistryRow* rows, int count, const RegistryTexts& t, const OsFamily& os,
                      FailedRows* failed)
{
    for (int i = 0; i < count; ++i) {
        const RegistryRow& row = rows[i];
        if (row.vistaOnly && !os.bVista) continue;
        const char* data = TextOf(row, t);
        switch (row.op) {
        case kSetDefault: WriteDefaultValue(row.root, row.key, data, failed); break;
        case kDeleteKey: DeleteRegistryKey(row.root, row.key, failed); break;
        case kCreateKey: CreateRegistryKey(row.root, row.key, failed); break;
        case kSetInCreatedKey: WriteNamedValue(row.root, row.key, true, 0, row.value, data, failed); break;
        case kSetIfKeyOpens: WriteNamedValue(row.root, row.key, false, KEY_ALL_ACCESS, row.value, data, failed); break;
        case kSetIfListExists: WriteNamedValue(row.root, row.key, false, KEY_SET_VALUE, row.value, data, failed); break;
        case kSetDwordIfKeyOpens:
            WriteDwordValue(row.root, row.key, row.value, row.data == kPayloadKib ? PIXMORA_PAYLOAD_KIB : 1, failed);
            break;
        }
    }
}

void RegisterBrowseVerb(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed)
{
    RegistryTexts t;
    MakeTexts(&t, folder, programPath);
    WriteRows(kBrowseVerbRows, sizeof kBrowseVerbRows / sizeof kBrowseVerbRows[0], t, os, failed);
}

void RegisterProgram(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed)
{
    RegistryTexts t;
    MakeTexts(&t, folder, programPath);
    WriteRows(kProgramRows, sizeof kProgramRows / sizeof kProgramRows[0], t, os, failed);
}
