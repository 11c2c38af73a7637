#include "format_page.h"
#include <commctrl.h>
#include "install/associations.h"
#include "install/install_options.h"

enum { kImageUnchecked = 1, kImageChecked = 2 };

void GetFormatColumnWidths(int listWidth, int* col0, int* col1)
{
    *col0 = listWidth / 3;
    *col1 = (2 * listWidth) / 3 - 25;  // room for the vertical scroll bar
}

void FillFormatList(HWND list)
{
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT rc;
    GetWindowRect(list, &rc);
    int widths[2];
    GetFormatColumnWidths(rc.right - rc.left, &widths[0], &widths[1]);

    char empty[1] = "";
    for (int column = 0; column < 2; ++column) {
        LVCOLUMNA col = {};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        col.fmt = LVCFMT_LEFT;
        col.pszText = empty;
        col.cx = widths[column];
        col.iSubItem = column;
        SendMessageA(list, LVM_INSERTCOLUMNA, column, (LPARAM)&col);
    }

    for (int row = 0; row < kFormatCount; ++row) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = (char*)FormatGroupRow(row)->label;
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        item.iSubItem = 1;
        item.pszText = (char*)FormatGroupRow(row)->description;
        SendMessageA(list, LVM_SETITEMTEXTA, row, (LPARAM)&item);
    }
}

static void SetRowChecked(HWND list, int row, bool checked)
{
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(checked ? kImageChecked : kImageUnchecked);
    SendMessageA(list, LVM_SETITEMSTATE, row, (LPARAM)&item);
}

void SelectFormatRows(HWND list, int button)
{
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    for (int row = 0; row < count; ++row)
        SetRowChecked(list, row, button == IDC_SELECT_ALL || (button == IDC_IMAGES_ONLY && row < kImageFormatCount));
}

void ReadFormatFlags(HWND list, int* formatFlags, int* bAnyFormat)
{
    for (int row = 0; row < kFormatCount; ++row) formatFlags[row] = 0;
    *bAnyFormat = 0;
    // The count is asked again for every row; a list never holds more rows than the table.
    for (int row = 0; row < (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) && row < kFormatCount; ++row) {
        UINT image = ((UINT)SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK)) >> 12;
        // Anything but the unticked image counts as ticked.
        if (image != kImageUnchecked) {
            formatFlags[row] = 1;
            *bAnyFormat = 1;
        }
    }
}

BOOL CFormatPage::OnSetActive()
{
    if (!m_hList) {
        m_hList = GetDlgItem(IDC_FORMAT_LIST);
        FillFormatList(m_hList);
    }
    return CWizPage::OnSetActive();
}

BOOL CFormatPage::OnClicked(int id)
{
    if (id != IDC_SELECT_ALL && id != IDC_SELECT_NONE && id != IDC_IMAGES_ONLY) return FALSE;
    SelectFormatRows(m_hList, id);
    return TRUE;
}

void CFormatPage::Store()
{
    InstallOptions& o = Model().options;
    ReadFormatFlags(m_hList, o.formatFlags, &o.bAnyFormat);
    o.bAssocAllUsers = IsDlgButtonChecked(IDC_ASSOC_ALL_USERS) == BST_CHECKED;
}
