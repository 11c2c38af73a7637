// A folder of its own under the temporary folder for one partner download: a name nobody can
// guess in advance, created with its security in one step. With administrator rights (as the
// setup normally runs) only the administrators and the system may write to it, and where the
// system has integrity levels it carries a high label: the user's ordinary programs, which can
// write to the temporary folder, can put nothing beside the installer that it would load. Without
// them, the setup's user and the administrators.
#pragma once
#include <windows.h>

class CPrivateFolder {
public:
    CPrivateFolder();
    ~CPrivateFolder();  // frees the security descriptor; the folder itself is removed by Remove

    // Creates the folder; false when the temporary folder is unknown or not an absolute path,
    // or the folder cannot be made. m_szPath then ends with a backslash.
    bool Create();
    // The security attributes that the folder got, for the files made in it (NULL on systems
    // without access control).
    SECURITY_ATTRIBUTES* Security() { return m_sa.lpSecurityDescriptor ? &m_sa : NULL; }
    // Removes the file `name` in the folder and then the folder (an empty folder only).
    void Remove(const char* name);

    char m_szPath[MAX_PATH];

private:
    bool MakeSecurity();
    SECURITY_ATTRIBUTES m_sa;
    bool m_bCreated;
};
