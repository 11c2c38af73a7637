// The package's one custom action (deferred, without impersonation): runs the installed
// pixmora_setup.exe with "/silent" and the switches that the package's public properties ask
// for, waits for it and turns its exit code into the outcome of the package.
//
// Its CustomActionData is set by the action "RunSetup.Data" (pixmora.wxs) as tab-separated
// NAME=value fields: SETUP, the full path of the installed setup, then one field per property
// below; an empty value is an absent property.
#include <windows.h>
#include <msi.h>
#include <msiquery.h>
#include <stdio.h>
#include <string.h>

namespace {

enum ValueKind { kNumber, kPath, kFlag };

struct PropertySwitch {
    const char* property;
    const char* option;
    // Paths are quoted (they may hold blanks) and get backslashes for slashes, which would end
    // the switch's value; a flag is passed unless it is "0".
    ValueKind kind;
};

const PropertySwitch kSwitches[] = {
    {"FOLDER", "/folder=", kPath},
    {"GROUP", "/group=", kNumber},
    {"DESKTOP", "/desktop=", kNumber},
    {"THUMBS", "/thumbs=", kNumber},
    {"PXMALLUSERS", "/allusers=", kNumber},
    {"ASSOC", "/assoc=", kNumber},
    {"ASSOCALLUSERS", "/assocallusers", kFlag},
    {"LOGFILE", "/log=", kPath},
};

struct ExitCodeText {
    DWORD code;
    bool succeeded;
    const char* meaning;
};

const ExitCodeText kExitCodes[] = {
    {0, true, "installed"},
    {6, true, "installed, but some shortcuts or registry entries could not be written"},
    {2, false, "the viewer (pxm32.exe) is running; nothing installed"},
    {3, false, "invalid destination folder"},
    {4, false, "the destination folder cannot be created"},
    {5, false, "not every file could be written"},
};

const size_t kTextSize = 4096;

// The value of field NAME in the tab-separated data, or "" when it is absent.
void Field(const char* data, const char* name, char* out, size_t size)
{
    out[0] = 0;
    size_t len = strlen(name);
    for (const char* p = data; *p;) {
        const char* end = strchr(p, '\t');
        if (!end) end = p + strlen(p);
        if ((size_t)(end - p) > len && !strncmp(p, name, len) && p[len] == '=') {
            size_t n = end - p - len - 1;
            if (n >= size) n = size - 1;
            memcpy(out, p + len + 1, n);
            out[n] = 0;
            return;
        }
        p = *end ? end + 1 : end;
    }
}

void Append(char* text, size_t size, const char* part)
{
    strncat(text, part, size - strlen(text) - 1);
}

void Log(MSIHANDLE install, const char* text)
{
    PMSIHANDLE record = MsiCreateRecord(0);
    MsiRecordSetStringA(record, 0, text);
    MsiProcessMessage(install, INSTALLMESSAGE_INFO, record);
}

// The command line for the setup: its quoted path, "/silent", then the switch of each property
// that is set, in the order of kSwitches.
void BuildSetupCommandLine(const char* data, char* line, size_t size)
{
    char value[kTextSize];
    line[0] = 0;
    Field(data, "SETUP", value, sizeof value);
    Append(line, size, "\"");
    Append(line, size, value);
    Append(line, size, "\" /silent");
    for (const PropertySwitch& s : kSwitches) {
        Field(data, s.property, value, sizeof value);
        if (!value[0] || (s.kind == kFlag && !strcmp(value, "0"))) continue;
        Append(line, size, " ");
        Append(line, size, s.option);
        if (s.kind == kFlag) continue;
        if (s.kind == kPath) {
            for (char* c = value; *c; ++c)
                if (*c == '/') *c = '\\';
            Append(line, size, "\"");
        }
        Append(line, size, value);
        if (s.kind == kPath) Append(line, size, "\"");
    }
}

}  // namespace

extern "C" __declspec(dllexport) UINT __stdcall RunSetup(MSIHANDLE install)
{
    static char data[kTextSize], line[kTextSize], text[2 * kTextSize];
    DWORD size = sizeof data;
    if (MsiGetPropertyA(install, "CustomActionData", data, &size) != ERROR_SUCCESS) data[0] = 0;
    BuildSetupCommandLine(data, line, sizeof line);

    // Without LOGFILE the setup writes its log into its working folder: the temporary folder of
    // the account that runs the package, which survives a rollback of the package's own folder.
    char folder[MAX_PATH], log[kTextSize];
    if (!GetTempPathA(sizeof folder, folder)) strcpy(folder, "C:\\");
    Field(data, "LOGFILE", log, sizeof log);
    if (!log[0]) snprintf(log, sizeof log, "%sPixmora_Install.log", folder);

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
