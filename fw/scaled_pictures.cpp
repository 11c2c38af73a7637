#include "scaled_pictures.h"
#include <stdlib.h>
#include "packed_resource.h"

namespace {

struct PictureItem {
    int index;       // position among the template's controls, from 0
    WORD picture;    // bitmap id
    short x, y, cx, cy;
};

// A control's data in an extended dialog template; the template's strings and ordinals take a
// variable length, hence the walk.
const WORD* SkipText(const WORD* p)
{
    if (*p == 0xFFFF) return p + 2;  // an ordinal
    while (*p++) {}
    return p;
}

// The class of a template's control: the static's ordinal, or its name (which resource compilers
// may also write out).
bool IsStaticClass(const WORD* p)
{
    if (p[0] == 0xFFFF) return p[1] == 0x0082;
    static const char kName[] = "static";
    for (int i = 0; i < 7; ++i)
        if ((p[i] | (p[i] >= 'A' && p[i] <= 'Z' ? 0x20 : 0)) != (WORD)kName[i]) return false;
    return true;
}

const WORD* AlignDword(const WORD* p)
{
    return (const WORD*)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3);
}

// Calls `found` for every bitmap static of the template, in template order; false when the
// template is not an extended one.
template <class F>
bool ForEachPicture(UINT templateId, F found)
{
    HMODULE module = ::GetModuleHandleA(NULL);
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(templateId), (LPCSTR)RT_DIALOG);
    const WORD* p = res ? (const WORD*)::LockResource(::LoadResource(module, res)) : NULL;
    if (!p || p[0] != 1 || p[1] != 0xFFFF) return false;
    DWORD style = *(const DWORD*)(p + 6);
    int count = p[8];
    p += 13;  // version, signature, help id, extended style, style, count, x, y, cx, cy
    p = SkipText(SkipText(SkipText(p)));  // menu, class, caption
    if (style & DS_SETFONT) p = SkipText(p + 3);  // point size, weight, italic and charset, face
    for (int i = 0; i < count; ++i) {
        p = AlignDword(p);
        DWORD itemStyle = *(const DWORD*)(p + 4);
        PictureItem item = {i, 0, (short)p[6], (short)p[7], (short)p[8], (short)p[9]};
        p += 12;  // help id, extended style, style, x, y, cx, cy, id
        bool isStatic = IsStaticClass(p);
        p = SkipText(p);
        if (isStatic && (itemStyle & SS_TYPEMASK) == SS_BITMAP && p[0] == 0xFFFF) {
            item.picture = p[1];
            found(item);
        }
        p = SkipText(p);
        p = (const WORD*)((const BYTE*)(p + 1) + *p);  // creation data
    }
    return true;
}

const struct { UINT dpi; UINT idOffset; } kVersions[] = {{192, 3000}, {144, 2000}, {120, 1000}, {96, 0}};

// What ChooseScaledPictures left on a static: the template position + 1 and the version's id offset.
const char kPictureProp[] = "PixmoraPicture";

HWND PictureControl(HWND dialog, const PictureItem& item)
{
    // Found again by the position remembered on it; the first time by the template's position,
    // where the dialog placed it.
    RECT at = {item.x, item.y, 0, 0};
    ::MapDialogRect(dialog, &at);
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        ULONG_PTR mark = (ULONG_PTR)::GetPropA(c, kPictureProp);
        if (mark) {
            if ((int)(mark & 0xFFFF) == item.index + 1) return c;
            continue;
        }
        char cls[8] = "";
        ::GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") || (::GetWindowLongA(c, GWL_STYLE) & SS_TYPEMASK) != SS_BITMAP) continue;
        RECT rc;
        ::GetWindowRect(c, &rc);
        ::MapWindowPoints(NULL, dialog, (POINT*)&rc, 2);
        if (rc.left == at.left && rc.top == at.top) return c;
    }
    return NULL;
}

}  // namespace

