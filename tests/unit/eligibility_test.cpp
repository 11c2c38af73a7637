#include <gtest/gtest.h>
#include <string.h>
#include <functional>
#include <string>
#include "partner/eligibility.h"
#include "test_support.h"

namespace {

const char kServerKey[] = "CLSID\\{00EF2092-6AC5-47c0-BD25-CF2D5D657FEB}";
const char kBrowserCommandKey[] = "http\\shell\\open\\command";
const char kIEKey[] = "Software\\Microsoft\\Internet Explorer";
const char kIEMainKey[] = "Software\\Microsoft\\Internet Explorer\\Main";
const char kDesktopKey[] = "Software\\Google\\Google Desktop";
const char kIECommand[] = "\"C:\\Program Files\\Internet Explorer\\iexplore.exe\" -nohome";

std::string Sz(const std::string& text) { return text + '\0'; }

void DeleteValue(HKEY root, const char* key, const char* value)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, &k) != ERROR_SUCCESS) return;
    RegDeleteValueA(k, value);
    RegCloseKey(k);
}

void SetValue(HKEY root, const char* key, const char* value, DWORD type, const void* data, DWORD size)
{
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, key, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &k, NULL), ERROR_SUCCESS);
    // A byte other than NUL after the data: given a NUL there, the system would count it in
    // as the forgotten terminator of a text.
    std::string bytes((const char*)data, size);
    bytes += 'G';
    RegSetValueExA(k, value, 0, type, (const BYTE*)bytes.data(), size);
    RegCloseKey(k);
}

bool KeyExists(HKEY root, const char* key)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    RegCloseKey(k);
    return true;
}

bool ValueExists(HKEY root, const char* key, const char* value)
{
    HKEY k;
    if (RegOpenKeyExA(root, key, 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
    bool found = RegQueryValueExA(k, value, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(k);
    return found;
}

void SetIEVersion(const char* version)
{
    if (version)
        SetRegistryString(HKEY_LOCAL_MACHINE, kIEKey, "Version", Sz(version));
    else
        DeleteValue(HKEY_LOCAL_MACHINE, kIEKey, "Version");
}

// A volatile parent key: the system refuses to create a lasting key below it.
void MakeGoogleKeyVolatile()
{
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google");
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                              NULL, &k, NULL),
              ERROR_SUCCESS);
    RegCloseKey(k);
}

// A machine that qualifies for the toolbar.
void ToolbarMachine()
{
    DeleteRegistryTree(HKEY_CLASSES_ROOT, kServerKey);
    SetRegistryString(HKEY_CLASSES_ROOT, kBrowserCommandKey, NULL, Sz(kIECommand));
    SetIEVersion("6.0.2900.2180");
    SetRegistryString(HKEY_CURRENT_USER, kIEMainKey, "Enable Browser Extensions", Sz("yes"));
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google");
}

}  // namespace

TEST(IsIEVersionAtLeast, VersionTable)
{
    struct {
        const char* version;  // NULL: no value
        BOOL at55;
    } cases[] = {
        {"6.0.2900.2180", TRUE},   {"5.50.4807.2300", TRUE}, {"5.5", TRUE},
        {"5.00.3700.1000", FALSE}, {"4.72.3110.8", FALSE},   {"5", FALSE},  // no "." counts as 5.0
        {"", FALSE},               {NULL, FALSE},            {" 11.0.9600", TRUE},
        {"-6.0", FALSE},           {"5.x", FALSE},           {"99999999999.0", TRUE},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.version ? c.version : "<missing>");
        SetIEVersion(c.version);
        EXPECT_EQ(IsIEVersionAtLeast(5, 5), c.at55);
    }
    SetIEVersion("5.50.4134.0600");
    EXPECT_TRUE(IsIEVersionAtLeast(5, 50));
    EXPECT_FALSE(IsIEVersionAtLeast(5, 51));
    EXPECT_TRUE(IsIEVersionAtLeast(4, 99));
    EXPECT_FALSE(IsIEVersionAtLeast(6, 0));
}

