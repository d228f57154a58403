#include "lists/int_slist.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace qv;

TEST(IntSList, OffsetAndIndexAtAroundIndividualAndZeroValues) {
    TIntSList l;
    l.SetDefault(60);
    EXPECT_EQ(l.Values(5), 60);
    l.SetValue(2, 80);
    l.SetValue(4, 0);
    EXPECT_EQ(l.Offset(5), 260);
    EXPECT_EQ(l.Offset(0), 0);
    EXPECT_EQ(l.Offset(-3), 0);

    int32_t pos = 200;
    EXPECT_EQ(l.IndexAt(pos), 3);
    EXPECT_EQ(pos, 200);
    pos = 199;
    EXPECT_EQ(l.IndexAt(pos), 2);
    EXPECT_EQ(pos, 120);
    for (int32_t p = 0; p < 600; ++p) {
        int32_t q = p;
        EXPECT_NE(l.IndexAt(q), 4) << p;
    }
    pos = 0;
    EXPECT_EQ(l.IndexAt(pos), 0);
    EXPECT_EQ(pos, 0);
}

TEST(IntSList, SetDefaultAlwaysDropsIndividualValues) {
    TIntSList l;
    l.SetDefault(15);
    l.SetCount(10);
    l.SetValue(3, 30);
    l.SetDefault(15);
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(l.Values(3), 15);
    EXPECT_EQ(l.Count(), 10);
    l.SetValue(3, 15);  // equal to the default: nothing stored
    EXPECT_TRUE(l.IsEmpty());
}

TEST(IntSList, ZeroDefaultMapsEveryPositionToZero) {
    TIntSList l;
    l.SetValue(1, 50);
    int32_t pos = 75;
    EXPECT_EQ(l.IndexAt(pos), 0);
    EXPECT_EQ(pos, 0);
}

TEST(IntSList, FarPositionsAreComputedWithoutWalkingEveryPage) {
    TIntSList l;
    l.SetDefault(1);
    int32_t pos = 2000000000;
    EXPECT_EQ(l.IndexAt(pos), 2000000000);
    EXPECT_EQ(pos, 2000000000);
}

// Offset and IndexAt agree with a plain array model over random lists.
TEST(IntSList, OffsetAndIndexAtMatchAPlainModel) {
    std::mt19937 rng(12345);
    for (int round = 0; round < 20; ++round) {
        TIntSList l;
        const int32_t def = 1 + static_cast<int32_t>(rng() % 30);
        l.SetDefault(def);
        std::vector<int32_t> model(3000, def);
        for (int k = 0; k < 200; ++k) {
            const int32_t i = static_cast<int32_t>(rng() % 2000);
            const int32_t v = static_cast<int32_t>(rng() % 4 == 0 ? 0 : rng() % 50);
            l.SetValue(i, v);
            model[i] = v;
        }
        int64_t start = 0;
        for (int32_t i = 0; i < 2900; ++i) {
            ASSERT_EQ(l.Offset(i), start) << "round " << round << " index " << i;
            for (int32_t p = static_cast<int32_t>(start); p < start + model[i]; ++p) {
                int32_t q = p;
                ASSERT_EQ(l.IndexAt(q), p == 0 ? 0 : i) << "round " << round << " pos " << p;
                if (p > 0) {
                    ASSERT_EQ(q, start);
                }
            }
            start += model[i];
        }
    }
}

// The position index is built lazily and invalidated by writes: queries
// interleaved with writes, truncations and clears must stay exact.
TEST(IntSList, QueriesBetweenWritesMatchAPlainModel) {
    std::mt19937 rng(777);
    TIntSList l;
    l.SetDefault(7);
    std::vector<int32_t> model(5000, 7);
    auto check = [&](int step) {
        for (int k = 0; k < 5; ++k) {
            const int32_t n = static_cast<int32_t>(rng() % 5000);
            int64_t offset = 0;
            for (int32_t i = 0; i < n; ++i) offset += model[i];
            ASSERT_EQ(l.Offset(n), offset) << "step " << step << " n " << n;
            if (model[n] == 0) continue;
            int32_t pos = static_cast<int32_t>(offset + rng() % model[n]);
            if (pos == 0) continue;
            ASSERT_EQ(l.IndexAt(pos), n) << "step " << step;
            ASSERT_EQ(pos, offset) << "step " << step;
        }
    };
    for (int step = 0; step < 3000; ++step) {
        const uint32_t what = rng() % 100;
        if (what < 90) {
            const int32_t i = static_cast<int32_t>(rng() % 4500);
            const int32_t v = static_cast<int32_t>(rng() % 5 == 0 ? 0 : rng() % 40);
            l.SetValue(i, v);
            model[i] = v;
        } else if (what < 98) {
            const int32_t n = static_cast<int32_t>(rng() % 4500);
            l.SetCount(n);  // drops the individual values at n and above
            for (int32_t i = n; i < 5000; ++i) model[i] = 7;
        } else {
            l.Clear();
            std::fill(model.begin(), model.end(), 7);
        }
        check(step);
    }
}
