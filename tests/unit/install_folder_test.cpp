#include <gtest/gtest.h>
#include <string.h>
#include "fw/registry.h"
#include "install/install_folder.h"
#include "test_support.h"

static const char kCommandKey[] = "SOFTWARE\\Classes\\Pixmora\\shell\\open\\command";
static const char kVersionKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";

TEST(GetExistingInstallFolder, Table)
{
    char drive[MAX_PATH];
    ASSERT_TRUE(GetEnvironmentVariableA("SystemDrive", drive, sizeof drive));
    struct Case {
        std::string value;  // stored with its terminator unless noted
        DWORD type;
        int result;
        std::string folder;  // "" with result 0
    } cases[] = {
        {"\"C:\\Tools\\Pixmora\\pxm32.exe\" \"%1\"", REG_SZ, 1, "C:\\Tools\\Pixmora\\"},
        {"\"D:\\pxm32.exe\"", REG_SZ, 1, "D:\\"},
        {"C:\\PxmOld\\pxm32.exe \"%1\"", REG_SZ, 1, "C:\\PxmOld\\"},  // unquoted, with its argument
        {"C:\\Program Files\\Pixmora\\pxm32.exe \"%1\"", REG_SZ, 1, "C:\\Program Files\\Pixmora\\"},
        {"C:\\Program Files\\Pixmora\\PXM32.EXE", REG_SZ, 1, "C:\\Program Files\\Pixmora\\"},
        {"\"%SystemDrive%\\Pixmora\\pxm32.exe\" \"%1\"", REG_EXPAND_SZ, 1, std::string(drive) + "\\Pixmora\\"},
        {"", REG_SZ, 0, ""},
        {"\"pxm32.exe\" \"%1\"", REG_SZ, 0, ""},           // no folder at all
        {"Pixmora\\pxm32.exe \"%1\"", REG_SZ, 0, ""},       // relative: not where anyone installed
        {"xC:\\Px\\pxm32.exe", REG_SZ, 0, ""},
    };
    for (const Case& c : cases) {
        SetRegistryString(HKEY_LOCAL_MACHINE, kCommandKey, NULL, c.value + '\0', c.type);
        char out[MAX_PATH];
        memset(out, 'Z', sizeof out);
        SCOPED_TRACE(c.value);
        EXPECT_EQ(GetExistingInstallFolder(out), c.result);
        EXPECT_EQ(out, c.folder);
    }

    // Exactly 260 bytes without a terminator: whether it is taken or refused, nothing is read or
    // written past the buffer.
    SetRegistryString(HKEY_LOCAL_MACHINE, kCommandKey, NULL, "\"C:\\" + std::string(250, 'a') + "\\p.exe");
    char out[MAX_PATH + 8];
    memset(out, 'Z', sizeof out);
    GetExistingInstallFolder(out);
    EXPECT_LT(strlen(out), (size_t)MAX_PATH);
    EXPECT_EQ(out[MAX_PATH], 'Z');

    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\Pixmora");
    EXPECT_EQ(GetExistingInstallFolder(out), 0);
    EXPECT_STREQ(out, "");
}

TEST(GetDefaultInstallFolder, FromProgramFilesDirWithFallback)
{
    char saved[MAX_PATH];
    ASSERT_EQ(ReadRegistryText(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", KEY_READ, saved, sizeof saved),
              ERROR_SUCCESS);

    struct { const char* dir; DWORD type; const char* expected; } cases[] = {
        {"C:\\Program Files", REG_SZ, "C:\\Program Files\\Pixmora"},
        {"D:\\Programme\\", REG_SZ, "D:\\Programme\\Pixmora"},
        // As a set-up cut short leaves it.
        {"%SystemDrive%\\Program Files", REG_EXPAND_SZ, "C:\\Program Files\\Pixmora"},
    };
    for (auto& c : cases) {
        SetRegistryString(HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir", std::string(c.dir) + '\0', c.type);
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
