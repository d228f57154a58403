#include "platform/compact_string.h"

#include <gtest/gtest.h>

using namespace qv;

TEST(CompactString, SharesCopiesAndKeepsEmbeddedBytes) {
    static_assert(sizeof(TCompactString) == sizeof(void*));
    TCompactString empty;
    EXPECT_TRUE(empty.empty());
    EXPECT_STREQ(empty.data(), "");
    EXPECT_TRUE(TCompactString("").empty());

    TCompactString a(std::string("a\0b", 3));
    TCompactString b = a;
    EXPECT_TRUE(a.SharesWith(b));
    EXPECT_EQ(b.size(), 3u);
    EXPECT_EQ(b.str(), std::string("a\0b", 3));
    a = TCompactString("other");
    EXPECT_EQ(b.str(), std::string("a\0b", 3));
    EXPECT_EQ(a, std::string_view("other"));
    EXPECT_EQ(a, TCompactString(std::string("other")));
    b = b;  // self-assignment keeps the text
    EXPECT_EQ(b.size(), 3u);
    TCompactString moved = std::move(a);
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(moved.str(), "other");
}
