#include <gtest/gtest.h>
#include <regex>
#include "install/install_log.h"
#include "test_support.h"

static const std::string kSeparator = std::string(48, '-') + "\r\n";

TEST(WriteInstallLog, EntryFormatAppendAndLineEnds)
{
    TempFolder t;
    ScopedCurrentDirectory cd(t.path());
    WriteInstallLog("Ungültiges Zielverzeichnis!: ");
    WriteInstallLog("");
    WriteInstallLog("first\nsecond");
    std::string log = ReadFileBytes(t / "Pixmora_Install.log");

    char date[256];
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, NULL, NULL, date, sizeof date);
    std::string d = std::regex_replace(std::string(date), std::regex(R"([.^$|()\[\]{}*+?\\])"), R"(\$&)");
    std::string time = R"(\d\d:\d\d:\d\d)";
    std::regex expected(d + " - " + time + ": Ungültiges Zielverzeichnis!: \r\n" + kSeparator +
                        d + " - " + time + ": \r\n" + kSeparator +
                        d + " - " + time + ": first\r\nsecond\r\n" + kSeparator);
    EXPECT_TRUE(std::regex_match(log, expected)) << log;
}

TEST(WriteInstallLog, UnwritableDirectoryIsSkippedSilently)
{
    TempFolder t;
    CreateDirectoryA((t / "Pixmora_Install.log").c_str(), NULL);  // the name is taken by a folder
    ScopedCurrentDirectory cd(t.path());
    WriteInstallLog("lost");
    EXPECT_TRUE(IsFolder(t / "Pixmora_Install.log"));
}

// The log is appended to by a program with administrator rights, often in a folder that others
// may write to: a file with a second name there (a hard link to some other file) is not written
// through; the entry goes to the next place, the current directory, as for a log that cannot be
// opened.
TEST(WriteInstallLog, NeverWritesThroughAFileWithASecondName)
{
    struct Case {
        const char* name;
        bool chosenLinked;  // the chosen "/log=" file is a second name of the victim
        bool cwdLinked;     // Pixmora_Install.log in the current directory is one
        const char* landsIn;  // "chosen", "cwd" or nullptr: nowhere
    } cases[] = {
        {"plain chosen file", false, false, "chosen"},
        {"chosen file linked", true, false, "cwd"},
        {"both linked", true, true, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder t;
        CreateDirectoryA((t / "cwd").c_str(), NULL);
        ScopedCurrentDirectory cd(t / "cwd");
        std::string victim = t / "system.ini", chosen = t / "chosen.log", cwdLog = t / "cwd\\Pixmora_Install.log";
        WriteFileBytes(victim, "[boot]\r\n");
        if (c.chosenLinked) ASSERT_TRUE(CreateHardLinkA(chosen.c_str(), victim.c_str(), NULL));
        if (c.cwdLinked) ASSERT_TRUE(CreateHardLinkA(cwdLog.c_str(), victim.c_str(), NULL));
        SetInstallLogPath(chosen.c_str());
        WriteInstallLog("entry");
        SetInstallLogPath("");

        EXPECT_EQ(ReadFileBytes(victim), "[boot]\r\n");
        std::string inChosen = ReadFileBytes(chosen), inCwd = ReadFileBytes(cwdLog);
        bool landed = std::string(c.landsIn ? c.landsIn : "") == "chosen";
        EXPECT_EQ(inChosen.find(": entry\r\n") != std::string::npos, landed) << inChosen;
        landed = std::string(c.landsIn ? c.landsIn : "") == "cwd";
        EXPECT_EQ(inCwd.find(": entry\r\n") != std::string::npos, landed) << inCwd;
    }
}
