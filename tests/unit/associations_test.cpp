#include <gtest/gtest.h>
#include <set>
#include <string>
#include "install/install_options.h"
#include "install/associations.h"
#include "test_support.h"

namespace {

const char kProgram[] = "C:\\Px\\pxm32.exe";
const OsFamily kOld = {false, false, false, false};     // 2000, NT 4, 9x
const OsFamily kXP = {false, true, false, false};
const OsFamily kVista = {false, false, true, false};    // 6.0, 6.1
const OsFamily kWin8 = {false, false, true, true};      // 6.2 and later

bool KeyExists(HKEY root, const std::string& key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

void Reset()
{
    for (int i = 0; i < g_extensionCount; ++i) {
        std::string ext = g_extensions[i].ext, type = g_extensions[i].type;
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\." + ext).c_str());
        DeleteRegistryTree(HKEY_LOCAL_MACHINE, ("SOFTWARE\\Classes\\Pixmora." + type).c_str());
        DeleteRegistryTree(HKEY_CURRENT_USER,
                           ("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + ext).c_str());
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora");
    HKEY k;
    RegCreateKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", &k);
    RegCloseKey(k);
}

std::string FileExts(const std::string& ext) { return "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\." + ext; }

}  // namespace

TEST(ExtensionTable, RowsGroupsAndFlags)
{
    EXPECT_EQ(g_extensionCount, 87);
    std::set<int> groups;
    int openWith = 0, previous = -1;
    for (int i = 0; i < g_extensionCount; ++i) {
        const ExtensionRow& r = g_extensions[i];
        EXPECT_GE(r.group, previous) << r.ext;  // registration order follows the groups
        previous = r.group;
        groups.insert(r.group);
        openWith += r.openWith;
        IconSpec expected = r.group >= 58 ? kIconProgram8 : r.group >= 53 ? kIconProgram9 : kIconProgram0;
        if (r.group == 0 || r.group == 6 || r.group == 18 || r.group == 19) expected = kIconOwn;
        EXPECT_EQ(r.icon, expected) << r.ext;
    }
    EXPECT_EQ(groups.size(), 67u);
    EXPECT_EQ(*groups.rbegin(), 66);
    EXPECT_EQ(openWith, 30);
}

// One selected group (23: jpg, jpeg, jpe) plus the unselected group 29, per family and answer.
TEST(RegisterAssociations, FamiliesAndConfirmation)
{
    struct Case {
        const char* name;
        OsFamily os;
        int confirmed, allUsers;
        const char* jpegDefault;     // HKLM SOFTWARE\Classes\.jpeg default
        const char* jpegFileExts;    // HKCU FileExts\.jpeg "ProgID"
        const char* jpegUserChoice;  // HKCU FileExts\.jpeg\UserChoice "Progid"
        const char* jpegOpenWith;    // HKLM .jpeg\OpenWithProgids value Pixmora.jpg
        const char* nlmClass;        // class of the unselected group 29
        const char* capability;      // capability value .jpg
    } cases[] = {
        {"old", kOld, 1, 0, "Pixmora.jpg", "<no key>", "<no key>", "<no key>", "<no key>", "<no value>"},
        {"old, No", kOld, 0, 0, "<no key>", "<no key>", "<no key>", "<no key>", "<no key>", "<no value>"},
        {"XP", kXP, 1, 0, "<no value>", "Pixmora.jpg", "<no key>", "", "<no key>", "<no value>"},
        {"XP all users", kXP, 1, 1, "Pixmora.jpg", "Pixmora.jpg", "<no key>", "", "<no key>", "<no value>"},
        {"XP, No", kXP, 0, 1, "<no key>", "<no key>", "<no key>", "<no key>", "<no key>", "<no value>"},
        {"Vista", kVista, 1, 0, "Pixmora.jpg", "<no value>", "Pixmora.jpg", "", "Pixmora NLM File", "Pixmora.jpg"},
        {"Vista, No", kVista, 0, 0, "<no value>", "<no key>", "<no key>", "", "Pixmora NLM File", "Pixmora.jpg"},
        {"Windows 8", kWin8, 1, 0, "Pixmora.jpg", "<no key>", "<no key>", "", "Pixmora NLM File", "Pixmora.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Reset();
        int flags[kFormatCount] = {};
        flags[23] = 1;
        FailedRows failed;
        RegisterAssociations(c.confirmed, kProgram, flags, c.allUsers, c.os, &failed);
        EXPECT_EQ(failed.nCount, 0) << failed.text;
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.jpeg"), c.jpegDefault);
        EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, FileExts("jpeg"), "ProgID"), c.jpegFileExts);
        EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, FileExts("jpeg") + "\\UserChoice", "Progid"), c.jpegUserChoice);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.jpeg\\OpenWithProgids", "Pixmora.jpg"), c.jpegOpenWith);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora.nlm"), c.nlmClass);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", ".jpg"), c.capability);
        bool wrote = c.confirmed || c.os.bVista;
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora.jpg"), wrote ? "Pixmora JPG File" : "<no key>");
        // Unselected extensions never change class on any family.
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.nlm"), "<no key>");
    }
}

