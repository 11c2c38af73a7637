// The links and the colour label for a user without a mouse, with a screen reader or with a
// high-contrast scheme.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>
#include <set>
#include <string>
#include "controls/accessible.h"
#include "controls/color_static.h"
#include "controls/web_link_static.h"
#include "fw/high_contrast.h"
#include "test_support.h"

// The system here cannot switch a high-contrast scheme on: the tests say whether one is on.
static BOOL g_highContrast = FALSE;
BOOL HighContrastOn() { return g_highContrast; }

namespace {

const IID kIAccessible = {0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// A page with a group box holding an entry field, and a link below it.
struct Page {
    HWND page, group, field, link;
    Page()
    {
        page = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 400, 200, NULL, NULL, NULL, NULL);
        group = CreateWindowA("BUTTON", "Ziel&verzeichnis:", WS_CHILD | WS_VISIBLE | BS_GROUPBOX, 10, 10, 300, 60, page, NULL, NULL, NULL);
        field = CreateWindowA("EDIT", "C:\\Px", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 20, 30, 200, 20, page, NULL, NULL, NULL);
        link = CreateWindowA("STATIC", "Nutzungsbedingungen", WS_CHILD | WS_VISIBLE, 20, 100, 200, 20, page, (HMENU)7, NULL, NULL);
    }
    ~Page() { DestroyWindow(page); }
};

struct Answers {
    long role = -1, state = -1;
    std::wstring name, action;
    IAccessible* object = nullptr;
    explicit Answers(HWND window)
    {
        if (FAILED(AccessibleObjectFromWindow(window, OBJID_CLIENT, kIAccessible, (void**)&object)) || !object) return;
        VARIANT self, v;
        self.vt = VT_I4;
        self.lVal = CHILDID_SELF;
        VariantInit(&v);
        if (SUCCEEDED(object->get_accRole(self, &v)) && v.vt == VT_I4) role = v.lVal;
        VariantInit(&v);
        if (SUCCEEDED(object->get_accState(self, &v)) && v.vt == VT_I4) state = v.lVal;
        BSTR text = nullptr;
        if (SUCCEEDED(object->get_accName(self, &text)) && text) name = text;
        SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(object->get_accDefaultAction(self, &text)) && text) action = text;
        SysFreeString(text);
    }
    ~Answers()
    {
        if (object) object->Release();
    }
};

void PumpMessages()
{
    MSG msg;
    while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// A link to a protocol of our own whose command writes what it was given into a file.
struct RecordingTarget {
    TempFolder t;
    std::string marker = t / "opened.txt";
    RecordingTarget()
    {
        SetRegistryString(HKEY_CLASSES_ROOT, "pxtestlink", "URL Protocol", std::string(1, '\0'));
        SetRegistryString(HKEY_CLASSES_ROOT, "pxtestlink\\shell\\open\\command", NULL,
                          "cmd.exe /c echo>\"" + marker + "\" \"%1\"" + '\0');
    }
    ~RecordingTarget() { DeleteRegistryTree(HKEY_CLASSES_ROOT, "pxtestlink"); }
    bool Opened(const char* target)
    {
        for (int i = 0; i < 300 && ReadFileBytes(marker).find(target) == std::string::npos; ++i) Sleep(100);
        bool found = ReadFileBytes(marker).find(target) != std::string::npos;
        DeleteFileA(marker.c_str());
        return found;
    }
};

// The colours drawn into a picture of the window (WM_PRINTCLIENT), as a set.
std::set<COLORREF> DrawnColours(HWND window)
{
    RECT rc;
    GetClientRect(window, &rc);
    HDC screen = GetDC(NULL);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rc.right, rc.bottom);
    HGDIOBJ old = SelectObject(dc, bitmap);
    SendMessageA(window, WM_ERASEBKGND, (WPARAM)dc, 0);
    SendMessageA(window, WM_PRINTCLIENT, (WPARAM)dc, PRF_CLIENT);
    std::set<COLORREF> colours;
    for (int y = 0; y < rc.bottom; ++y)
        for (int x = 0; x < rc.right; ++x) colours.insert(GetPixel(dc, x, y));
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(NULL, screen);
    return colours;
}

}  // namespace

// Tab reaches the link; Enter and Space open it like a click, and so does a screen reader's
// default action, each once per key press and not again while the key repeats.
TEST(LinkKeyboard, TabStopEnterSpaceAndTheDefaultAction)
{
    RecordingTarget target;
    Page p;
    CWebLinkStatic link;
    link.SetLinkTarget("pxtestlink:terms");
    link.SubclassWindow(p.link);
    EXPECT_TRUE(GetWindowLongA(p.link, GWL_STYLE) & WS_TABSTOP);
    EXPECT_EQ(GetNextDlgTabItem(p.page, p.field, FALSE), p.link);

    MSG enter = {p.link, WM_KEYDOWN, VK_RETURN, 1};
    EXPECT_TRUE(SendMessageA(p.link, WM_GETDLGCODE, VK_RETURN, (LPARAM)&enter) & DLGC_WANTMESSAGE)
        << "the dialog would take Enter for its default button";
    MSG tab = {p.link, WM_KEYDOWN, VK_TAB, 1};
    EXPECT_FALSE(SendMessageA(p.link, WM_GETDLGCODE, VK_TAB, (LPARAM)&tab) & DLGC_WANTMESSAGE);

    struct { const char* way; UINT msg; WPARAM wp; LPARAM lp; bool opens; } cases[] = {
        {"Enter", WM_KEYDOWN, VK_RETURN, 1, true},
        {"Space", WM_KEYDOWN, VK_SPACE, 1, true},
        {"Enter held (repeat)", WM_KEYDOWN, VK_RETURN, 0x40000001, false},
        {"default action", kLinkOpenMessage, 0, 0, true},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(c.way);
        link.MarkVisited(FALSE);
        SendMessageA(p.link, c.msg, c.wp, c.lp);
        EXPECT_EQ(link.IsVisited() != FALSE, c.opens);
        if (c.opens) EXPECT_TRUE(target.Opened("pxtestlink:terms"));
    }
    link.UnsubclassWindow();
}

