#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "fw/registry.h"
#include "install/registry_write.h"
#include "test_support.h"

namespace {

const char kKey[] = "Software\\PixmoraTest";

std::string Sz(const std::string& text) { return text + '\0'; }

void SetValue(const char* name, DWORD type, const std::string& data)
{
    CRegKey k;
    ASSERT_EQ(k.Create(HKEY_CURRENT_USER, kKey), ERROR_SUCCESS);
    RegSetValueExA(k, name, 0, type, (const BYTE*)data.data(), (DWORD)data.size());
}

}  // namespace

TEST(ReadRegistryText, TypesAndLengths)
{
    const DWORD size = 1024;
    struct {
        const char* name;
        DWORD type;
        std::string data;  // bytes as stored
        std::string expected;
        LONG rc;
    } cases[] = {
        {"sz", REG_SZ, Sz("text"), "text", ERROR_SUCCESS},
        {"expand", REG_EXPAND_SZ, Sz("%TEMP%\\x"), "%TEMP%\\x", ERROR_SUCCESS},
        {"multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9), "one", ERROR_SUCCESS},
        {"dword", REG_DWORD, std::string("\x01\x02\x03\x04", 4), "", ERROR_INVALID_DATATYPE},
        {"binary", REG_BINARY, "abc", "", ERROR_INVALID_DATATYPE},
        {"fits", REG_SZ, Sz(std::string(1023, 'f')), std::string(1023, 'f'), ERROR_SUCCESS},
        {"unterminated", REG_SZ, std::string(100, 'u'), std::string(100, 'u'), ERROR_SUCCESS},
        // Without a terminator the text needs 1025 bytes: it does not fit, and nothing is read
        // past the buffer looking for its end.
        {"full", REG_SZ, std::string(1024, 'x'), "", ERROR_MORE_DATA},
        {"toolong", REG_SZ, Sz(std::string(1500, 'y')), "", ERROR_MORE_DATA},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetValue(c.name, c.type, c.data);
        char buffer[size + 16];
        memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, c.name, KEY_READ, buffer, size), c.rc);
        EXPECT_EQ(std::string(buffer, strnlen(buffer, size)), c.expected);
        EXPECT_LT(strnlen(buffer, size), (size_t)size);
        EXPECT_EQ(std::string(buffer + size, 16), std::string(16, 'Z'));
    }
    char buffer[size];
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, "missing", KEY_READ, buffer, size), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, "Software\\PixmoraNoSuchKey", "sz", KEY_READ, buffer, size),
              ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(buffer, "");
    SetValue("", REG_SZ, Sz("default"));
    for (const char* name : {"", (const char*)NULL}) {
        EXPECT_EQ(ReadRegistryText(HKEY_CURRENT_USER, kKey, name, KEY_READ, buffer, size), ERROR_SUCCESS);
        EXPECT_STREQ(buffer, "default");
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
}

// Texts that name a file or folder: REG_EXPAND_SZ expanded, REG_SZ as stored.
TEST(ReadRegistryPath, ExpandsWhatItsTypeSays)
{
    char drive[MAX_PATH];
    ASSERT_TRUE(GetEnvironmentVariableA("SystemDrive", drive, sizeof drive));
    const DWORD size = MAX_PATH;
    struct {
        const char* name;
        DWORD type;
        std::string data;
        std::string expected;
        LONG rc;
    } cases[] = {
        {"expand", REG_EXPAND_SZ, Sz("%SystemDrive%\\Program Files"), std::string(drive) + "\\Program Files",
         ERROR_SUCCESS},
        {"sz", REG_SZ, Sz("%SystemDrive%\\Program Files"), "%SystemDrive%\\Program Files", ERROR_SUCCESS},
        {"unknown", REG_EXPAND_SZ, Sz("%PixmoraNoSuchVariable%\\x"), "%PixmoraNoSuchVariable%\\x", ERROR_SUCCESS},
        // Fits as stored, not once expanded: refused rather than cut.
        {"toolong", REG_EXPAND_SZ, Sz("%SystemDrive%" + std::string(250, 'p')), "", ERROR_MORE_DATA},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetValue(c.name, c.type, c.data);
        char buffer[size + 16];
        memset(buffer, 'Z', sizeof buffer);
        EXPECT_EQ(ReadRegistryPath(HKEY_CURRENT_USER, kKey, c.name, KEY_READ, buffer, size), c.rc);
        EXPECT_EQ(std::string(buffer, strnlen(buffer, size)), c.expected);
        EXPECT_EQ(std::string(buffer + size, 16), std::string(16, 'Z'));
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
}

// The rows below one created key: values of both types, an empty value and a subkey removed;
// the key closes itself.
TEST(RowKey, WritesBelowItsParent)
{
    FailedRows failed;
    {
        RowKey parent, child;
        parent.Create(HKEY_CURRENT_USER, kKey);
        child.Create(parent, "A\\B");
        EXPECT_TRUE(child.SetDefault("default", &failed));
        EXPECT_TRUE(child.SetText("text", "value", &failed));
        EXPECT_TRUE(child.SetText("empty", NULL, &failed));
        EXPECT_TRUE(child.SetDword("number", 7, &failed));
        RowKey gone;
        gone.Create(child, "Gone");
        gone.Close();
        EXPECT_TRUE(child.DeleteSubkey("Gone", &failed));
        EXPECT_TRUE(child.DeleteSubkey("Gone", &failed));  // a missing key is no failure
    }
    EXPECT_EQ(failed.nCount, 0) << failed.text;
    std::string key = std::string(kKey) + "\\A\\B";
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key), "default");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key, "text"), "value");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, key, "empty"), "");
    DWORD number = 0, size = sizeof number;
    CRegKey k;
    ASSERT_EQ(k.Open(HKEY_CURRENT_USER, key.c_str(), KEY_READ), ERROR_SUCCESS);
    EXPECT_EQ(RegQueryValueExA(k, "number", NULL, NULL, (BYTE*)&number, &size), ERROR_SUCCESS);
    EXPECT_EQ(number, 7u);
    CRegKey gone;
    EXPECT_EQ(gone.Open(k, "Gone", KEY_READ), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(gone.IsOpen());
    k.Close();
    DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
}

// A list that is only opened and does not exist skips its rows; a key that cannot be had below it
// names every one of its rows, in order, and is not created.
TEST(RowKey, GuardedRowsAndKeysThatCannotBeCreated)
{
    DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
    FailedRows failed;
    RowKey list, below;
    list.Open(HKEY_CURRENT_USER, kKey, KEY_SET_VALUE);
    EXPECT_FALSE(list.SetText("Pixmora", "x", &failed));
    EXPECT_EQ(failed.nCount, 0);

    below.Create(list, "Sub");
    EXPECT_FALSE(below.SetDefault("x", &failed));
    EXPECT_FALSE(below.SetText("Name", "x", &failed));
    EXPECT_FALSE(below.SetDword("Size", 1, &failed));
    EXPECT_EQ(std::string(failed.text),
              "HKEY_CURRENT_USER\\Software\\PixmoraTest\\Sub\n"
              "HKEY_CURRENT_USER\\Software\\PixmoraTest\\Sub (Name)\n"
              "HKEY_CURRENT_USER\\Software\\PixmoraTest\\Sub (Size)\n");
    EXPECT_EQ(ReadRegistryValue(HKEY_CURRENT_USER, kKey), "<no key>");
}
