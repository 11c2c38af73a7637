// Opening what the user asked for after the installation (the viewer, a web page, a link's
// target) with the user's own rights rather than the setup's administrator rights.
#pragma once
#include <windows.h>

// Who started what ShellOpenAsUser opened.
enum ShellOpenRoute {
    kOpenedByDesktopShell,  // the desktop shell's own process, with the user's ordinary rights
    kOpenedHere,            // this process: there are no rights to shed, or no desktop shell to ask
    kNotOpened              // a desktop shell was there but could not be asked: not opened at all
};

// True when this process runs elevated (Vista and later); false where the system cannot say.
bool IsElevatedProcess();

// Opens `file` (a program, a document or a web address) with `parameters` (or NULL), as the
// shell's "open" does. A process that runs elevated over the user's session (administrator
// approval mode: the user's own programs run without those rights) asks the desktop shell's
// process to open it, so that it runs as the user's ordinary programs do; that is never done
// here instead. Without such elevation (older systems, approval mode off), or where no desktop
// shell runs, it is opened here with ShellExecute. The result is ShellExecute's (above 32:
// opened); `route`, when given, says which way it went.
INT_PTR ShellOpenAsUser(const char* file, const char* parameters, int show, ShellOpenRoute* route);
