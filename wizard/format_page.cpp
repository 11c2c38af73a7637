// Page 2: the file types to associate, one list row per format group.
#include <windows.h>
#include <commctrl.h>
#include "install/install_options.h"
#include "wiz_page.h"
#include "wiz_sheet.h"

struct FormatRow {
    const char* extensions;
    const char* description;  // " *": read through a plug-in
};

// Row numbers are the format rows of the installation options; rows 0..51 are images.
static const FormatRow kFormats[kFormatCount] = {
    {"ANI", "Animated Windows Cursors"},
    {"B3D", "BodyPaint 3D Format *"},
    {"BMP/DIB", "Windows Bitmap"},
    {"CAM", "Casio Camera Format (JPG only) *"},
    {"CLP", "Windows Clipboard"},
    {"CRW/CR2", "Canon RAW Format *"},
    {"CUR", "Windows Cursor"},
    {"DCM", "DICOM/ACR Format *"},
    {"DCX", "Multipage Zsoft Paintbrush"},
    {"DDS", "Direct Draw Surface *"},
    {"DJVU/IW44", "DjVu Format *"},
    {"ECW", "Enhanced Compressed Wavelet *"},
    {"EMF", "Enhanced Windows Metafile"},
    {"EPS", "Encapsulated PostScript (TIF only)"},
    {"FPX", "FlashPix Format *"},
    {"FSH", "EA Sports FSH Format *"},
    {"G3", "G3 FAX Format *"},
    {"GIF", "Compuserve GIF"},
    {"ICL", "Windows Icon Library"},
    {"ICO", "Windows Icon"},
    {"IFF", "Amiga Interchange File Format"},
    {"IMG", "GEM Raster Format *"},
    {"JP2/JPC/J2K", "JPEG2000 Format *"},
    {"JPG/JPEG/JPE", "JPEG Format"},
    {"JPM", "JPM Format *"},
    {"KDC", "Kodak Digital Camera Format *"},
    {"LDF", "LuraDocument Format *"},
    {"LWF", "LuraWave Format *"},
    {"MNG/JNG", "Multiple Network Graphics *"},
    {"NLM/NOL/NGG/GSM", "Nokia LogoManager Format *"},
    {"PBM", "Portable Bitmap"},
    {"PCD", "Kodak Photo CD"},
    {"PCX", "Zsoft Paintbrush"},
    {"PGM", "Portable Greymap"},
    {"PNG", "Portable Network Graphics"},
    {"PPM", "Portable Pixelmap"},
    {"PSD", "Adobe Photoshop Image"},
    {"PSP", "Paint Shop Pro Image *"},
    {"RAS", "Sun Raster Format"},
    {"RAW", "RAW Image Data *"},
    {"RLE", "Utah RLE Format *"},
    {"SFF", "Structured Fax Format *"},
    {"SFW", "Seattle Film Works Format *"},
    {"SGI", "Silicon Graphics Image *"},
    {"SID", "LizardTech MrSID Format *"},
    {"SWF", "Macromedia Flash Format *"},
    {"TGA", "Truevision Targa"},
    {"TIF/TIFF", "Tagged Image File Format"},
    {"WMBP", "WAP Bitmap *"},
    {"WMF", "Windows Metafile"},
    {"XBM", "X-Bitmap *"},
    {"XPM", "X-Pixmap *"},
    {"TTF", "True Type Font Format *"},
    {"ASF", "Advanced Systems Format *"},
    {"AVI", "Video for Windows *"},
    {"MPG/MPE/MPEG", "MPEG Movie *"},
    {"MOV", "Apple QuickTime Movie *"},
    {"WMV", "Windows Media Video File *"},
    {"AIF", "Audio Interchange Format *"},
    {"MID/RMI", "MIDI Sound Format *"},
    {"MED", "MED/OctaMED Audio Format *"},
    {"MP3", "MPEG Audio Format *"},
    {"OGG", "Ogg Vorbis Audio Format *"},
    {"RA", "Real Audio Format *"},
    {"AU/SND", "SUN Audio Format *"},
    {"WAV", "Windows Audio Format *"},
    {"WMA", "Windows Media Audio File *"},
};

enum { kList = 1579, kAllUsers = 1037, kSelectAll = 1080, kSelectNone = 1081, kImagesOnly = 1091 };
enum { kImageUnchecked = 1, kImageChecked = 2 };

const char* GetFormatExtensions(int row) { return kFormats[row].extensions; }
const char* GetFormatDescription(int row) { return kFormats[row].description; }

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
        item.pszText = (char*)kFormats[row].extensions;
        SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        item.iSubItem = 1;
        item.pszText = (char*)kFormats[row].description;
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
        SetRowChecked(list, row, button == kSelectAll || (button == kImagesOnly && row < kImageFormatCount));
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

void OnActivateFormatPage(CWizPropertyPage* page)
{
    CWizPropertySheet* sheet = page->m_pSheet;
    if (sheet->m_hFormatList) return;  // built once; later visits keep the ticks
    sheet->m_hFormatList = page->GetDlgItem(kList);
    FillFormatList(sheet->m_hFormatList);
}

bool OnFormatPageCommand(CWizPropertyPage* page, int id)
{
    if (page->m_nIDTemplate != 104 || (id != kSelectAll && id != kSelectNone && id != kImagesOnly)) return false;
    SelectFormatRows(page->m_pSheet->m_hFormatList, id);
    return true;
}

void ReadFormatChoices(CWizPropertySheet* sheet, InstallOptions* o)
{
    ReadFormatFlags(sheet->m_hFormatList, o->formatFlags, &o->bAnyFormat);
    o->bAssocAllUsers = sheet->IsPageButtonChecked(2, kAllUsers);
}
