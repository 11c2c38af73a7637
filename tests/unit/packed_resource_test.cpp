#include <gtest/gtest.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "fw/packed_resource.h"
#include "fw/scaled_pictures.h"
#include "res/resource.h"
#include "test_support.h"

namespace {

const UINT kPictures[] = {IDB_LOGO, IDB_TOOLBAR, IDB_TOOLBAR_SMALL, IDB_DESKTOP, IDB_DESKTOP_SMALL, IDB_DESKTOP_TINY};
const UINT kVersions[] = {1000, 2000, 3000};

// The bitmap's pixels as 32-bit colours, with its size.
std::vector<DWORD> Pixels(HBITMAP bitmap, LONG* width, LONG* height)
{
    BITMAP bm = {};
    GetObjectA(bitmap, sizeof bm, &bm);
    *width = bm.bmWidth;
    *height = bm.bmHeight;
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB};
    std::vector<DWORD> pixels((size_t)bm.bmWidth * bm.bmHeight);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    return pixels;
}

}  // namespace

// Every larger version unpacks to the picture the system itself makes of the same BMP file: the
// size and every pixel.
TEST(PackedResource, LargerPicturesAsTheSystemLoadsTheirFiles)
{
    TempFolder t;
    for (UINT picture : kPictures) {
        for (UINT offset : kVersions) {
            UINT id = picture + offset;
            SCOPED_TRACE(id);
            DWORD size = 0;
            BYTE* file = LoadPackedResource(GetModuleHandleA(NULL), MAKEINTRESOURCEA(id), kPackedPictureType, &size);
            ASSERT_TRUE(file);
            std::string path = t / "picture.bmp";
            WriteFileBytes(path, std::string(reinterpret_cast<char*>(file), size));
            free(file);
            HBITMAP ours = LoadScaledPicture(GetModuleHandleA(NULL), id);
            HBITMAP system = (HBITMAP)LoadImageA(NULL, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
            ASSERT_TRUE(ours);
            ASSERT_TRUE(system);
            LONG w1, h1, w2, h2;
            std::vector<DWORD> a = Pixels(ours, &w1, &h1), b = Pixels(system, &w2, &h2);
            EXPECT_EQ(w1, w2);
            EXPECT_EQ(h1, h2);
            EXPECT_GT(w1, 20);
            EXPECT_TRUE(a == b);
            DeleteObject(ours);
            DeleteObject(system);
        }
    }
    EXPECT_FALSE(LoadScaledPicture(GetModuleHandleA(NULL), IDB_LOGO));  // the original is no packed one
}

// A damaged resource gives nothing, never a picture of other bytes.
TEST(PackedResource, DamagedResourceIsRefused)
{
    HMODULE self = GetModuleHandleA(NULL);
    HRSRC res = FindResourceA(self, MAKEINTRESOURCEA(IDB_LOGO_144), kPackedPictureType);
    ASSERT_TRUE(res);
    const char* data = static_cast<const char*>(LockResource(LoadResource(self, res)));
    const std::string stored(data, SizeofResource(self, res));
    DWORD size = 0;
    BYTE* whole = UnpackResource(reinterpret_cast<const BYTE*>(stored.data()), (DWORD)stored.size(), &size);
    ASSERT_TRUE(whole);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(whole), 2), "BM");
    free(whole);

    struct Case {
        const char* name;
        void (*damage)(std::string& s);
    } cases[] = {
        {"magic", [](std::string& s) { s[1] ^= 0x01; }},
        {"length one more", [](std::string& s) { s[4] += 1; }},
        {"length one less", [](std::string& s) { s[4] -= 1; }},
        {"length over 8 MiB", [](std::string& s) { s[7] = 0x01; }},
        {"a byte in the stream", [](std::string& s) { s[13 + (s.size() - 13) / 2] ^= 0x01; }},
        {"cut short", [](std::string& s) { s.pop_back(); }},
        {"a byte appended", [](std::string& s) { s.push_back('\0'); }},
        {"header only", [](std::string& s) { s.resize(13); }},
        {"shorter than a header", [](std::string& s) { s.resize(12); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string damaged = stored;
        c.damage(damaged);
        BYTE* out = UnpackResource(reinterpret_cast<const BYTE*>(damaged.data()), (DWORD)damaged.size(), &size);
        EXPECT_FALSE(out);
        free(out);
    }
}
