#include <gtest/gtest.h>
#include <string>
#include "controls/open_link.h"
#include "controls/web_link_static.h"
#include "fw/command_text.h"
#include "fw/shell_open.h"
#include "test_support.h"
#include "controls/color_static.h"

TEST(BuildLinkCommand, CutsAtThePlaceholderAndAppendsTheTarget)
{
    struct { const char* command; const char* out; } cases[] = {
        {"\"C:\\B\\browser.exe\" \"%1\"", "\"C:\\B\\browser.exe\"  http://x/y"},
        {"browser.exe -nohome %1 -x", "browser.exe -nohome  http://x/y"},
        {"browser.exe", "browser.exe http://x/y"},
        {"", " http://x/y"},
    };
    for (auto& c : cases) {
        char out[kLinkCommandSize];
        EXPECT_TRUE(BuildLinkCommand(c.command, "http://x/y", out, sizeof out)) << c.command;
        EXPECT_STREQ(out, c.out);
    }
    // A command and target that do not fit together are refused, not cut.
    char out[kLinkCommandSize];
    // "b.exe " + " " + target + terminator: 519 characters fit, 520 do not.
    std::string target(kLinkCommandSize - 1 - strlen("b.exe  ") + 1, 't');
    EXPECT_FALSE(BuildLinkCommand("b.exe \"%1\"", target.c_str(), out, sizeof out));
    EXPECT_STREQ(out, "");
    target.pop_back();
    EXPECT_TRUE(BuildLinkCommand("b.exe \"%1\"", target.c_str(), out, sizeof out));
    EXPECT_EQ(strlen(out), kLinkCommandSize - 1);
}

// The program of a registered command, and where its arguments start.
TEST(SplitCommandProgram, QuotedAndUnquoted)
{
    struct { const char* command; const char* program; const char* arguments; } cases[] = {
        {"\"C:\\Program Files\\B\\browser.exe\" -nohome  http://x/y", "C:\\Program Files\\B\\browser.exe", "-nohome  http://x/y"},
        {"C:\\Program Files\\B\\browser.exe http://x/y", "C:\\Program Files\\B\\browser.exe", "http://x/y"},
        {"C:\\B\\BROWSER.EXE\"http://x/y\"", "C:\\B\\BROWSER.EXE", "\"http://x/y\""},
        {"cmd.exe /c echo", "cmd.exe", "/c echo"},
        {"browser http://x", "browser", "http://x"},  // no ".exe": up to the first blank
        {"\"C:\\unclosed\\b.exe", "C:\\unclosed\\b.exe", ""},
        {"  ", nullptr, nullptr},
        {"\"\" x", nullptr, nullptr},
    };
    for (auto& c : cases) {
        char program[MAX_PATH];
        const char* arguments = SplitCommandProgram(c.command, program, sizeof program);
        if (!c.program) {
            EXPECT_EQ(arguments, nullptr) << c.command;
            EXPECT_STREQ(program, "");
            continue;
        }
        ASSERT_NE(arguments, nullptr) << c.command;
        EXPECT_STREQ(program, c.program);
        EXPECT_STREQ(arguments, c.arguments);
    }
    char small[8];
    EXPECT_EQ(SplitCommandProgram("C:\\longer\\b.exe x", small, sizeof small), nullptr);  // does not fit: none
}

// The ".htm" class's browser is used when the shell cannot open a target. The setup runs elevated
// (here as on Windows): the machine's class counts, not one that a program of the user put into
// the user's own classes, which the merged view would show first. The machine's command may name
// its program with a variable.
TEST(OpenLink, FallsBackToTheMachinesHtmlBrowser)
{
    ASSERT_TRUE(IsElevatedProcess());
    TempFolder t;
    std::string machine = t / "machine.txt", user = t / "user.txt";
    SetRegistryString(HKEY_LOCAL_MACHINE, "Software\\Classes\\.htm", NULL, std::string("pxtestpage") + '\0');
    SetRegistryString(HKEY_LOCAL_MACHINE, "Software\\Classes\\pxtestpage\\shell\\open\\command", NULL,
                      "%SystemRoot%\\system32\\cmd.exe /c echo>\"" + machine + "\" \"%1\"" + '\0', REG_EXPAND_SZ);
    SetRegistryString(HKEY_CURRENT_USER, "Software\\Classes\\.htm", NULL, std::string("pxplanted") + '\0');
    SetRegistryString(HKEY_CURRENT_USER, "Software\\Classes\\pxplanted\\shell\\open\\command", NULL,
                      "cmd.exe /c echo>\"" + user + "\" \"%1\"" + '\0');

    INT_PTR r = CWebLinkStatic::OpenLink("no-such-page-here", SW_HIDE);
    EXPECT_GT(r, 32);
    // (cmd makes the file before it writes to it, and is slow to start here)
    for (int i = 0; i < 600 && ReadFileBytes(machine).find('\n') == std::string::npos; ++i) Sleep(100);
    EXPECT_NE(ReadFileBytes(machine).find(" no-such-page-here"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(user), "<missing>");

    std::string longTarget(600, 'x');  // does not fit beside the command: not run
    DeleteFileA(machine.c_str());
    EXPECT_LE(CWebLinkStatic::OpenLink(longTarget.c_str(), SW_HIDE), 32);
    Sleep(500);
    EXPECT_EQ(ReadFileBytes(machine), "<missing>");
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, "Software\\Classes\\pxtestpage");
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Classes\\pxplanted");
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Classes\\.htm");
}