// What a screen reader hears: the link is a focusable link named by its text whose default action
// opens it; the entry field is named by its group box; the rest is the system's standard answer.
TEST(Accessibility, LinkAndGroupNamedField)
{
    RecordingTarget target;
    Page p;
    CWebLinkStatic link;
    link.SetLinkTarget("pxtestlink:privacy");
    link.SubclassWindow(p.link);
    CGroupNamedField field;
    field.SubclassWindow(p.field);

    Answers a(p.link);
    ASSERT_NE(a.object, nullptr);
    EXPECT_EQ(a.role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(a.name, L"Nutzungsbedingungen");
    EXPECT_EQ(a.action, L"\u00d6ffnen");
    EXPECT_EQ(a.state & (STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE), STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE);
    LONG x = 0, y = 0, w = 0, h = 0;
    VARIANT self;
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    EXPECT_EQ(a.object->accLocation(&x, &y, &w, &h, self), S_OK);  // the standard answers stay
    EXPECT_GT(w, 0);
    EXPECT_EQ(a.object->accDoDefaultAction(self), S_OK);
    PumpMessages();
    EXPECT_TRUE(target.Opened("pxtestlink:privacy"));

    Answers f(p.field);
    EXPECT_EQ(f.name, L"Zielverzeichnis:");
    Answers g(p.group);  // not ours: the system's answer
    EXPECT_NE(g.role, ROLE_SYSTEM_LINK);

    // The download's progress: a progress bar whose value is the share done.
    INITCOMMONCONTROLSEX classes = {sizeof classes, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&classes);
    HWND bar = CreateWindowA(PROGRESS_CLASSA, "", WS_CHILD | WS_VISIBLE, 20, 160, 200, 10, p.page, NULL, NULL, NULL);
    CAccessibleProgress progress;
    progress.SubclassWindow(bar);
    progress.SetRange32(0, 71680);
    progress.SetPos(17920);
    Answers b(bar);
    EXPECT_EQ(b.role, ROLE_SYSTEM_PROGRESSBAR);
    BSTR value = nullptr;
    EXPECT_EQ(b.object->get_accValue(self, &value), S_OK);
    EXPECT_STREQ(value, L"25 %");
    SysFreeString(value);
    progress.UnsubclassWindow();

    // A field outside any group box keeps the standard name.
    MoveWindow(p.field, 20, 150, 100, 20, FALSE);
    Answers outside(p.field);
    EXPECT_NE(outside.name, L"Zielverzeichnis:");
    field.UnsubclassWindow();
    link.UnsubclassWindow();
}

// With a high-contrast scheme on, the link draws in the scheme's link colour whatever its state,
// and the colour label in the scheme's text and background colours; off, their own colours.
TEST(HighContrast, LinkAndLabelDrawInTheSchemesColours)
{
    Page p;
    CWebLinkStatic link;
    link.SubclassWindow(p.link);
    CWnd parent;
    parent.SubclassWindow(p.page);
    HWND labelWindow = CreateWindowA("STATIC", "Kostenlos!", WS_CHILD | WS_VISIBLE, 20, 130, 100, 20, p.page, NULL, NULL, NULL);
    CColorStatic label;
    label.SubclassWindow(labelWindow);
    label.SetTextColor(RGB(255, 0, 0), FALSE);
    HDC dc = GetDC(p.link);
    auto linkColour = [&] {
        SendMessageA(p.page, WM_CTLCOLORSTATIC, (WPARAM)dc, (LPARAM)p.link);
        return GetTextColor(dc);
    };

    struct { BOOL contrast; BOOL hovered; BOOL visited; COLORREF link; } cases[] = {
        {FALSE, FALSE, FALSE, RGB(0, 0, 238)},
        {FALSE, FALSE, TRUE, RGB(85, 26, 139)},
        {TRUE, FALSE, FALSE, GetSysColor(COLOR_HOTLIGHT)},
        {TRUE, FALSE, TRUE, GetSysColor(COLOR_HOTLIGHT)},
        {TRUE, TRUE, FALSE, GetSysColor(COLOR_HOTLIGHT)},
    };
    for (auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "contrast " << c.contrast << " hovered " << c.hovered << " visited " << c.visited);
        g_highContrast = c.contrast;
        link.MarkVisited(c.visited);
        if (c.hovered) SendMessageA(p.link, WM_MOUSEMOVE, 0, 0);
        EXPECT_EQ(linkColour(), c.link);
        SendMessageA(p.link, WM_TIMER, 100, 0);  // the pointer is elsewhere: hover ends

        std::set<COLORREF> drawn = DrawnColours(labelWindow);
        if (c.contrast) {
            std::set<COLORREF> scheme = {GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
            for (COLORREF colour : drawn) EXPECT_TRUE(scheme.count(colour)) << std::hex << colour;
            EXPECT_TRUE(drawn.count(GetSysColor(COLOR_BTNTEXT))) << "no text drawn";
        } else {
            EXPECT_TRUE(drawn.count(RGB(255, 0, 0))) << "the label's own red is not drawn";
        }
    }
    g_highContrast = FALSE;
    ReleaseDC(p.link, dc);
    label.UnsubclassWindow();
    parent.UnsubclassWindow();
    link.UnsubclassWindow();
}
