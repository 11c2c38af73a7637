// The Windows families the setup tells apart, decided once per run: the shell integration, the
// partner installers and the partner offer all ask here.
#pragma once

struct OsFamily {
    bool b9x;    // Windows 95, 98, Me
    bool bXP;    // NT 5.1 and later 5.x
    bool bVista; // NT 6.x
    // From 6.2 on the system discards a user choice that a program writes (and tells the user
    // that an app default was reset), so none is written there.
    bool bUserChoiceProtected;
    // Windows XP or later, or Windows 2000 with service pack 3 or later (known only from the
    // extended version record; false where the system does not fill it).
    bool bXPOr2000SP3;
};

OsFamily GetOsFamily();
