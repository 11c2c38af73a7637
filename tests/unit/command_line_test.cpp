#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "app/command_line.h"
#include "app/exit_code.h"
#include "app/switches.h"
#include "fw/winapp.h"
#include "install/install_log.h"
#include "test_support.h"

namespace {

InstallOptions Parse(const std::string& cmdLine)
{
    InstallOptions o;
    memset(&o, 0, sizeof o);
    strcpy(o.szFolder, "C:\\Proposed");
    ParseSwitches(cmdLine.c_str(), &o);
    return o;
}

int CountFlags(const InstallOptions& o)
{
    int n = 0;
    for (int f : o.formatFlags) n += f != 0;
    return n;
}

}  // namespace

TEST(ParseSwitches, Table)
{
    struct Case {
        const char* cmd;
        const char* folder;
        int group, desktop, thumbs, allUsers, assocAll, any, flags;
    } cases[] = {
        {"setup.exe /silent", "C:\\Proposed", 0, 0, 0, 0, 0, 0, 0},
        {"setup.exe /silent /folder=\"D:\\Bild Programme\" /desktop=1 /group=1", "D:\\Bild Programme", 1, 1, 0, 0, 0, 0, 0},
        {"setup.exe /silent /folder=D:\\a/b", "D:\\a", 0, 0, 0, 0, 0, 0, 0},
        {"setup.exe /silent /folder=  D:\\x  /thumbs=1", "  D:\\x", 0, 0, 1, 0, 0, 0, 0},
        {"setup.exe /silent /assoc=1", "C:\\Proposed", 0, 0, 0, 0, 0, 1, 52},
        {"setup.exe /silent /assoc=2", "C:\\Proposed", 0, 0, 0, 0, 0, 1, 67},
        {"setup.exe /silent /assoc=3", "C:\\Proposed", 0, 0, 0, 0, 0, 0, 0},
        {"setup.exe /silent /assoc=all", "C:\\Proposed", 0, 0, 0, 0, 0, 0, 0},
        {"setup.exe /silent /assocallusers", "C:\\Proposed", 0, 0, 0, 0, 1, 0, 0},
        {"setup.exe /silent /assocallusers /assoc=2", "C:\\Proposed", 0, 0, 0, 0, 1, 1, 67},
        {"setup.exe /silent /desktop=5 /allusers= -2x", "C:\\Proposed", 0, 5, 0, -2, 0, 0, 0},
        {"setup.exe /silent /DESKTOP=1 /Group=1", "C:\\Proposed", 0, 0, 0, 0, 0, 0, 0},
        {"setup.exe /silent/group=1/desktop=1", "C:\\Proposed", 1, 1, 0, 0, 0, 0, 0},
        {"setup.exe /silent /group=1 /group=0", "C:\\Proposed", 1, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        InstallOptions o = Parse(c.cmd);
        SCOPED_TRACE(c.cmd);
        EXPECT_STREQ(o.szFolder, c.folder);
        EXPECT_EQ(o.bStartMenuGroup, c.group);
        EXPECT_EQ(o.bDesktopShortcut, c.desktop);
        EXPECT_EQ(o.bThumbsShortcut, c.thumbs);
        EXPECT_EQ(o.bAllUsers, c.allUsers);
        EXPECT_EQ(o.bAssocAllUsers, c.assocAll);
        EXPECT_EQ(o.bAnyFormat, c.any);
        EXPECT_EQ(CountFlags(o), c.flags);
    }
}

TEST(ParseSwitches, AssocOneSelectsExactlyTheImageRows)
{
    InstallOptions o = Parse("x /silent /assoc=1");
    for (int i = 0; i < kFormatCount; ++i) EXPECT_EQ(o.formatFlags[i], i < 52 ? 1 : 0) << "row " << i;
}

TEST(ParseSwitches, OnlyTheFirst520CharactersAreSeen)
{
    std::string pad(520 - strlen("x /silent ") - 1, 'p');
    std::string line = "x /silent " + pad;  // 519 characters
    EXPECT_EQ(Parse(line + "/group=1").bStartMenuGroup, 0) << "switch starting at character 520";
    EXPECT_EQ(Parse(line.substr(0, 519 - 8) + "/group=1").bStartMenuGroup, 1) << "switch ending at 519";
}

// A folder or log value that the end of the 520 characters (or the 260 of a value) cuts off
// while the line goes on is not a folder or file anybody asked for.
TEST(ParseSwitches, FolderAndLogCutByTheWindow)
{
    struct Case {
        std::string value;  // after "/folder=" or "/log=", placed so that the window ends 2 characters into it
        std::string after;  // what follows the value
        const char* read;   // what is read of the value, nullptr: not checked
        bool whole;
    } cases[] = {
        {"C:\\abcdef", "", "C:", false},
        {"C:", "", "C:", true},                 // ends exactly with the line
        {"C:", "/group=1", "C:", true},         // a slash right after the window
        {"C:  ", "/group=1", "C:", true},       // only blanks cut off
        {"C:  x", "", "C:", false},
    };
    for (const char* name : {"/folder=", "/log="}) {
        std::string pad(520 - strlen(name) - 2, 'p');  // the value starts two characters before the end
        for (const Case& c : cases) {
            std::string line = pad + name + c.value + c.after;
            SCOPED_TRACE(name + c.value + c.after);
            InstallOptions o;
            memset(&o, 0, sizeof o);
            strcpy(o.szFolder, "C:\\Proposed");
            char log[MAX_PATH] = "stale";
            bool folderWhole = ParseSwitches(line.c_str(), &o);
            LogSwitch logSwitch = ParseLogSwitch(line.c_str(), log);
            if (!strcmp(name, "/folder=")) {
                EXPECT_EQ(folderWhole, c.whole);
                EXPECT_STREQ(o.szFolder, c.read);
                EXPECT_EQ(logSwitch, kNoLogSwitch);
            } else {
                EXPECT_TRUE(folderWhole);
                EXPECT_EQ(logSwitch, c.whole ? kLogSwitchWhole : kLogSwitchCut);
                EXPECT_STREQ(log, c.read);
            }
        }
    }
    // Longer than a value may be, and values that end well inside the window.
    struct { std::string line; bool folderWhole; LogSwitch log; } more[] = {
        {"/silent /folder=C:\\" + std::string(300, 'a'), false, kNoLogSwitch},
        {"/silent /log=C:\\" + std::string(300, 'a') + "\\x.log", true, kLogSwitchCut},
        {"/silent /folder=\"C:\\Bild Programme\" /log=C:\\x.log /desktop=1", true, kLogSwitchWhole},
        {"/silent", true, kNoLogSwitch},
    };
    for (auto& c : more) {
        SCOPED_TRACE(c.line.substr(0, 60));
        InstallOptions o;
        memset(&o, 0, sizeof o);
        char log[MAX_PATH];
        EXPECT_EQ(ParseSwitches(c.line.c_str(), &o), c.folderWhole);
        EXPECT_EQ(ParseLogSwitch(c.line.c_str(), log), c.log);
    }
}

// The window starts after the program name, as the process received it.
TEST(SkipProgramName, QuotedAndUnquoted)
{
    struct { const char* line; const char* args; } cases[] = {
        {"\"C:\\Program Files\\Setup Files\\pixmora_setup.exe\" /silent /group=1", "/silent /group=1"},
        {"\"C:\\x\\setup.exe\"/silent", "/silent"},
        {"C:\\x\\pixmora_setup.exe /silent", "/silent"},
        {"pixmora_setup.exe\t  /silent ", "/silent "},
        {"pixmora_setup.exe", ""},
        {"\"C:\\unterminated /silent", ""},
        {"", ""},
    };
    for (auto& c : cases) EXPECT_STREQ(SkipProgramName(c.line), c.args) << c.line;
}

TEST(ParseLogSwitch, ReadLikeTheFolder)
{
    std::string pad(520 - strlen("x /silent ") - 1, 'p');
    struct { std::string cmd; LogSwitch found; const char* path; } cases[] = {
        {"x /silent /log=\"C:\\Mit Blank\\s.log\" /folder=C:\\Px", kLogSwitchWhole, "C:\\Mit Blank\\s.log"},
        {"x /silent /folder=C:\\Px/log=C:\\a/b.log", kLogSwitchWhole, "C:\\a"},  // no blank needed; ends at a slash
        {"x /silent /log=", kLogSwitchWhole, ""},
        {"x /silent /LOG=C:\\s.log", kNoLogSwitch, ""},
        {"x /silent " + pad + "/log=C:\\s.log", kNoLogSwitch, ""},  // beyond the 520 characters
    };
    for (auto& c : cases) {
        char path[260] = "stale";
        EXPECT_EQ(ParseLogSwitch(c.cmd.c_str(), path), c.found) << c.cmd;
        EXPECT_STREQ(path, c.path) << c.cmd;
    }
}

TEST(RunCommandLine, RunningViewerIsLoggedWhereTheLogSwitchSays)
{
    TempFolder t;
    ScopedCurrentDirectory cd(t.path());
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "Pixmora";
    RegisterClassA(&wc);
    HWND viewer = CreateWindowA("Pixmora", "", WS_OVERLAPPED, 0, 0, 10, 10, NULL, NULL, wc.hInstance, NULL);
    ASSERT_TRUE(viewer != NULL);

    std::string log = t / "Neu\\viewer.log";
    int code = RunCommandLine(("x /silent /log=" + log).c_str());
    DestroyWindow(viewer);
    SetInstallLogPath("");  // later tests log to their current directory again

    EXPECT_EQ(code, kExitViewerRunning);
    EXPECT_NE(ReadFileBytes(log).find("Warnung: Pixmora l\xE4uft!"), std::string::npos) << ReadFileBytes(log);
    EXPECT_EQ(GetFileAttributesA((t / "Pixmora_Install.log").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(GetSwitchValue, StopsAtSlashEndAndLimit)
{
    char out[260];
    EXPECT_EQ(GetSwitchValue("/folder=C:\\x /desktop=1", out, 8, 260), 13);
    EXPECT_STREQ(out, "C:\\x ");
    GetSwitchValue("/folder=", out, 8, 260);
    EXPECT_STREQ(out, "");
    std::string longValue = "/folder=C:\\" + std::string(400, 'a');
    int stop = GetSwitchValue(longValue.c_str(), out, 8, 260);
    EXPECT_EQ(stop, 260);
    EXPECT_EQ(strlen(out), 252u);
    GetSwitchValue("/folder=C:\\abc", out, 8, 10);
    EXPECT_STREQ(out, "C:");
}

TEST(UnquotePath, Cases)
{
    struct { const char* in; const char* out; } cases[] = {
        {"\"D:\\Bild Programme\" ", "D:\\Bild Programme"},
        {"\"D:\\x", "D:\\x"},
        {"D:\\x\"", "D:\\x"},
        {"  \"D:\\x \"  ", "  \"D:\\x"},  // leading blanks stay, so the opening quote is not first
        {"\"\"", ""},
        {"\"", ""},
        {"", ""},
        {"   ", ""},
    };
    for (auto& c : cases) {
        char buf[260];
        strcpy(buf, c.in);
        UnquotePath(buf);
        EXPECT_STREQ(buf, c.out) << "input [" << c.in << "]";
    }
}