// Wine runs every program elevated, over a limited token as Windows does in administrator
// approval mode, but has no desktop shell whose process could be asked to start something: the
// route it supports is the one for systems without that shell, the setup starting it itself.
TEST(ShellOpenAsUser, WithoutADesktopShellStartedHere)
{
    const char* build = getenv("PIXMORA_BUILD");
    ASSERT_TRUE(build) << "PIXMORA_BUILD names the build folder with tools/cmdline_recorder.exe";
    TempFolder t;
    std::string recorder = t / "recorder.exe";
    ASSERT_TRUE(CopyFileA((std::string("Z:") + build + "\\tools\\cmdline_recorder.exe").c_str(), recorder.c_str(), FALSE));
    ASSERT_EQ(GetShellWindow(), (HWND)NULL);

    ShellOpenRoute route = kNotOpened;
    EXPECT_GT(ShellOpenAsUser(recorder.c_str(), "--page \"a b\"", SW_HIDE, &route), 32);
    EXPECT_EQ(route, kOpenedHere);
    std::string log = recorder + ".log";
    for (int i = 0; i < 600 && ReadFileBytes(log).find('\n') == std::string::npos; ++i) Sleep(100);
    EXPECT_NE(ReadFileBytes(log).find("--page \"a b\""), std::string::npos) << ReadFileBytes(log);
}

namespace {

// A parent window with one static of the given alignment, 200 by 20 pixels at (50, 10).
struct Host {
    HWND parent, label;
    explicit Host(DWORD align, const char* text = "Nutzungsbedingungen")
    {
        parent = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 100, NULL, NULL, NULL, NULL);
        label = CreateWindowA("STATIC", text, WS_CHILD | WS_VISIBLE | align, 50, 10, 200, 20, parent, NULL, NULL, NULL);
    }
    ~Host() { DestroyWindow(parent); }
    RECT Rect() const
    {
        RECT rc;
        GetWindowRect(label, &rc);
        MapWindowPoints(NULL, parent, (POINT*)&rc, 2);
        return rc;
    }
};

}  // namespace

TEST(WebLinkStatic, FitsToItsTextKeepingItsAlignment)
{
    struct { DWORD align; const char* name; } cases[] = {{SS_LEFT, "left"}, {SS_CENTER, "centre"}, {SS_RIGHT, "right"}};
    for (auto& c : cases) {
        Host h(c.align);
        CWebLinkStatic link;
        ASSERT_TRUE(link.SubclassWindow(h.label));
        RECT rc = h.Rect();
        int width = rc.right - rc.left;
        SCOPED_TRACE(c.name);
        EXPECT_GT(width, 20);
        EXPECT_LT(width, 200);
        if (c.align == SS_LEFT) EXPECT_EQ(rc.left, 50);
        if (c.align == SS_RIGHT) EXPECT_EQ(rc.right, 250);
        if (c.align == SS_CENTER) EXPECT_LE(abs((rc.left + rc.right) - 300), 1);
        EXPECT_EQ(rc.top, 10);
        EXPECT_STREQ(link.GetLinkTarget(), "Nutzungsbedingungen");  // no target set: the text is the target
        EXPECT_TRUE(GetWindowLongA(h.label, GWL_STYLE) & SS_NOTIFY);
        link.UnsubclassWindow();
    }
}

TEST(WebLinkStatic, TargetTextUnderlineAndColours)
{
    Host h(SS_LEFT, "");
    CWebLinkStatic link;
    link.SetLinkTarget("http://example.invalid/x");
    link.SubclassWindow(h.label);
    char text[100];
    GetWindowTextA(h.label, text, sizeof text);
    EXPECT_STREQ(text, "http://example.invalid/x");  // an empty static shows its target
    std::string longTarget = "http://example.invalid/" + std::string(700, 'p');
    link.SetLinkTarget(longTarget.c_str());
    EXPECT_EQ(link.GetLinkTarget(), longTarget);  // kept whole, never cut

    auto underlined = [&] {
        LOGFONTA lf = {};
        GetObjectA((HFONT)SendMessageA(h.label, WM_GETFONT, 0, 0), sizeof lf, &lf);
        return lf.lfUnderline != 0;
    };
    link.SetUnderlineMode(1);
    EXPECT_TRUE(underlined());
    SendMessageA(h.label, WM_MOUSEMOVE, 0, 0);
    EXPECT_TRUE(link.IsHovered());
    link.SetUnderlineMode(0);
    EXPECT_FALSE(underlined());
    link.SetUnderlineMode(-1);
    EXPECT_FALSE(underlined());

    // The parent reflects the colour question to the link.
    HDC dc = GetDC(h.label);
    SendMessageA(h.parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)h.label);  // no object on the parent: plain
    CWnd parent;
    parent.SubclassWindow(h.parent);
    LRESULT brush = SendMessageA(h.parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)h.label);
    EXPECT_EQ((HGDIOBJ)brush, GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));  // hovered
    link.MarkVisited(TRUE);
    SendMessageA(h.label, WM_TIMER, 100, 0);  // the pointer is elsewhere: hover ends
    EXPECT_FALSE(link.IsHovered());
    SendMessageA(h.parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)h.label);
    EXPECT_EQ(GetTextColor(dc), RGB(85, 26, 139));
    link.MarkVisited(FALSE);
    SendMessageA(h.parent, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)h.label);
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 238));
    ReleaseDC(h.label, dc);
    parent.UnsubclassWindow();
    link.UnsubclassWindow();
}

