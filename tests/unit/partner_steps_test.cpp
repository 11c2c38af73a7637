#include <gtest/gtest.h>
#include <windows.h>
#include <string.h>
#include "partner/partner_steps.h"

TEST(ChooseMirror, FourNinthsEachForTheFirstTwoOneNinthForTheThird)
{
    // Seeds spread over the whole range, as tick counts are (consecutive seeds give the
    // runtime's generator correlated first draws).
    int counts[3] = {};
    for (unsigned i = 0; i < 90000; ++i) {
        int index = ChooseMirrorIndex(i * 7919u);
        ASSERT_GE(index, 0);
        ASSERT_LE(index, 2);
        ++counts[index];
    }
    EXPECT_NEAR(counts[0], 40000, 600);
    EXPECT_NEAR(counts[1], 40000, 600);
    EXPECT_NEAR(counts[2], 10000, 400);
}

TEST(ChooseMirror, GivesAMirrorBase)
{
    const char* mirrors[] = {"http://mirror1.pixmora.de/google/", "http://mirror2.pixmora.de/google/",
                             "http://mirror3.pixmora.de/google/"};
    char url[MAX_PATH];
    ChooseMirror(url);
    bool known = false;
    for (const char* m : mirrors) known |= strcmp(url, m) == 0;
    EXPECT_TRUE(known) << url;
}
