#include <gtest/gtest.h>
#include <string.h>
#include <map>
#include <string>
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
    EXPECT_EQ(WritePayload(buf, nullptr), 0);
}

TEST(Payload, WritesAll23FilesInTheirFolders)
{
    TempFolder t;
    std::string root = t.path() + "\\";
    EXPECT_EQ(WritePayload(root.c_str(), nullptr), 1);
    const char* files[] = {"pxm32.exe", "Help\\pxm32d.chm", "pxm_languages.txt", "Toolbars\\Velder_16.png",
                           "Plugins\\Slideshow.exe", "Languages\\Deutsch.dll", "Html\\frame.html"};
    for (const char* f : files) EXPECT_GT(QueryFileLength((root + f).c_str()), 0) << f;
    EXPECT_FALSE(IsFolder(root + "pxm_about.txt"));
}

namespace {

// Every file below `dir` (relative names) with its bytes.
void ListFiles(const std::string& dir, const std::string& rel, std::map<std::string, std::string>* out)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE) return;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            ListFiles(dir + "\\" + name, rel + name + "\\", out);
        else
            (*out)[rel + name] = ReadFileBytes(dir + "\\" + name);
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

std::map<std::string, std::string> Snapshot(const std::string& dir)
{
    std::map<std::string, std::string> files;
    ListFiles(dir, "", &files);
    return files;
}

}  // namespace

// A payload that cannot be completed changes nothing: an upgrade keeps every previous file byte
// for byte, a fresh folder gets no payload file, and no temporary file stays behind.
TEST(Payload, AllOrNothing)
{
    struct Case {
        const char* name;
        bool upgrade;  // a complete earlier installation of other contents is there
        const char* held;       // a file held open without sharing (as the running viewer would)
        const char* plainFile;  // a plain file where a subfolder belongs
    } cases[] = {
        {"upgrade, first file in use", true, "pxm32.exe", NULL},
        {"upgrade, last plug-in in use", true, "Plugins\\Slideshow.exe", NULL},
        {"upgrade, last file in use", true, "Html\\frame.html", NULL},
        {"fresh, Html is a file", false, NULL, "Html"},
        {"fresh, Help is a file", false, NULL, "Help"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        std::string root = t.path() + "\\";
        if (c.upgrade) {
            ASSERT_EQ(WritePayload(root.c_str(), nullptr), 1);
            for (auto& f : Snapshot(t.path())) WriteFileBytes(root + f.first, "earlier version of " + f.first);
        }
        if (c.plainFile) WriteFileBytes(root + c.plainFile, "in the way");
        std::map<std::string, std::string> before = Snapshot(t.path());
        HANDLE held = INVALID_HANDLE_VALUE;
        if (c.held)
            held = CreateFileA((root + c.held).c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);

        EXPECT_EQ(WritePayload(root.c_str(), nullptr), 0);
        if (held != INVALID_HANDLE_VALUE) CloseHandle(held);
        EXPECT_EQ(Snapshot(t.path()), before);
    }
}

// A file that someone holds between placing and rollback (a virus scanner, the new viewer started
// meanwhile) cannot be put back: the rollback says so, names it and where its previous content
// is, and puts back everything else.
TEST(Payload, RollBackWithAFileHeldMeanwhile)
{
    struct Case {
        const char* name;
        bool upgrade;
        const char* held;
    } cases[] = {
        {"upgrade", true, "Plugins\\Video.dll"},
        {"fresh", false, "pxm32.exe"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        std::string root = t.path() + "\\";
        if (c.upgrade) {
            ASSERT_EQ(WritePayload(root.c_str(), nullptr), 1);
            for (auto& f : Snapshot(t.path())) WriteFileBytes(root + f.first, "earlier version of " + f.first);
        }
        std::map<std::string, std::string> before = Snapshot(t.path());

        CPayloadWrite write(root.c_str());
        ASSERT_TRUE(write.StageAll());
        ASSERT_TRUE(write.PlaceAll());
        std::string held = root + c.held;
        std::string placed = ReadFileBytes(held);
        HANDLE h = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
        ASSERT_NE(h, INVALID_HANDLE_VALUE);
        FailedRows notRestored;
        EXPECT_FALSE(write.RollBack(&notRestored));
        CloseHandle(h);

        // Named alone; its previous content kept under the temporary name that is named with it.
        ASSERT_EQ(notRestored.nCount, 1) << notRestored.text;
        std::string line = (const char*)notRestored.text;
        EXPECT_EQ(line.rfind(held, 0), 0u) << line;
        std::map<std::string, std::string> after = Snapshot(t.path());
        EXPECT_EQ(after[c.held], placed);
        if (c.upgrade) {
            size_t open = line.find(" (");
            ASSERT_NE(open, std::string::npos) << line;
            std::string previous = line.substr(open + 2, line.size() - open - 4);  // up to ")\n"
            EXPECT_EQ(ReadFileBytes(previous), before[c.held]) << previous;
            DeleteFileA(previous.c_str());
        } else {
            EXPECT_EQ(line, held + "\n");
        }
        DeleteFileA(held.c_str());
        after = Snapshot(t.path());
        before.erase(c.held);
        EXPECT_EQ(after, before);  // everything else as it was, no temporary file left
    }
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
