#include "registration.h"
#include <windows.h>
#include <stdio.h>
#include "payload_size.h"
#include "registry_write.h"

#define BROWSE_VERB "Browse with &Pixmora"
// Below HKLM\SOFTWARE.
#define UNINSTALL_KEY "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora"

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

void RegisterBrowseVerb(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed,
                        PhaseKeys* phase)
{
    if (!os.bVista) return;
    RegistryTexts t;
    MakeTexts(&t, folder, programPath);
    PhaseKeys own;
    PhaseKeys& keys = phase ? *phase : own;
    static const char* const kRoots[] = {"Directory\\shell\\" BROWSE_VERB, "Drive\\shell\\" BROWSE_VERB};
    for (int i = 0; i < 2; ++i) {
        RowKey verb, command;
        verb.Create(keys.Classes(), kRoots[i]);
        verb.SetDefault(BROWSE_VERB, failed);
        command.Create(verb, "command");
        command.SetDefault(t.browse, failed);
    }
}

void RegisterProgram(const char* folder, const char* programPath, const OsFamily& os, FailedRows* failed,
                     PhaseKeys* phase)
{
    RegistryTexts t;
    MakeTexts(&t, folder, programPath);
    PhaseKeys own;
    PhaseKeys& keys = phase ? *phase : own;

    RowKey cls, command, application;
    cls.Create(keys.Classes(), "Pixmora");
    cls.SetDefault("Pixmora", failed);
    command.Create(cls, "shell\\open\\command");
    command.SetDefault(t.open, failed);
    command.Close();
    cls.DeleteSubkey("DefaultIcon", failed);
    cls.Close();
    application.Create(HKEY_CLASSES_ROOT, "Applications\\pxm32.exe\\shell\\open\\command");
    application.SetDefault(t.open, failed);
    application.Close();

    RowKey uninstall;
    uninstall.Create(keys.Software(), UNINSTALL_KEY);
    uninstall.SetDefault("", failed);
    uninstall.SetText("DisplayName", "Pixmora (remove only)", failed);
    uninstall.SetText("UninstallString", t.uninstaller, failed);
    // What the system's program list and deployment tools read besides the name.
    uninstall.SetText("DisplayVersion", "4.00", failed);
    uninstall.SetText("Publisher", "Pixmora", failed);
    uninstall.SetText("InstallLocation", t.folder, failed);
    uninstall.SetText("DisplayIcon", t.icon, failed);
    uninstall.SetDword("EstimatedSize", PIXMORA_PAYLOAD_KIB, failed);
    uninstall.SetDword("NoModify", 1, failed);
    uninstall.SetDword("NoRepair", 1, failed);
    uninstall.Close();

    if (!os.bVista) return;
    RowKey product, ownCommand, capabilities, registered;
    product.Create(keys.Software(), "Pixmora");
    product.CheckCreated(failed);
    ownCommand.Create(product, "shell\\open\\command");
    ownCommand.SetDefault(t.quoted, failed);
    ownCommand.Close();
    capabilities.Create(product, "Capabilities");
    capabilities.SetText("ApplicationDescription",
                         "Picture viewer, editor and converter - one of the most popular viewers worldwide", failed);
    // Kept open for the associations' rows.
    keys.fileAssociations.Create(capabilities, "FileAssociations");
    keys.fileAssociations.CheckCreated(failed);
    // Opened, never created: a system without the list has no default-programs feature.
    registered.Open(keys.Software(), "RegisteredApplications", KEY_SET_VALUE);
    registered.SetText("Pixmora", "SOFTWARE\\Pixmora\\Capabilities", failed);
}
