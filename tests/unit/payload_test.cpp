#include <gtest/gtest.h>
#include <string.h>
#include "install/payload.h"
#include "test_support.h"

TEST(CreateFolderPath, ExistingFolderComesBackWithOneBackslash)
{
    TempFolder t;
    const std::string forms[] = {t.path(), t.path() + "\\", t.path() + "   ", t.path() + "\\  "};
    for (const std::string& form : forms) {
        char buf[MAX_PATH];
        strcpy(buf, form.c_str());
        EXPECT_EQ(CreateFolderPath(buf), 1) << form;
        EXPECT_EQ(std::string(buf), t.path() + "\\") << form;
    }
}

TEST(CreateFolderPath, CreatesMissingLevelsAndKeepsTheCurrentDirectory)
{
    TempFolder t;
    char before[MAX_PATH], after[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    char buf[MAX_PATH];
    strcpy(buf, (t / "a\\b\\c").c_str());
    EXPECT_EQ(CreateFolderPath(buf), 1);
    EXPECT_EQ(std::string(buf), t / "a\\b\\c\\");
    EXPECT_TRUE(IsFolder(t / "a\\b\\c"));
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_STREQ(before, after);
}

TEST(CreateFolderPath, Failures)
{
    char buf[MAX_PATH] = "";
    EXPECT_EQ(CreateFolderPath(buf), 0);
    EXPECT_EQ(CreateFolderPath(nullptr), 0);

    strcpy(buf, "Q:\\Nowhere\\Pixmora");  // no such drive in the prefix
    EXPECT_EQ(CreateFolderPath(buf), 0);
    EXPECT_STREQ(buf, "Q:\\Nowhere\\Pixmora\\");
}

TEST(CreateFolderPath, PlainFilePassesButItsPayloadFails)
{
    TempFolder t;
    WriteFileBytes(t / "Pixmora", "not a folder");
    char buf[MAX_PATH];
    strcpy(buf, (t / "Pixmora").c_str());
    EXPECT_EQ(CreateFolderPath(buf), 1);
    EXPECT_EQ(WritePayload(buf), 0);
}

TEST(Payload, WritesAll23FilesInTheirFolders)
{
    TempFolder t;
    std::string root = t.path() + "\\";
    EXPECT_EQ(WritePayload(root.c_str()), kPayloadFileCount);
    const char* files[] = {"pxm32.exe", "Help\\pxm32d.chm", "pxm_languages.txt", "Toolbars\\Velder_16.png",
                           "Plugins\\Slideshow.exe", "Languages\\Deutsch.dll", "Html\\frame.html"};
    for (const char* f : files) EXPECT_GT(QueryFileLength((root + f).c_str()), 0) << f;
    EXPECT_FALSE(IsFolder(root + "pxm_about.txt"));
}

TEST(ExtractPayloadFile, OverwritesAndReportsMissingResources)
{
    TempFolder t;
    std::string target = t / "pxm32.exe";
    WriteFileBytes(target, std::string(200000, 'x'));  // longer than the resource
    ASSERT_EQ(ExtractPayloadFile(target.c_str(), 119, "EXE"), 1);
    std::string bytes = ReadFileBytes(target);
    EXPECT_EQ(bytes.substr(0, 2), "MZ");
    EXPECT_LT(bytes.size(), 200000u);

    EXPECT_EQ(ExtractPayloadFile((t / "none.dll").c_str(), 999, "DLL"), 0);
    EXPECT_EQ(GetFileAttributesA((t / "none.dll").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ExtractPayloadFile((t / "missing\\x.txt").c_str(), 120, "TXT"), 0);
}

TEST(QueryFileLength, Cases)
{
    TempFolder t;
    WriteFileBytes(t / "f", std::string(1234, 'a'));
    EXPECT_EQ(QueryFileLength((t / "f").c_str()), 1234);
    EXPECT_EQ(QueryFileLength((t / "none").c_str()), 0);
    EXPECT_EQ(QueryFileLength(""), 0);
    EXPECT_EQ(QueryFileLength(nullptr), 0);
}
