// Shortcuts, program registration and file associations, in that order.
#pragma once
#include "install_result.h"
#include "fw/os_family.h"

// The whole step on this machine's Windows family; always 1. Every shortcut, registry value and
// notification that cannot be written is listed in `failed`, and the step goes on.
int RegisterShellIntegration(int bConfirmed, const char* szFolder, int bStartMenuGroup,
                             int bDesktopShortcut, int bThumbsShortcut, int bAllUsers,
                             const int* formatFlags, int bAssocAllUsers, FailedRows* failed);

// The same step for a given Windows family (the family is decided once, by the caller above).
int RegisterShellIntegrationOn(const OsFamily& os, int bConfirmed, const char* szFolder,
                               int bStartMenuGroup, int bDesktopShortcut, int bThumbsShortcut,
                               int bAllUsers, const int* formatFlags, int bAssocAllUsers,
                               FailedRows* failed);
