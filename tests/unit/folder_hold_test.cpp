#include <gtest/gtest.h>
#include <string>
#include "fw/folder_hold.h"
#include "test_support.h"

// Each folder on the way is checked and stays where it is while held. (Links planted on the way
// are in the e2e tests: a program inside Wine cannot make one.)
TEST(CFolderHold, ChecksEveryLevelAndHoldsItInPlace)
{
    TempFolder t;
    CreateDirectoryA((t / "a").c_str(), NULL);
    CreateDirectoryA((t / "a\\b").c_str(), NULL);
    WriteFileBytes(t / "a\\file", "x");
    struct { std::string path; bool held; } cases[] = {
        {t / "a\\b", true},
        {t / "a\\b\\", true},
        {t / "a\\missing", false},
        {t / "a\\file", false},        // a file where a folder belongs
        {t / "a\\file\\b", false},
        {"relative\\a", false},
    };
    for (auto& c : cases) {
        CFolderHold hold;
        EXPECT_EQ(hold.Hold(c.path.c_str()), c.held) << c.path;
    }

    CFolderHold hold;
    ASSERT_TRUE(hold.Hold((t / "a\\b").c_str()));
    WriteFileBytes(t / "a\\b\\inside.lnk", "written inside");  // writing into it goes on
    EXPECT_EQ(ReadFileBytes(t / "a\\b\\inside.lnk"), "written inside");
    // Neither the folder nor one above it can be moved away (and something else put there). Wine
    // does not refuse to rename a folder that is open without delete sharing; Windows does.
    if (!UnderWine()) {
        EXPECT_FALSE(MoveFileA((t / "a\\b").c_str(), (t / "b-moved").c_str()));
        EXPECT_FALSE(MoveFileA((t / "a").c_str(), (t / "a-moved").c_str()));
    }
    hold.Release();
    EXPECT_TRUE(MoveFileA((t / "a").c_str(), (t / "a-moved").c_str()));
}

TEST(IsLinkedFile, ASecondNameCounts)
{
    TempFolder t;
    WriteFileBytes(t / "plain.lnk", "x");
    WriteFileBytes(t / "victim.ini", "y");
    ASSERT_TRUE(CreateHardLinkA((t / "planted.lnk").c_str(), (t / "victim.ini").c_str(), NULL));
    EXPECT_FALSE(IsLinkedFile((t / "plain.lnk").c_str()));
    EXPECT_FALSE(IsLinkedFile((t / "missing.lnk").c_str()));
    EXPECT_TRUE(IsLinkedFile((t / "planted.lnk").c_str()));
    EXPECT_TRUE(IsLinkedFile((t / "victim.ini").c_str()));
}
