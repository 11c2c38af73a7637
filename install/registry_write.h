// The registry writes of the shell integration, each checked: what cannot be written is added
// to the failed rows, and the caller goes on.
#pragma once
#include <windows.h>
#include "install_result.h"

// The key's default value (REG_SZ); the key path is created as needed.
bool WriteDefaultValue(HKEY root, const char* key, const char* data, FailedRows* failed);

// A named REG_SZ value (`data` NULL: an empty value of no bytes). With `create` the key is
// created first; otherwise it is only opened, with `access`, and a key that does not exist skips
// the row without a failure (a list the system does not have, or a key whose own row failed).
bool WriteNamedValue(HKEY root, const char* key, bool create, REGSAM access, const char* name,
                     const char* data, FailedRows* failed);

// A named REG_DWORD value in a key that is only opened (with all access); a key that does not
// exist skips the row without a failure.
bool WriteDwordValue(HKEY root, const char* key, const char* name, DWORD data, FailedRows* failed);

// Creates the key unless it exists, and closes it.
bool CreateRegistryKey(HKEY root, const char* key, FailedRows* failed);

// Deletes a key that has no subkeys; a missing key is no failure.
bool DeleteRegistryKey(HKEY root, const char* key, FailedRows* failed);
