#include <gtest/gtest.h>
#include <string.h>
#include "fw/registry.h"
#include "install/install_folder.h"
#include "test_support.h"

static const char kCommandKey[] = "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command";
static const char kVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

TEST(GetExistingInstallFolder, Table)
{
    struct Case {
        std::string value;  // stored as REG_SZ bytes, with its terminator unless noted
        int result;
        const char* folder;
    } cases[] = {
        {std::string("\"C:\\Tools\\Pixmora\\pxm32.exe\" \"%1\"", 33) + '\0', 1, "C:\\Tools\\Pixmora\\"},
        {std::string("\"D:\\pxm32.exe\"") + '\0', 1, "D:\\"},
        {std::string("xC:\\Px\\pxm32.exe") + '\0', 1, "C:\\Px\\"},  // first character skipped, whatever it is
        {std::string("") + '\0', 0, ""},
        {std::string("\"pxm32.exe\"") + '\0', 0, ""},  // no folder at all
        // Exactly 260 bytes without a terminator: whether it is taken or refused, nothing is
        // read or written past the buffer.
        {"\"C:\\" + std::string(250, 'a') + "\\p.exe", -1, nullptr},
    };
    for (const Case& c : cases) {
        SetRegistryString(HKEY_LOCAL_MACHINE, kCommandKey, NULL, c.value);
        char out[MAX_PATH + 8];
        memset(out, 'Z', sizeof out);
        SCOPED_TRACE(c.value);
        int result = GetExistingInstallFolder(out);
        if (c.result >= 0) EXPECT_EQ(result, c.result);
        if (c.folder) EXPECT_STREQ(out, c.folder);
        EXPECT_LT(strlen(out), (size_t)MAX_PATH);
        EXPECT_EQ(out[MAX_PATH], 'Z');
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora");
    char out[MAX_PATH] = "junk";
    EXPECT_EQ(GetExistingInstallFolder(out), 0);
    EXPECT_STREQ(out, "");
}

TEST(GetDefaultInstallFolder, FromProgramFilesDirWithFallback)
{
    char saved[MAX_PATH];
    ASSERT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", KEY_READ, saved, sizeof saved),
              ERROR_SUCCESS);

    struct { const char* dir; const char* expected; } cases[] = {
        {"C:\\Program Files", "C:\\Program Files\\Pixmora"},
        {"D:\\Programme\\", "D:\\Programme\\Pixmora"},
    };
    for (auto& c : cases) {
        SetRegistryString(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", std::string(c.dir) + '\0');
        char out[MAX_PATH];
        EXPECT_EQ(GetDefaultInstallFolder(out), 1);
        EXPECT_STREQ(out, c.expected);
    }
    // Without the value: the shell's program files folder.
    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kVersionKey, 0, KEY_ALL_ACCESS, &k), ERROR_SUCCESS);
    RegDeleteValueA(k, "ProgramFilesDir");
    RegCloseKey(k);
    char out[MAX_PATH];
    EXPECT_EQ(GetDefaultInstallFolder(out), 1);
    EXPECT_EQ(std::string(out).substr(1), ":\\Program Files\\Pixmora");

    SetRegistryString(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", std::string(saved) + '\0');
}
