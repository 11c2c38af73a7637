#include <gtest/gtest.h>
#include <aclapi.h>
#include <shlobj.h>
#include <string.h>
#include <string>
#include <vector>
#include "install/installation.h"
#include "test_support.h"

namespace {

// The run's one channel to a person, recorded.
struct RecordingReporter : InstallReporter {
    std::vector<std::string> errors, warnings, log;
    int asked = 0;
    bool answer = true;
    void ReportError(const char* message, const char* logLine) override
    {
        errors.push_back(message);
        log.push_back(logLine);
    }
    void ReportWarning(const char* message, const char* logLine) override
    {
        warnings.push_back(message);
        log.push_back(logLine);
    }
    bool AskAssociate() override
    {
        ++asked;
        return answer;
    }
};

InstallOptions Options(const std::string& folder, bool anyFormat)
{
    InstallOptions o;
    memset(&o, 0, sizeof o);
    strcpy(o.szFolder, folder.c_str());
    o.bAnyFormat = anyFormat;
    o.formatFlags[23] = anyFormat;
    return o;
}

// Lets nobody set values in (or delete) an existing HKLM key, or everybody again.
void SetKeyWritable(const char* key, bool writable)
{
    HKEY h;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key, 0, NULL, 0, WRITE_DAC, NULL, &h, NULL), ERROR_SUCCESS);
    EXPLICIT_ACCESSA rule = {};
    rule.grfAccessPermissions = writable ? KEY_ALL_ACCESS : KEY_SET_VALUE | DELETE;
    rule.grfAccessMode = writable ? SET_ACCESS : DENY_ACCESS;
    rule.Trustee.TrusteeForm = TRUSTEE_IS_NAME;
    rule.Trustee.ptstrName = (char*)"EVERYONE";
    EXPLICIT_ACCESSA rules[2] = {rule, rule};
    rules[1].grfAccessPermissions = KEY_READ;
    rules[1].grfAccessMode = GRANT_ACCESS;
    PACL acl = NULL;
    ASSERT_EQ(SetEntriesInAclA(writable ? 1 : 2, rules, NULL, &acl), 0u);
    SECURITY_DESCRIPTOR sd;
    InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&sd, TRUE, acl, FALSE);
    EXPECT_EQ(RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, &sd), ERROR_SUCCESS);
    RegCloseKey(h);
    LocalFree(acl);
}

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH];
    SHGetFolderPathA(NULL, csidl, NULL, 0, path);
    return path;
}

}  // namespace

TEST(RunInstallation, OutcomesAndWhatReachesAPerson)
{
    TempFolder t;
    struct Case {
        const char* name;
        std::string folder;
        bool anyFormat;
        InstallOutcome outcome;
        const char* error;    // the one error shown, or NULL
        std::string logLine;  // its install log line
        int asked;
    } cases[] = {
        {"drive without backslash", "C:Pixmora", true, kInvalidFolder, "Ung\xFCltiges Zielverzeichnis!",
         "Ung\xFCltiges Zielverzeichnis!: C:Pixmora", 0},
        {"blanks only", "   ", true, kInvalidFolder, "Ung\xFCltiges Zielverzeichnis!", "Ung\xFCltiges Zielverzeichnis!: ", 0},
        {"missing drive", "Q:\\Nowhere", true, kFolderNotCreatable, NULL, "", 0},
        {"installed, a type ticked", "  " + t.path() + "\\A  ", true, kInstalled, NULL, "", 1},
        {"installed, no type ticked", t.path() + "\\B", false, kInstalled, NULL, "", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingReporter r;
        InstallResult result = RunInstallation(Options(c.folder, c.anyFormat), r);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(result.failed.nCount, 0) << result.failed.text;
        EXPECT_EQ(r.asked, c.asked);
        EXPECT_TRUE(r.warnings.empty());
        EXPECT_EQ(r.errors.size(), IsInstalled(c.outcome) ? 0u : 1u);
        if (c.error) {
            ASSERT_EQ(r.errors.size(), 1u);
            EXPECT_EQ(r.errors[0], c.error);
            EXPECT_EQ(r.log[0], c.logLine);
        }
    }
}

// Twenty-three rows that cannot be written: one warning, the box naming the first fifteen and how many
// more, the log line naming all of them.
TEST(RunInstallation, FailedRowsInOneWarning)
{
    TempFolder t;
    const char* uninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora";
    std::string group = SpecialFolder(CSIDL_PROGRAMS) + "\\Pixmora";
    std::string desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY);
    RemoveDirectoryA(group.c_str());
    WriteFileBytes(group, "in the way");                                    // the 10 links of the group
    for (const char* link : {"\\Pixmora.lnk", "\\Pixmora Thumbnails.lnk"}) {  // the 2 desktop links
        DeleteFileA((desktop + link).c_str());
        CreateDirectoryA((desktop + link).c_str(), NULL);
    }
    CreateDirectoryA((t / "pxm32.ini").c_str(), NULL);                      // the settings
    SetKeyWritable(uninstall, false);                                       // 10 values of the entry

    InstallOptions o = Options(t.path(), true);
    o.bStartMenuGroup = o.bDesktopShortcut = o.bThumbsShortcut = 1;
    RecordingReporter r;
    r.answer = false;
    InstallResult result = RunInstallation(o, r);

    SetKeyWritable(uninstall, true);
    DeleteFileA(group.c_str());
    RemoveDirectoryA((desktop + "\\Pixmora.lnk").c_str());
    RemoveDirectoryA((desktop + "\\Pixmora Thumbnails.lnk").c_str());

    EXPECT_EQ(result.outcome, kInstalledWithErrors);
    EXPECT_EQ(result.failed.nCount, 23) << result.failed.text;
    EXPECT_EQ(r.asked, 1);
    EXPECT_TRUE(r.errors.empty());
    ASSERT_EQ(r.warnings.size(), 1u);
    const std::string intro =
        "Pixmora wurde installiert, aber folgende Eintr\xE4ge konnten nicht geschrieben werden!\n\n"
        "Bitte \xFC" "berpr\xFC" "fen Sie Ihre Schreibrechte und System-Policies!\n\n";
    std::string rows = result.failed.text.operator const char*();
    rows.pop_back();  // the last line end
    EXPECT_EQ(r.log[0], t.path() + "\\: " + intro + rows);

    std::string first15 = rows.substr(0, rows.find(std::string("HKEY_LOCAL_MACHINE\\") + uninstall + " (UninstallString)"));
    EXPECT_EQ(r.warnings[0], intro + first15 + "... und 8 weitere");
    // In the order they were tried: the settings, the group, the desktop, the registry.
    EXPECT_EQ(rows.find(t.path() + "\\pxm32.ini\n" + group + "\\Pixmora 4.00.lnk\n"), 0u);
    EXPECT_NE(rows.find(desktop + "\\Pixmora Thumbnails.lnk\nHKEY_LOCAL_MACHINE\\"), std::string::npos);
}
