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

// What every extension of a run shares.
struct AssociationRun {
    PhaseKeys* keys;
    const char* openCommand;
    bool bXP, bVista, bAssocAllUsers;
    FailedRows* failed;
};

// The class "Pixmora.<type>" with its description, open command and icon, and on the Vista family
// its row in the capability list. Written once for all the extensions that share the type.
static void RegisterClass(const AssociationRun& run, const char* type, const char* progId, const char* iconSpec)
{
    char upper[32], description[64];
    lstrcpynA(upper, type, sizeof upper);
    CharUpperA(upper);
    Format(description, sizeof description, "%s %s File", kProduct, upper);
    RowKey cls, command, icon;
    cls.Create(run.keys->Classes(), progId);
    cls.SetDefault(description, run.failed);
    command.Create(cls, "shell\\open\\command");
    command.SetDefault(run.openCommand, run.failed);
    command.Close();
    icon.Create(cls, "DefaultIcon");
    icon.SetDefault(iconSpec, run.failed);

    if (!run.bVista) return;
    // The capability list holds one value per type name.
    char name[40];
    Format(name, sizeof name, ".%s", type);
    run.keys->fileAssociations.SetText(name, progId, run.failed);
}

// The extension's rows: whose class it is, its open-with list, the class (unless an earlier
// extension of the same type wrote it) and the user's choice.
static void AssociateExtension(const AssociationRun& run, const ExtensionRow& row, const char* progId,
                               const char* iconSpec, bool writeClass, bool selected, bool setDefault,
                               bool setUserChoice)
{
    char dotExt[16];
    Format(dotExt, sizeof dotExt, ".%s", row.ext);

    RowKey classesExt, userExt;
    if (run.bXP) {
        userExt.Create(run.keys->FileExts(), dotExt);
        userExt.SetDefault("", run.failed);
        userExt.SetText("ProgID", progId, run.failed);
        if (run.bAssocAllUsers) {
            classesExt.Create(run.keys->Classes(), dotExt);
            classesExt.SetDefault(progId, run.failed);
        }
    } else if (setDefault) {
        classesExt.Create(run.keys->Classes(), dotExt);
        classesExt.SetDefault(progId, run.failed);
    }

    if (row.openWith && (run.bXP || run.bVista)) {
        RowKey list;
        if (classesExt.IsTried()) {
            list.Create(classesExt, "OpenWithProgids");
        } else {
            char sub[40];
            Format(sub, sizeof sub, "%s\\OpenWithProgids", dotExt);
            list.Create(run.keys->Classes(), sub);
        }
        list.SetText(progId, NULL, run.failed);
    }
    classesExt.Close();
    userExt.Close();

    if (writeClass) RegisterClass(run, row.type, progId, iconSpec);

    // The user's choice, made anew.
    if (run.bVista && selected && setUserChoice) {
        RowKey& fileExts = run.keys->FileExts();
        char sub[32];
        Format(sub, sizeof sub, "%s\\UserChoice", dotExt);
        fileExts.DeleteSubkey(sub, run.failed);
        RowKey choice;
        choice.Create(fileExts, sub);
        choice.SetText("Progid", progId, run.failed);
    }
}

void RegisterAssociations(int bConfirmed, const char* programPath, const int* formatFlags,
                          int bAssocAllUsers, const OsFamily& os, FailedRows* failed, PhaseKeys* phase)
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

    PhaseKeys own;
    AssociationRun run = {phase ? phase : &own, open, os.bXP, os.bVista, bAssocAllUsers != 0, failed};
    // Opened, never created, when the program's rows have not created it.
    if (os.bVista && !run.keys->fileAssociations.IsTried())
        run.keys->fileAssociations.Open(run.keys->Software(), "Pixmora\\Capabilities\\FileAssociations",
                                        KEY_SET_VALUE);

    for (int i = 0; i < g_extensionCount; ++i) {
        const ExtensionRow& row = g_extensions[i];
        int selected = formatFlags[row.group];
        if (!os.bVista && !selected) continue;
        // Without the user's consent the Vista family only gets the classes, open-with entries
        // and capabilities: no extension is taken over.
        int consented = selected && bConfirmed;
        int setDefault = os.bVista ? consented : 1;
        int setUserChoice = consented && !os.bUserChoiceProtected;
        char progId[64];
        Format(progId, sizeof progId, "%s.%s", kProduct, row.type);
        // A type shares its group with its extensions: an earlier one of them has written the class.
        bool writeClass = true;
        for (int k = 0; k < i && writeClass; ++k)
            writeClass = lstrcmpA(g_extensions[k].type, row.type) != 0;
        AssociateExtension(run, row, progId, icons[row.icon], writeClass, selected != 0, setDefault != 0,
                           setUserChoice != 0);
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
