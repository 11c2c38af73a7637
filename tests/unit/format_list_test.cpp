// The association list of the wizard on a list view of our own: columns, rows, the selection
// buttons and the read-out of the ticks into the format flags.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <set>
#include <string>
#include "install/associations.h"
#include "install/install_options.h"
#include "res/resource.h"
#include "wizard/format_page.h"

namespace {

enum { kImagesOnly = IDC_IMAGES_ONLY, kSelectAll = IDC_SELECT_ALL, kSelectNone = IDC_SELECT_NONE };

// A list view child of a message-only window (scripts/wine-run gives a prefix without a display
// the null graphics driver, so windows can be made there too).
class FormatList : public ::testing::Test {
protected:
    void SetUp() override
    {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&icc);
        m_parent = CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL, NULL, NULL);
        ASSERT_TRUE(m_parent);
        m_list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SINGLESEL, 0, 0, 570, 300,
                                 m_parent, NULL, NULL, NULL);
        ASSERT_TRUE(m_list) << "error " << GetLastError();
        FillFormatList(m_list);
    }
    void TearDown() override { DestroyWindow(m_parent); }

    std::string Ticks()
    {
        std::string out;
        int count = (int)SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0);
        for (int row = 0; row < count; ++row)
            out += ((SendMessageA(m_list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2) ? '1' : '0';
        return out;
    }
    void SetImage(int row, int image)
    {
        LVITEMA item = {};
        item.stateMask = LVIS_STATEIMAGEMASK;
        item.state = INDEXTOSTATEIMAGEMASK(image);
        SendMessageA(m_list, LVM_SETITEMSTATE, row, (LPARAM)&item);
    }
    std::string Text(int row, int column)
    {
        char buf[128] = "";
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = buf;
        item.cchTextMax = sizeof buf;
        SendMessageA(m_list, LVM_GETITEMTEXTA, row, (LPARAM)&item);
        return buf;
    }

    HWND m_parent = NULL;
    HWND m_list = NULL;
};

TEST(FormatColumns, FollowTheListWidth)
{
    struct { int width, col0, col1; } cases[] = {
        {570, 190, 355}, {571, 190, 355}, {572, 190, 356}, {300, 100, 175}, {0, 0, -25},
    };
    for (auto& c : cases) {
        int col0 = -1, col1 = -1;
        GetFormatColumnWidths(c.width, &col0, &col1);
        EXPECT_EQ(col0, c.col0) << "width " << c.width;
        EXPECT_EQ(col1, c.col1) << "width " << c.width;
    }
}

TEST_F(FormatList, HasTwoColumnsSizedFromThe570PixelListAndTheRowsInTableOrder)
{
    EXPECT_EQ(SendMessageA(m_list, LVM_GETCOLUMNWIDTH, 0, 0), 190);
    EXPECT_EQ(SendMessageA(m_list, LVM_GETCOLUMNWIDTH, 1, 0), 355);
    DWORD ex = (DWORD)SendMessageA(m_list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_EQ(ex, (DWORD)(LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT));
    ASSERT_EQ(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0), kFormatCount);
    std::set<std::string> groups;
    for (int row = 0; row < kFormatCount; ++row) {
        EXPECT_EQ(Text(row, 0), FormatGroupRow(row)->label) << "row " << row;
        EXPECT_EQ(Text(row, 1), FormatGroupRow(row)->description) << "row " << row;
        groups.insert(Text(row, 0));
    }
    EXPECT_EQ(groups.size(), (size_t)kFormatCount);
    struct { int row; const char* ext; const char* description; } spots[] = {
        {0, "ANI", "Animated Windows Cursors"},
        {23, "JPG/JPEG/JPE", "JPEG Format"},
        {51, "XPM", "X-Pixmap *"},
        {52, "TTF", "True Type Font Format *"},
        {66, "WMA", "Windows Media Audio File *"},
    };
    for (auto& s : spots) {
        EXPECT_EQ(Text(s.row, 0), s.ext) << "row " << s.row;
        EXPECT_EQ(Text(s.row, 1), s.description) << "row " << s.row;
    }
    EXPECT_EQ(Ticks(), std::string(kFormatCount, '0'));
}

TEST_F(FormatList, SelectionButtonsTickTheirRows)
{
    const std::string images = std::string(52, '1') + std::string(15, '0');
    SelectFormatRows(m_list, kSelectAll);
    EXPECT_EQ(Ticks(), std::string(kFormatCount, '1'));
    SelectFormatRows(m_list, kImagesOnly);  // after "Alle markieren": exactly the image rows
    EXPECT_EQ(Ticks(), images);
    SelectFormatRows(m_list, kSelectNone);
    EXPECT_EQ(Ticks(), std::string(kFormatCount, '0'));
    SelectFormatRows(m_list, kImagesOnly);
    EXPECT_EQ(Ticks(), images);
}

TEST_F(FormatList, ReadOutTurnsStateImagesIntoFormatFlags)
{
    int flags[kFormatCount];
    int any = -1;
    for (int& f : flags) f = 7;
    ReadFormatFlags(m_list, flags, &any);
    EXPECT_EQ(any, 0);
    for (int row = 0; row < kFormatCount; ++row) EXPECT_EQ(flags[row], 0) << "row " << row;

    SetImage(23, 2);  // only "JPG/JPEG/JPE"
    ReadFormatFlags(m_list, flags, &any);
    EXPECT_EQ(any, 1);
    for (int row = 0; row < kFormatCount; ++row) EXPECT_EQ(flags[row], row == 23) << "row " << row;

    // Only the unticked image (1) means "no": no image at all or an unknown one count as ticked.
    SetImage(23, 1);
    SetImage(0, 0);
    SetImage(66, 3);
    ReadFormatFlags(m_list, flags, &any);
    EXPECT_EQ(any, 1);
    for (int row = 0; row < kFormatCount; ++row) EXPECT_EQ(flags[row], row == 0 || row == 66) << "row " << row;
}

}  // namespace
