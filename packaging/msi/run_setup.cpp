// The package's custom actions. RunSetup (deferred, without impersonation) runs the installed
// pixmora_setup.exe with "/silent" and the switches that the package's public properties ask
// for, waits for it and turns its exit code into the outcome of the package; CheckProperties
// (immediate, before the installation starts) refuses property values that are not what their
// switch takes.
//
// Its CustomActionData is set by the action "RunSetup.Data" (pixmora.wxs) as tab-separated
// NAME=value fields: SETUP, the full path of the installed setup, then one field per property
// (setup_command.cpp); an empty value is an absent property. The setup runs as the system
// account, so no property may bring in switches of its own: CheckProperties refuses such values
// before anything is installed, and RunSetup refuses them again in its data.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <stdio.h>
#include <string.h>
#include "setup_command.h"

namespace {

struct ExitCodeText {
    DWORD code;
    bool succeeded;
    const char* meaning;
};

const ExitCodeText kExitCodes[] = {
    {0, true, "installed"},
    {6, true, "installed, but some shortcuts or registry entries could not be written"},
    {2, false, "the viewer (pxm32.exe) is running; nothing installed"},
    {3, false, "invalid destination folder or log file"},
    {4, false, "the destination folder cannot be created"},
    {5, false, "not every file could be written"},
};

const size_t kTextSize = 4096;

void Log(MSIHANDLE install, const char* text)
{
    PMSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringA(record, 0, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

}  // namespace

// Immediate, before anything is installed: each property that becomes a switch is checked.
extern "C" __declspec(dllexport) UINT __stdcall CheckProperties(MSIHANDLE install)
{
    static char value[kTextSize], text[2 * kTextSize];
    for (const PropertySwitch& s : kPropertySwitches) {
        DWORD size = sizeof value;
        UINT rc = MsiGetPropertyA(install, s.property, value, &size);
        if (rc == ERROR_SUCCESS && IsAcceptedValue(s, value)) continue;
        if (rc != ERROR_SUCCESS) value[0] = '\0';
        if (rc == ERROR_MORE_DATA)
            snprintf(text, sizeof text, "Pixmora Setup: property %s refused: longer than %u characters", s.property,
                     (unsigned)sizeof value - 1);
        else
            snprintf(text, sizeof text, "Pixmora Setup: property %s refused: \"%s\" (%s)", s.property, value,
                     s.kind == kNumber ? "digits only" : "no tab, quote or line break");
        Log(install, text);
        return ERROR_INSTALL_FAILURE;
    }
    return ERROR_SUCCESS;
}

extern "C" __declspec(dllexport) UINT __stdcall RunSetup(MSIHANDLE install)
{
    static char data[kTextSize], line[kTextSize], text[2 * kTextSize];
    DWORD size = sizeof data;
    UINT rc = MsiGetPropertyA(install, "CustomActionData", data, &size);
    const char* fields[kFieldCount];
    const char* refused = "CustomActionData";
    if (rc != ERROR_SUCCESS || !SplitActionData(data, fields, &refused) ||
        !BuildSetupCommandLine(fields, line, sizeof line, &refused)) {
        snprintf(text, sizeof text, "Pixmora Setup not run: property %s refused", refused);
        Log(install, text);
        return ERROR_INSTALL_FAILURE;
    }

    // Without LOGFILE the setup writes its log into its working folder: the temporary folder of
    // the account that runs the package, which survives a rollback of the package's own folder.
    char folder[MAX_PATH], log[kTextSize];
    if (!GetTempPathA(sizeof folder, folder)) strcpy(folder, "C:\\");
    const char* logFile = fields[kFieldCount - 1];
    if (logFile[0])
        snprintf(log, sizeof log, "%s", logFile);
    else
        snprintf(log, sizeof log, "%sPixmora_Install.log", folder);

    snprintf(text, sizeof text, "Pixmora Setup: running %s (in %s)", line, folder);
    Log(install, text);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(NULL, line, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, folder, &si, &pi)) {
        snprintf(text, sizeof text, "Pixmora Setup could not be started (error %lu)", GetLastError());
        Log(install, text);
        return ERROR_INSTALL_FAILURE;
    }
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);

    const ExitCodeText* known = nullptr;
    for (const ExitCodeText& e : kExitCodes)
        if (e.code == code) known = &e;
    if (known && known->succeeded && code == 0) return ERROR_SUCCESS;
    snprintf(text, sizeof text, "Pixmora Setup ended with exit code %lu (%s); its log: %s", code,
             known ? known->meaning : "unexpected", log);
    Log(install, text);
    return known && known->succeeded ? ERROR_SUCCESS : ERROR_INSTALL_FAILURE;
}
