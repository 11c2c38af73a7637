// Authenticode check of a downloaded partner installer before it may run.
#pragma once
#include <windows.h>

// 1 when the open file `hFile` (whose path is `path`) carries an intact Authenticode signature
// (no revocation check, no user interface) and the signer certificate's subject common name is
// exactly `publisher`. 0 otherwise, also when the system cannot verify signatures at all; the
// reason goes to the debugger output only (TracePartner), never to the user.
int VerifyPublisher(HANDLE hFile, const char* path, const char* publisher);

// Tells a debugger (and the tests) what became of a partner installer: "Pixmora partner: PATH:
// WHAT". Nothing of it reaches the user.
void TracePartner(const char* path, const char* what);
