#include <gtest/gtest.h>
#include "fw/format_string.h"
#include "res/resource.h"

TEST(AfxFormatStrings, Placeholders)
{
    struct { const char* format; const char* a1; const char* a2; int n; const char* out; } cases[] = {
        {"%1% von %2  fertig", "45", "setup.exe", 2, "45% von setup.exe  fertig"},
        {"%2 vor %1", "a", "b", 2, "b vor a"},
        {"%1%1", "ab", "", 1, "abab"},
        {"100%", "x", "", 1, "100%"},
        {"%", "x", "", 1, "%"},
        {"%%1", "x", "", 1, "%x"},
        {"%1 %2 %3", "a", "b", 2, "a b %3"},   // no third argument: copied as it is
        {"%2", "a", "b", 1, "%2"},
        {"%0 %a", "x", "", 1, "%0 %a"},
        {"[%1]", "%2", "b", 2, "[%2]"},        // an argument is not searched again
        {"[%1]", "", "", 1, "[]"},
        {"", "x", "y", 2, ""},
    };
    for (auto& c : cases) {
        const char* args[2] = {c.a1, c.a2};
        CString out("old");
        AfxFormatStrings(out, c.format, args, c.n);
        EXPECT_STREQ(out, c.out) << "format \"" << c.format << "\"";
    }
}

TEST(AfxFormatStrings, FromTheStringTable)
{
    CString out;
    AfxFormatString1(out, IDS_DL_ERR_CONNECT, "12029");
    EXPECT_STREQ(out, "An error occurred connecting to the server, Error:12029");
    AfxFormatString2(out, IDS_DL_MIN_SEC, "2", "5");
    EXPECT_STREQ(out, "2 min 5 sec");
    AfxFormatString1(out, 9999, "x");  // no such string
    EXPECT_STREQ(out, "");
}
