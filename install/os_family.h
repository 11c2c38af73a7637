// The Windows families the shell integration tells apart, decided once per run.
#pragma once

struct OsFamily {
    bool b9x;    // Windows 95, 98, Me
    bool bXP;    // NT 5.1 and later 5.x
    bool bVista; // NT 6.x
    // From 6.2 on the system discards a user choice that a program writes (and tells the user
    // that an app default was reset), so none is written there.
    bool bUserChoiceProtected;
};

// Reads the version with the plain 148-byte version record.
OsFamily GetOsFamily();