TEST(RegisterAssociations, ClassesCommandsAndIcons)
{
    Reset();
    int flags[kFormatCount];
    for (int& f : flags) f = 1;
    RegisterAssociations(1, kProgram, flags, 0, kOld, NULL);
    struct { const char* ext; const char* cls; const char* description; const char* icon; } rows[] = {
        {"jpe", "Pixmora.jpg", "Pixmora JPG File", "C:\\Px\\pxm32.exe,0"},
        {"mpe", "Pixmora.mpe", "Pixmora MPE File", "C:\\Px\\pxm32.exe,9"},
        {"mpeg", "Pixmora.mpg", "Pixmora MPG File", "C:\\Px\\pxm32.exe,9"},
        {"rmi", "Pixmora.rmi", "Pixmora RMI File", "C:\\Px\\pxm32.exe,8"},
        {"gsm", "Pixmora.nlm", "Pixmora NLM File", "C:\\Px\\pxm32.exe,0"},
        {"cr2", "Pixmora.cr2", "Pixmora CR2 File", "C:\\Px\\pxm32.exe,0"},
        {"jng", "Pixmora.jng", "Pixmora JNG File", "C:\\Px\\pxm32.exe,0"},
        {"ico", "Pixmora.ico", "Pixmora ICO File", "%1"},
        {"icl", "Pixmora.icl", "Pixmora ICL File", "%1"},
        {"ttf", "Pixmora.ttf", "Pixmora TTF File", "C:\\Px\\pxm32.exe,0"},
        {"snd", "Pixmora.au", "Pixmora AU File", "C:\\Px\\pxm32.exe,8"},
    };
    for (auto& r : rows) {
        SCOPED_TRACE(r.ext);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\.") + r.ext), r.cls);
        std::string cls = std::string("SOFTWARE\\Classes\\") + r.cls;
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, cls), r.description);
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, cls + "\\shell\\open\\command"), "\"C:\\Px\\pxm32.exe\" \"%1\"");
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, cls + "\\DefaultIcon"), r.icon);
    }
    // The old families have no open-with lists.
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\.jpg\\OpenWithProgids"));
}

TEST(RegisterAssociations, VistaListsEveryClassAndFlaggedOpenWith)
{
    Reset();
    int flags[kFormatCount] = {};
    RegisterAssociations(1, kProgram, flags, 0, kVista, NULL);
    int openWith = 0;
    for (int i = 0; i < g_extensionCount; ++i) {
        const ExtensionRow& r = g_extensions[i];
        std::string progId = std::string("Pixmora.") + r.type;
        EXPECT_EQ(ReadRegistryValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pixmora\\Capabilities\\FileAssociations", ("." + std::string(r.type)).c_str()), progId);
        bool listed = ReadRegistryValue(HKEY_LOCAL_MACHINE, std::string("SOFTWARE\\Classes\\.") + r.ext + "\\OpenWithProgids", progId.c_str()) == "";
        EXPECT_EQ(listed, r.openWith) << r.ext;
        openWith += listed;
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, FileExts(r.ext) + "\\UserChoice")) << r.ext;
    }
    EXPECT_EQ(openWith, 30);
}
