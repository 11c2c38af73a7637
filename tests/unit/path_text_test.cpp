#include <gtest/gtest.h>
#include <string.h>
#include "install/path_text.h"

TEST(TrimBlanks, Cases)
{
    struct { const char* in; const char* out; } cases[] = {
        {"", ""},
        {"   ", ""},
        {"C:\\Px  ", "C:\\Px"},
        {"  C:\\Px", "C:\\Px"},
        {"  C:\\Bild Programme\\  ", "C:\\Bild Programme\\"},
        {"\tC:\\Px\t", "\tC:\\Px\t"},  // only the space character is a blank
    };
    for (auto& c : cases) {
        char buf[300];
        strcpy(buf, c.in);
        TrimBlanks(buf);
        EXPECT_STREQ(buf, c.out) << "input \"" << c.in << "\"";
    }
}

// What a destination may be, and how much of it names no folder that could be created.
TEST(IsRootedFolder, DrivesSharesAndRoots)
{
    struct { const char* path; bool rooted, drive; size_t root; } cases[] = {
        {"C:\\", true, true, 2},
        {"C:\\Pixmora", true, true, 2},
        {"d:\\a\\b", true, true, 2},
        {"C:Pixmora", false, false, 2},  // relative to drive C's current directory
        {"C:", false, false, 2},
        {"Programme", false, false, 2},
        {"", false, false, 2},
        {"\\\\server\\share", true, false, 14},
        {"\\\\server\\share\\Pixmora\\x", true, false, 14},
        {"\\\\server", false, false, 2},
        {"\\\\server\\", false, false, 2},
        {"\\\\\\share", false, false, 2},
        {"\\Pixmora", false, false, 2},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsRootedFolder(c.path), c.rooted);
        EXPECT_EQ(IsDriveFolder(c.path), c.drive);
        EXPECT_EQ(GetFolderRootLength(c.path), c.root);
    }
}
