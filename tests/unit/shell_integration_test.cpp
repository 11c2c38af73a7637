#include <gtest/gtest.h>
#include <string>
#include "install/install_options.h"
#include "install/associations.h"
#include "install/shell_integration.h"
#include "test_support.h"

namespace {

const std::string kFileExts = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.";
const std::string kUninstall = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Pixmora";

// A machine where another program owns every extension, for the current user and machine-wide.
void OtherProgramOwnsEverything()
{
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora");
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Directory\\shell\\Browse with &Pixmora");
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kUninstall.c_str());
    for (int i = 0; i < g_extensionCount; ++i) {
        std::string ext = g_extensions[i].ext;
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\." + ext).c_str());
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\Pixmora." + std::string(g_extensions[i].type)).c_str());
        DeleteRegistryTree(HKEY_CURRENT_USER, (kFileExts + ext).c_str());
        SetRegistryString(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\." + ext).c_str(), NULL, "Other." + ext);
        SetRegistryString(HKEY_CURRENT_USER, (kFileExts + ext + "\\UserChoice").c_str(), "Progid", "Other." + ext);
    }
}

}  // namespace

// The whole step after the question was answered No: shortcuts and program registration happen;
// on the XP family and older nothing of the association section is written; on the Vista family
// the classes and capabilities are registered but no extension changes hands.
TEST(RegisterShellIntegration, AnsweredNo)
{
    struct Case {
        const char* name;
        OsFamily os;
        bool classes;  // program classes and capability values of the extensions
    } cases[] = {
        {"9x", {true, false, false, false}, false},
        {"XP", {false, true, false, false}, false},
        {"Vista", {false, false, true, false}, true},
        {"Windows 8", {false, false, true, true}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OtherProgramOwnsEverything();
        int flags[kFormatCount];
        for (int& f : flags) f = 1;
        FailedRows failed;
        EXPECT_EQ(RegisterShellIntegrationOn(c.os, 0, "  C:\\Bild Programme  ", 0, 0, 1, 0, flags, 1, &failed), 1);
        EXPECT_EQ(failed.nCount, 0) << failed.text;

        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command"),
                  "\"C:\\Bild Programme\\pxm32.exe\" \"%1\"");
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"),
                  "\"C:\\Bild Programme\\pmx_uninstall.exe\"");
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", ".jpg"),
                  c.classes ? "Pixmora.jpg" : "<no key>");
        for (int i = 0; i < g_extensionCount; ++i) {
            const ExtensionRow& r = g_extensions[i];
            SCOPED_TRACE(r.ext);
            std::string ext = r.ext, progId = std::string("Pixmora.") + r.type;
            EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\." + ext), "Other." + ext);
            EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kFileExts + ext + "\\UserChoice", "Progid"), "Other." + ext);
            EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kFileExts + ext, "ProgID"), "<no value>");
            EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\" + progId + "\\shell\\open\\command") != "<no key>",
                      c.classes);
            EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\." + ext + "\\OpenWithProgids", progId.c_str()) == "",
                      c.classes && r.openWith);
        }
    }
}
