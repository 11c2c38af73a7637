#include <gtest/gtest.h>
#include <limits.h>
#include "download/http_download_dlg.h"
#include "download/progress_text.h"

TEST(ProgressText, Sizes)
{
    struct { DWORD bytes; const char* text; } cases[] = {
        {0, "0 Bytes"},
        {1023, "1023 Bytes"},
        {1024, "1.0 KB"},
        {1536, "1.5 KB"},
        {1048575, "1024.0 KB"},
        {1048576, "1.00 MB"},
        {73400320, "70.00 MB"},
        {0xFFFFFFFFu, "4096.00 MB"},
    };
    for (auto& c : cases) EXPECT_STREQ(FormatSizeText(c.bytes), c.text) << c.bytes << " bytes";
}

TEST(ProgressText, Times)
{
    struct { DWORD seconds; const char* text; } cases[] = {
        {0, "0 sec"}, {59, "59 sec"}, {60, "1 min"}, {125, "2 min 5 sec"}, {3600, "60 min"}, {3661, "61 min 1 sec"},
    };
    for (auto& c : cases) EXPECT_STREQ(FormatTimeText(c.seconds), c.text) << c.seconds << " s";
    EXPECT_STREQ(FormatTimeLeftText(125, 1536, 1048576), "2 min 5 sec (1.5 KB von 1.00 MB kopiert)");
}

TEST(ProgressText, Rates)
{
    // Bytes per millisecond: below 1 shown times 1024 as bytes, from 1 on as the figure itself.
    struct { double rate; const char* text; } cases[] = {
        {0, "0 Bytes/Sec"}, {0.5, "512 Bytes/Sec"}, {0.9999, "1024 Bytes/Sec"}, {1, "1.00 KB/Sec"},
        {1.234, "1.23 KB/Sec"}, {9.999, "10.00 KB/Sec"}, {10, "10 KB/Sec"}, {12.6, "13 KB/Sec"},
    };
    for (auto& c : cases) EXPECT_STREQ(FormatRateText(c.rate), c.text) << c.rate;
}

TEST(ProgressText, Caption)
{
    EXPECT_STREQ(FormatCaptionText(45, "setup.exe"), "45% von setup.exe  fertig");
    EXPECT_STREQ(FormatCaptionText(150, "a%1b.exe"), "150% von a%1b.exe  fertig");
    EXPECT_STREQ(FormatCaptionText(7, ""), "7% von   fertig");
}

TEST(ProgressText, Figures)
{
    // The bar's maximum in kilobytes rounded half up, with no 16-bit wrap.
    struct { DWORD length, max; } ranges[] = {
        {0, 0}, {511, 0}, {512, 1}, {1535, 1}, {1536, 2}, {67108864, 65536}, {73400320, 71680}, {0xFFFFFFFFu, 4194304},
    };
    for (auto& c : ranges) EXPECT_EQ(ProgressRangeMax(c.length), c.max) << c.length;

    struct { DWORD received, length; int percent; } percents[] = {
        {0, 100, 0}, {45, 100, 45}, {1, 3, 33}, {2, 3, 66}, {150, 100, 150}, {0xFFFFFFFFu, 1, INT_MAX}, {0, 0, 0}, {5, 0, INT_MAX},
    };
    for (auto& c : percents) EXPECT_EQ(PercentDone(c.received, c.length), c.percent) << c.received << " of " << c.length;

    struct { DWORD elapsed, received, length, seconds; } left[] = {
        {1000, 1000, 3000, 2},
        {2000, 1024, 1048576, 2046},
        {0xFFFFFFFFu, 1, 0xFFFFFFFFu, 0xFFFFFFFFu},  // beyond any display: the largest figure
        {1000, 3000, 1000, 0},                       // more arrived than announced
        {1000, 0, 1000, 0},
    };
    for (auto& c : left)
        EXPECT_EQ(SecondsLeft(c.elapsed, c.received, c.length), c.seconds) << c.elapsed << " ms, " << c.received << " of " << c.length;
}

TEST(FileNameOfObject, Cases)
{
    struct { const char* object; const char* name; } cases[] = {
        {"/google/google_ds_de.exe", "google_ds_de.exe"},
        {"/google/", ""},
        {"/", "/"},
        {"x", "x"},
        {"", ""},
        {"setup.exe", "setup.exe"},
        {"\\files\\setup.exe", "setup.exe"},
        {"/files\\a/b\\setup.exe", "b\\setup.exe"},  // '/' wins when there is one
        {"/get?f=a/setup.exe", "setup.exe"},
    };
    for (auto& c : cases) EXPECT_STREQ(FileNameOfObject(c.object), c.name) << c.object;
}