TEST(TestRegistryWrite, LeavesTheRegistryAsFound)
{
    const char* key = "SOFTWARE\\Google\\NavClient";
    // Neither the key nor its parent exist: both are created for the test and removed again.
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google");
    EXPECT_TRUE(TestRegistryWrite(HKEY_LOCAL_MACHINE, key, "test", "test"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google"));

    // The parent exists: only the new key goes.
    SetRegistryString(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google\\Other", "keep", Sz("1"));
    EXPECT_TRUE(TestRegistryWrite(HKEY_LOCAL_MACHINE, key, "test", "test"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google\\Other", "keep"));

    // The key exists with values of its own: it stays, only the test value goes.
    SetRegistryString(HKEY_LOCAL_MACHINE, key, "installed", Sz("yes"));
    EXPECT_TRUE(TestRegistryWrite(HKEY_LOCAL_MACHINE, key, "test", "test"));
    EXPECT_TRUE(ValueExists(HKEY_LOCAL_MACHINE, key, "installed"));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, key, "test"));

    // A key that cannot be created: false, and nothing left behind.
    MakeGoogleKeyVolatile();
    EXPECT_FALSE(TestRegistryWrite(HKEY_LOCAL_MACHINE, key, "test", "test"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key));
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google");
}

TEST(ToolbarCompatibilityCheck, OneBitPerFailedTest)
{
    struct Case {
        const char* name;
        std::function<void()> change;
        DWORD reasons;
    } cases[] = {
        {"qualifies", [] {}, 0},
        {"toolbar installed",
         [] { SetRegistryString(HKEY_CLASSES_ROOT, "CLSID\\{00EF2092-6AC5-47c0-BD25-CF2D5D657FEB}\\InprocServer32", NULL,
                                Sz("C:\\Program Files\\Google\\GoogleToolbar1.dll")); },
         kToolbarInstalled},
        {"toolbar entry empty",
         [] { SetRegistryString(HKEY_CLASSES_ROOT, "CLSID\\{00EF2092-6AC5-47c0-BD25-CF2D5D657FEB}\\InprocServer32", NULL,
                                Sz("")); },
         0},
        {"no write access", MakeGoogleKeyVolatile, kToolbarNoWriteAccess},
        {"other browser",
         [] { SetRegistryString(HKEY_CLASSES_ROOT, kBrowserCommandKey, NULL, Sz("\"C:\\Firefox\\firefox.exe\" -url \"%1\"")); },
         kToolbarNotDefaultIE},
        {"no browser command", [] { DeleteRegistryTree(HKEY_CLASSES_ROOT, "http"); }, kToolbarNotDefaultIE},
        {"IEXPLORE in capitals",
         [] { SetRegistryString(HKEY_CLASSES_ROOT, kBrowserCommandKey, NULL, Sz("C:\\PROGRA~1\\INTERN~1\\IEXPLORE.EXE %1")); },
         0},
        {"extensions No", [] { SetRegistryString(HKEY_CURRENT_USER, kIEMainKey, "Enable Browser Extensions", Sz("No")); },
         kToolbarNoExtensions},
        {"extensions nO", [] { SetRegistryString(HKEY_CURRENT_USER, kIEMainKey, "Enable Browser Extensions", Sz("nO")); },
         kToolbarNoExtensions},
        {"extensions missing", [] { DeleteValue(HKEY_CURRENT_USER, kIEMainKey, "Enable Browser Extensions"); }, 0},
        {"IE 5.0", [] { SetIEVersion("5.00.3700.1000"); }, kToolbarOldIE},
        {"IE version missing", [] { SetIEVersion(NULL); }, kToolbarOldIE},
        {"everything against it",
         [] {
             SetRegistryString(HKEY_CLASSES_ROOT, "CLSID\\{00EF2092-6AC5-47c0-BD25-CF2D5D657FEB}\\InprocServer32", NULL,
                               Sz("tb.dll"));
             MakeGoogleKeyVolatile();
             SetRegistryString(HKEY_CLASSES_ROOT, kBrowserCommandKey, NULL, Sz("opera.exe %1"));
             SetRegistryString(HKEY_CURRENT_USER, kIEMainKey, "Enable Browser Extensions", Sz("NO"));
             SetIEVersion("4.72.3110.8");
         },
         0x1F},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        ToolbarMachine();
        c.change();
        DWORD reasons = 0xDEADBEEF;
        EXPECT_EQ(ToolbarCompatibilityCheck(&reasons), c.reasons == 0 ? 1 : 0);
        EXPECT_EQ(reasons, c.reasons);
        EXPECT_EQ(ToolbarCompatibilityCheck(NULL), c.reasons == 0 ? 1 : 0);
        // The write test left nothing behind.
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google\\NavClient"));
    }
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Google");
    DeleteRegistryTree(HKEY_CLASSES_ROOT, kServerKey);
}

// The system tests (version, administrator) pass in the test prefix; the versions are covered
// by the end-to-end test, which starts a process per Windows version.
TEST(GDSCompatibilityCheck, EarlierInstallation)
{
    const DWORD zero = 0, five = 5;
    const unsigned long long wide = 7;
    struct Case {
        const char* name;
        std::function<void()> set;
        DWORD reasons;
    } cases[] = {
        {"no key", [] {}, 0},
        {"no value", [] { SetRegistryString(HKEY_CURRENT_USER, kDesktopKey, "other", Sz("1")); }, 0},
        {"timestamp 0", [&] { SetValue(HKEY_CURRENT_USER, kDesktopKey, "timestamp", REG_DWORD, &zero, 4); }, 0},
        {"timestamp 5", [&] { SetValue(HKEY_CURRENT_USER, kDesktopKey, "timestamp", REG_DWORD, &five, 4); },
         kDesktopInstalled},
        {"timestamp as text", [] { SetValue(HKEY_CURRENT_USER, kDesktopKey, "timestamp", REG_SZ, "1", 2); },
         kDesktopInstalled},
        {"timestamp too wide to read", [&] { SetValue(HKEY_CURRENT_USER, kDesktopKey, "timestamp", REG_QWORD, &wide, 8); },
         0},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Google");
        c.set();
        DWORD reasons = 0xDEADBEEF;
        EXPECT_EQ(GDSCompatibilityCheck(&reasons), c.reasons == 0 ? 1 : 0);
        EXPECT_EQ(reasons, c.reasons);
        EXPECT_EQ(GDSCompatibilityCheck(NULL), c.reasons == 0 ? 1 : 0);
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Google");
    EXPECT_TRUE(IsAdministrator());  // Wine's user is an administrator
}
