// The test machine has the fonts a Windows user has: the wizard's pages, titles and headings ask
// for "MS Sans Serif", a bitmap font in a few fixed sizes, and the caption buttons are drawn from
// Marlett. A machine that hands out a scalable stand-in instead draws every page wider than
// Windows does, and the layout checks and screenshots would judge the wrong picture.
#include <gtest/gtest.h>
#include <windows.h>
#include <string>

TEST(PrefixFonts, TheWizardsFacesAreThereAsOnWindows)
{
    HDC screen = GetDC(NULL);
    const int dialogHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);  // FONT 8 of the templates
    ReleaseDC(NULL, screen);
    struct {
        const char* what;
        const char* face;
        int height, weight, charset;
        bool trueType;
        int cellHeight;
    } cases[] = {
        {"page title", "MS Sans Serif", 20, 600, ANSI_CHARSET, false, 20},
        {"offer heading", "MS Sans Serif", 8, 600, ANSI_CHARSET, false, 13},  // the smallest size
        {"dialog font", "MS Sans Serif", dialogHeight, FW_NORMAL, DEFAULT_CHARSET, false, 13},
        {"caption buttons", "Marlett", 13, FW_NORMAL, SYMBOL_CHARSET, true, 13},
    };
    HDC dc = CreateCompatibleDC(NULL);
    for (auto& c : cases) {
        LOGFONTA lf = {};
        lf.lfHeight = c.height;
        lf.lfWeight = c.weight;
        lf.lfCharSet = (BYTE)c.charset;
        lstrcpyA(lf.lfFaceName, c.face);
        HFONT font = CreateFontIndirectA(&lf);
        HGDIOBJ old = SelectObject(dc, font);
        char face[LF_FACESIZE] = "";
        GetTextFaceA(dc, sizeof face, face);
        TEXTMETRICA tm = {};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        DeleteObject(font);
        EXPECT_EQ(std::string(face), c.face) << c.what;
        EXPECT_EQ((tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0, c.trueType) << c.what << ": " << face;
        EXPECT_EQ(tm.tmHeight, c.cellHeight) << c.what << ": " << face << ", height " << c.height;
    }
    DeleteDC(dc);
}
