#include <gtest/gtest.h>
#include <windows.h>
#include <aclapi.h>
#include <sddl.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "partner/private_folder.h"
#include "test_support.h"

namespace {

// Sets TMP and TEMP for the length of a test.
struct TempVariable {
    explicit TempVariable(const char* value)
    {
        GetEnvironmentVariableA("TMP", tmp, sizeof tmp);
        GetEnvironmentVariableA("TEMP", temp, sizeof temp);
        SetEnvironmentVariableA("TMP", value);
        SetEnvironmentVariableA("TEMP", value);
    }
    ~TempVariable()
    {
        SetEnvironmentVariableA("TMP", tmp);
        SetEnvironmentVariableA("TEMP", temp);
    }
    char tmp[MAX_PATH] = "", temp[MAX_PATH] = "";
};

std::string SidText(PSID sid)
{
    char* text = NULL;
    if (!ConvertSidToStringSidA(sid, &text)) return "?";
    std::string out = text;
    LocalFree(text);
    return out;
}

// Any right that lets its holder put a file into the folder or change what is there.
const DWORD kWriteRights = FILE_WRITE_DATA | FILE_APPEND_DATA | FILE_WRITE_EA | FILE_WRITE_ATTRIBUTES |
                           FILE_DELETE_CHILD | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE | GENERIC_ALL;

// The accounts that an allowing entry of `dacl` gives any write right, as SID texts.
std::vector<std::string> Writers(PACL dacl)
{
    std::vector<std::string> sids;
    for (int i = 0; dacl && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace;
        if (GetAce(dacl, i, (void**)&ace) && ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE &&
            (ace->Mask & kWriteRights))
            sids.push_back(SidText(&ace->SidStart));
    }
    return sids;
}

// The mandatory label of `sacl`: its level's SID text and its policy, or "" when there is none.
std::string Label(PACL sacl, DWORD* policy)
{
    for (int i = 0; sacl && i < sacl->AceCount; ++i) {
        SYSTEM_MANDATORY_LABEL_ACE* ace;
        if (GetAce(sacl, i, (void**)&ace) && ace->Header.AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE) {
            *policy = ace->Mask;
            return SidText(&ace->SidStart);
        }
    }
    return "";
}

std::string UserSid()
{
    BYTE user[512];
    DWORD size;
    HANDLE token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "?";
    BOOL got = GetTokenInformation(token, TokenUser, user, sizeof user, &size);
    CloseHandle(token);
    return got ? SidText(((TOKEN_USER*)user)->User.Sid) : "?";
}

}  // namespace

TEST(PrivateFolder, NewNamesEachTime)
{
    CreateDirectoryA("C:\\pftemp", NULL);
    TempVariable env("C:\\pftemp");
    CPrivateFolder a, b;
    ASSERT_TRUE(a.Create());
    ASSERT_TRUE(b.Create());
    std::string path = a.m_szPath;
    EXPECT_EQ(path.rfind("C:\\pftemp\\pxm", 0), 0u) << path;
    EXPECT_EQ(path.size(), strlen("C:\\pftemp\\pxm") + 16 + 1) << path;
    EXPECT_STRNE(a.m_szPath, b.m_szPath);

    std::string file = path + "gds_de.exe";
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, a.Security(), CREATE_NEW, 0, NULL);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);
    a.Remove("gds_de.exe");
    b.Remove("gds_de.exe");
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA(b.m_szPath), INVALID_FILE_ATTRIBUTES);
    RemoveDirectoryA("C:\\pftemp");
}

// The setup runs with administrator rights (here as on Windows): the folder that the partner
// installer starts from is closed to the user's ordinary programs, from the moment it exists.
TEST(PrivateFolder, WritableByTheAdministratorsAndTheSystemOnly)
{
    CreateDirectoryA("C:\\pftemp", NULL);
    TempVariable env("C:\\pftemp");
    CPrivateFolder f;
    ASSERT_TRUE(f.Create());

    // The descriptor it was created with, and the one read back from the folder.
    ASSERT_NE(f.Security(), nullptr);
    PSECURITY_DESCRIPTOR made = f.Security()->lpSecurityDescriptor;
    SECURITY_DESCRIPTOR_CONTROL control;
    DWORD revision;
    ASSERT_TRUE(GetSecurityDescriptorControl(made, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);  // nothing handed down from the temporary folder
    BOOL present, defaulted;
    PACL madeDacl = NULL, madeSacl = NULL;
    ASSERT_TRUE(GetSecurityDescriptorDacl(made, &present, &madeDacl, &defaulted));
    ASSERT_TRUE(present && madeDacl);
    GetSecurityDescriptorSacl(made, &present, &madeSacl, &defaulted);
    EXPECT_EQ(Writers(madeDacl), (std::vector<std::string>{"S-1-5-32-544", "S-1-5-18"}));

    HANDLE dir = CreateFileA(f.m_szPath, READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, NULL,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    ASSERT_NE(dir, INVALID_HANDLE_VALUE);
    PACL dacl = NULL, sacl = NULL;
    PSECURITY_DESCRIPTOR back = NULL;
    ASSERT_EQ(GetSecurityInfo(dir, SE_FILE_OBJECT, DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, NULL, NULL,
                              &dacl, &sacl, &back),
              (DWORD)ERROR_SUCCESS);
    CloseHandle(dir);

    struct { const char* who; std::string sid; } mustNotWrite[] = {
        {"the user's own account", UserSid()},
        {"Everyone", "S-1-1-0"},
        {"Authenticated Users", "S-1-5-11"},
        {"Users", "S-1-5-32-545"},
        {"Interactive", "S-1-5-4"},
    };
    for (auto& row : mustNotWrite) {
        std::vector<std::string> writers = Writers(madeDacl);
        EXPECT_EQ(std::count(writers.begin(), writers.end(), row.sid), 0) << row.who << " in the descriptor made";
        // Wine keeps no descriptor of a file: it reads one back from the Unix mode, where the owner
        // (the one Unix user that runs the prefix) always stands for the user's own account.
        if (UnderWine() && row.sid == UserSid()) continue;
        writers = Writers(dacl);
        EXPECT_EQ(std::count(writers.begin(), writers.end(), row.sid), 0) << row.who << " in the folder's";
    }

    // The high label, with no writing up.
    DWORD policy = 0;
    EXPECT_EQ(Label(madeSacl, &policy), "S-1-16-12288");
    EXPECT_EQ(policy, (DWORD)SYSTEM_MANDATORY_LABEL_NO_WRITE_UP);
    if (!UnderWine()) {  // (Wine keeps no label on files)
        policy = 0;
        EXPECT_EQ(Label(sacl, &policy), "S-1-16-12288");
        EXPECT_TRUE(policy & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP);
    }
    LocalFree(back);
    f.Remove("none");
    RemoveDirectoryA("C:\\pftemp");
}

TEST(PrivateFolder, NoFolderWithoutAnAbsoluteTemporaryFolder)
{
    // (TMP and TEMP) A relative text would put the download beside the current directory.
    for (const char* value : {"C:relative", "relative\\temp"}) {
        TempVariable env(value);
        char got[MAX_PATH] = "";
        GetTempPathA(sizeof got, got);
        CPrivateFolder f;
        EXPECT_FALSE(f.Create()) << value << " gave " << got << " and " << f.m_szPath;
    }
}