HBITMAP LoadScaledPicture(HINSTANCE module, UINT id)
{
    DWORD size = 0;
    BYTE* file = LoadPackedResource(module, MAKEINTRESOURCEA(id), kPackedPictureType, &size);
    if (!file) return NULL;
    HBITMAP picture = NULL;
    // A BMP file: its file header, then the bitmap's header and colours, the pixels at bfOffBits.
    const BITMAPFILEHEADER* head = reinterpret_cast<const BITMAPFILEHEADER*>(file);
    const BITMAPINFO* info = reinterpret_cast<const BITMAPINFO*>(file + sizeof(BITMAPFILEHEADER));
    if (size > sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) && head->bfType == 0x4D42 &&
        info->bmiHeader.biSize >= sizeof(BITMAPINFOHEADER) && head->bfOffBits < size &&
        head->bfOffBits >= sizeof(BITMAPFILEHEADER) + info->bmiHeader.biSize) {
        // Like the system's own loading of a bitmap: one in the screen's format.
        HDC screen = ::GetDC(NULL);
        picture = ::CreateDIBitmap(screen, &info->bmiHeader, CBM_INIT, file + head->bfOffBits, info, DIB_RGB_COLORS);
        ::ReleaseDC(NULL, screen);
    }
    free(file);
    return picture;
}

UINT WindowDpi(HWND hwnd)
{
    // Windows 10 (1607) and later; earlier systems have one DPI for every monitor.
    typedef UINT(WINAPI * GetDpiForWindowFn)(HWND);
    static GetDpiForWindowFn forWindow =
        (GetDpiForWindowFn)(void*)::GetProcAddress(::GetModuleHandleA("user32.dll"), "GetDpiForWindow");
    UINT dpi = forWindow ? forWindow(hwnd) : 0;
    if (!dpi) {
        HDC screen = ::GetDC(NULL);
        dpi = (UINT)::GetDeviceCaps(screen, LOGPIXELSX);
        ::ReleaseDC(NULL, screen);
    }
    return dpi ? dpi : 96;
}

void ChooseScaledPictures(HWND dialog, UINT templateId)
{
    UINT dpi = WindowDpi(dialog);
    HINSTANCE module = ::GetModuleHandleA(NULL);
    ForEachPicture(templateId, [&](const PictureItem& item) {
        HWND control = PictureControl(dialog, item);
        if (!control) return;
        ULONG_PTR mark = (ULONG_PTR)::GetPropA(control, kPictureProp);
        UINT shown = mark ? (UINT)(mark >> 16) : 0;  // the template's own picture at first
        RECT room = {0, 0, item.cx, item.cy};
        ::MapDialogRect(dialog, &room);
        for (const auto& version : kVersions) {
            if (version.dpi > dpi) continue;
            bool last = version.idOffset == 0;  // nothing smaller: the original, fitting or not
            if (version.idOffset == shown) {
                if (last) break;
                // Already shown: keep it when it still fits.
                HBITMAP current = (HBITMAP)::SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0);
                BITMAP bm;
                if (current && ::GetObjectA(current, sizeof bm, &bm) && bm.bmWidth <= room.right &&
                    bm.bmHeight <= room.bottom)
                    break;
                continue;
            }
            HBITMAP picture = last ? (HBITMAP)::LoadImageA(module, MAKEINTRESOURCEA(item.picture), IMAGE_BITMAP, 0,
                                                           0, LR_DEFAULTCOLOR)
                                   : LoadScaledPicture(module, item.picture + version.idOffset);
            if (!picture) continue;
            BITMAP bm;
            if (!last && (!::GetObjectA(picture, sizeof bm, &bm) || bm.bmWidth > room.right || bm.bmHeight > room.bottom)) {
                ::DeleteObject(picture);
                continue;
            }
            // The static sizes itself to the picture; the one it showed is ours to delete.
            HGDIOBJ old = (HGDIOBJ)::SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)picture);
            if (old && old != picture) ::DeleteObject(old);
            ::SetPropA(control, kPictureProp, (HANDLE)(ULONG_PTR)((item.index + 1) | (version.idOffset << 16)));
            break;
        }
    });
}

void ReleaseScaledPictures(HWND dialog)
{
    for (HWND c = ::GetWindow(dialog, GW_CHILD); c; c = ::GetWindow(c, GW_HWNDNEXT)) {
        if (!::GetPropA(c, kPictureProp)) continue;
        ::RemovePropA(c, kPictureProp);
        HGDIOBJ picture = (HGDIOBJ)::SendMessageA(c, STM_SETIMAGE, IMAGE_BITMAP, 0);
        if (picture) ::DeleteObject(picture);
    }
}
