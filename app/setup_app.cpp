#include "setup_app.h"
#include <string.h>
#include "command_line.h"

CSetupApp theApp;

BOOL CSetupApp::InitInstance()
{
    Enable3dControls();
    if (strstr(m_lpCmdLine, "/silent")) {
        m_nExitCode = RunCommandLine(m_lpCmdLine);
        return FALSE;
    }
    // The wizard is not part of this build yet: nothing was installed.
    m_nExitCode = kExitWizardLeft;
    return FALSE;
}
