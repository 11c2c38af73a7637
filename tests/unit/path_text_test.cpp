#include <gtest/gtest.h>
#include <string.h>
#include "install/path_text.h"

TEST(TrimBlanks, Cases)
{
    struct { const char* in; const char* out; } cases[] = {
        {"", ""},
        {"   ", ""},
        {"C:\\Px  ", "C:\\Px"},
        {"  C:\\Px", "C:\\Px"},
        {"  C:\\Bild Programme\\  ", "C:\\Bild Programme\\"},
        {"\tC:\\Px\t", "\tC:\\Px\t"},  // only the space character is a blank
    };
    for (auto& c : cases) {
        char buf[300];
        strcpy(buf, c.in);
        TrimBlanks(buf);
        EXPECT_STREQ(buf, c.out) << "input \"" << c.in << "\"";
    }
}
