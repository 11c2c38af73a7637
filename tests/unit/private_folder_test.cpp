#include <gtest/gtest.h>
#include <windows.h>
#include <sddl.h>
#include <string.h>
#include <string>
#include <vector>
#include "partner/private_folder.h"

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

}  // namespace

TEST(PrivateFolder, ANewFolderForTheUserAndTheAdministratorsOnly)
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

    // The descriptor that the folder and its file are made with: protected from what the
    // temporary folder hands down, full access for the user this runs as and the
    // administrators, nothing for anyone else. (Wine maps it onto the Unix mode bits and reads
    // back a descriptor of its own, so it is checked here as made; the e2e tests look at the
    // folder's mode.)
    ASSERT_NE(a.Security(), nullptr);
    PSECURITY_DESCRIPTOR sd = a.Security()->lpSecurityDescriptor;
    SECURITY_DESCRIPTOR_CONTROL control;
    DWORD revision;
    ASSERT_TRUE(GetSecurityDescriptorControl(sd, &control, &revision));
    EXPECT_TRUE(control & SE_DACL_PROTECTED);
    BOOL present, defaulted;
    PACL dacl = NULL;
    ASSERT_TRUE(GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted));
    ASSERT_TRUE(present && dacl);
    std::vector<std::string> sids;
    for (int i = 0; i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace;
        ASSERT_TRUE(GetAce(dacl, i, (void**)&ace));
        EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(ace->Mask & FILE_ALL_ACCESS, (DWORD)FILE_ALL_ACCESS);
        sids.push_back(SidText(&ace->SidStart));
    }
    BYTE user[512];
    DWORD size;
    HANDLE token;
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    ASSERT_TRUE(GetTokenInformation(token, TokenUser, user, sizeof user, &size));
    CloseHandle(token);
    EXPECT_EQ(sids, (std::vector<std::string>{SidText(((TOKEN_USER*)user)->User.Sid), "S-1-5-32-544"}));

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
