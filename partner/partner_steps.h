// Download and launch of the accepted partner installers (steps of the installation run).
//
// Each step fetches its installer from a random mirror into the temporary folder with the
// download dialog, runs it with fixed switches when the download is plausibly complete by its
// size, waits until it has ended, and removes the file. Nothing is shown or logged; the
// outcome, which the finish page tells, is what each step returns.
#pragma once

// Copies the base URL of a mirror (with its trailing slash) into szMirror (260 bytes). The
// random generator is seeded anew with the tick count on every call.
void ChooseMirror(char* szMirror);
// The mirror index for one seed: mirrors 0 and 1 come with probability 4/9, mirror 2 with 1/9.
int ChooseMirrorIndex(unsigned seed);

// The toolbar installer (the 9x line has its own file, switches and size limit). True only
// when it was installed: obtained, checked, started and ended reporting success.
bool InstallToolbarPartner();
// The desktop-search installer, likewise.
bool InstallDesktopPartner();
