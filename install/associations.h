// File associations: the program classes of the 87 extensions of the 67 format groups.
#pragma once
#include "install_result.h"
#include "fw/os_family.h"

enum IconSpec { kIconOwn, kIconProgram0, kIconProgram8, kIconProgram9 };

struct ExtensionRow {
    int group;          // format row, index into formatFlags
    const char* ext;    // without the dot
    const char* type;   // type name: ProgID "Pixmora.<type>"
    IconSpec icon;
    bool openWith;      // listed under the extension's OpenWithProgids
    // On a group's first extension only: the group's row in the wizard's list.
    const char* label;        // "JPG/JPEG/JPE" for group 23
    const char* description;  // " *": read through a plug-in
};

// The one table of format groups and extensions (associations_table.cpp).
extern const ExtensionRow g_extensions[];
extern const int g_extensionCount;
// The first extension of a group, which carries its label and description.
const ExtensionRow* FormatGroupRow(int group);

struct PhaseKeys;

// The association section: every selected group (every group on the Vista family), then the
// icon reload and the association-changed notification. `programPath` is the installed pxm32.exe.
// What cannot be written (a value, the icon reload) goes to `failed`. `phase`: the keys shared
// with the phase's other rows (NULL: the call's own).
void RegisterAssociations(int bConfirmed, const char* programPath, const int* formatFlags,
                          int bAssocAllUsers, const OsFamily& os, FailedRows* failed, PhaseKeys* phase = NULL);
