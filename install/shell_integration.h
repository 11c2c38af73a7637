// Shortcuts, program registration and file associations, in that order.
#pragma once

int RegisterShellIntegration(int bConfirmed, const char* szFolder, int bStartMenuGroup,
                             int bDesktopShortcut, int bThumbsShortcut, int bAllUsers,
                             const int* formatFlags, int bAssocAllUsers);
