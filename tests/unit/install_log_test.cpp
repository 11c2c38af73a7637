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