TEST(ColorStatic, BoldRedLabel)
{
    Host h(SS_LEFT, "Kostenlos!");
    CColorStatic label;
    label.SubclassWindow(h.label);
    label.SetBold(TRUE, FALSE);
    label.SetTextColor(RGB(255, 0, 0), TRUE);
    LOGFONTA lf = {};
    GetObjectA(label.GetLabelFont(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(label.GetTextColor(), RGB(255, 0, 0));
    label.SetBold(FALSE, FALSE);
    GetObjectA(label.GetLabelFont(), sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    label.UnsubclassWindow();
}

// A click goes through the parent to the link: an opened target marks it visited, a target that
// nothing can open (no handler, no ".htm" browser) turns it back.
TEST(WebLinkStatic, ClickOpensTheTargetAndAFailedClickUndoesVisited)
{
    TempFolder t;
    std::string marker = t / "opened.txt";
    SetRegistryString(HKEY_CLASSES_ROOT, "pxtestlink", "URL Protocol", std::string(1, '\0'));
    SetRegistryString(HKEY_CLASSES_ROOT, "pxtestlink\\shell\\open\\command", NULL,
                      "cmd.exe /c echo>\"" + marker + "\" \"%1\"" + '\0');
    DeleteRegistryTree(HKEY_CLASSES_ROOT, ".htm");

    Host h(SS_LEFT);
    CWebLinkStatic link;
    link.SetLinkTarget("pxtestlink:terms");
    link.SubclassWindow(h.label);
    CWnd parent;
    parent.SubclassWindow(h.parent);
    auto click = [&] { SendMessageA(h.parent, WM_COMMAND, MAKEWPARAM(0, STN_CLICKED), (LPARAM)h.label); };

    SendMessageA(h.label, WM_MOUSEMOVE, 0, 0);
    click();
    EXPECT_TRUE(link.IsVisited());
    EXPECT_FALSE(link.IsHovered());
    for (int i = 0; i < 100 && ReadFileBytes(marker).find("pxtestlink:terms") == std::string::npos; ++i) Sleep(100);
    EXPECT_NE(ReadFileBytes(marker).find("pxtestlink:terms"), std::string::npos) << ReadFileBytes(marker);

    link.SetLinkTarget("pxnosuch:terms");
    click();
    EXPECT_FALSE(link.IsVisited());

    parent.UnsubclassWindow();
    link.UnsubclassWindow();
    DeleteRegistryTree(HKEY_CLASSES_ROOT, "pxtestlink");
}

// The hand cursor comes from the system's help program, and only when it carries one.
TEST(WebLinkStatic, HandCursorOnlyFromTheHelpProgram)
{
    char helper[MAX_PATH];
    GetWindowsDirectoryA(helper, MAX_PATH);
    lstrcatA(helper, "\\winhlp32.exe");
    const char* build = getenv("PIXMORA_BUILD");
    ASSERT_TRUE(build) << "PIXMORA_BUILD names the build folder with tools/cursor_module.exe";
    std::string withCursor = std::string("Z:") + build + "\\tools\\cursor_module.exe";
    for (char& c : withCursor)
        if (c == '/') c = '\\';

    struct {
        const char* name;
        bool cursor;
    } cases[] = {{"Wine's help program, without the cursor", false}, {"a help program with cursor 106", true}};
    for (auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.cursor) {
            ASSERT_TRUE(CopyFileA(withCursor.c_str(), helper, FALSE));
            // Wine would otherwise load its own build of the help program instead of the file.
            SetRegistryString(HKEY_CURRENT_USER, "Software\\Wine\\DllOverrides", "winhlp32.exe",
                              std::string("native") + '\0');
        }
        Host h(SS_LEFT);
        CWebLinkStatic link;
        link.SubclassWindow(h.label);
        EXPECT_EQ(link.GetLinkCursor() != NULL, c.cursor);
        HCURSOR arrow = LoadCursor(NULL, IDC_ARROW);
        SetCursor(arrow);
        LRESULT handled = SendMessageA(h.label, WM_SETCURSOR, (WPARAM)h.label, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        EXPECT_EQ(handled != 0, c.cursor);
        EXPECT_EQ(GetCursor(), c.cursor ? link.GetLinkCursor() : arrow);
        link.UnsubclassWindow();
    }
}
