#include "grids/size_list.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(SizeList, HiddenEntriesTakeNoSpace) {
    TQvSizeList l;
    l.SetDefault(60);
    l.SetCount(10);
    EXPECT_EQ(l.Offset(5), 300);
    int32_t pos = 299;
    EXPECT_EQ(l.IndexAt(pos), 4);
    EXPECT_EQ(pos, 240);

    l.SetValue(1, 0);
    EXPECT_EQ(l.Offset(3), 120);
    pos = 60;
    EXPECT_EQ(l.IndexAt(pos), 2);
    EXPECT_EQ(pos, 60);
    EXPECT_EQ(l.Span(1, 3), 60);
    EXPECT_EQ(l.Size(1), 0);
    EXPECT_EQ(l.Size(25), 60);  // beyond Count: the default

    l.SetValue(3, 80);
    l.SetValue(3, 60);
    l.SetValue(1, 60);
    EXPECT_TRUE(l.IsEmpty());
}
