#include <gtest/gtest.h>

#include <map>
#include <random>

#include "lists/object_slist.h"
#include "lists/slist.h"

namespace qv {
namespace {

// Objects that count their releases.
struct TCounted : TObject {
    explicit TCounted(int& Released) : R(Released) {}
    ~TCounted() override { ++R; }
    int& R;
};

// Against an ordered map: random inserts and deletes of spans, at page
// boundaries and inside pages, sparse and dense, by small and page-sized N.
TEST(QvSListShift, InsertSpaceAndDeleteRangeMatchAMap) {
    std::mt19937 rng(7);
    TSList list;
    std::map<int32_t, int32_t> model;
    for (int step = 0; step < 400; ++step) {
        const int32_t span = step % 50 == 0 ? 5000 : 300;
        for (int k = 0; k < 6; ++k) {
            const int32_t i = static_cast<int32_t>(rng() % span);
            const int32_t v = static_cast<int32_t>(rng() % 5);
            list.SetItem(i, v);
            if (v) model[i] = v;
            else model.erase(i);
        }
        const int32_t at = static_cast<int32_t>(rng() % (span + 20));
        const int32_t n = static_cast<int32_t>(1 + rng() % (rng() % 4 == 0 ? 64 : 20));
        std::map<int32_t, int32_t> next;
        if (rng() % 2) {
            ASSERT_TRUE(list.InsertSpace(at, n));
            for (auto [i, v] : model) next[i >= at ? i + n : i] = v;
        } else {
            list.DeleteRange(at, n);
            for (auto [i, v] : model)
                if (i < at || i >= at + n) next[i >= at + n ? i - n : i] = v;
        }
        model.swap(next);
        std::map<int32_t, int32_t> seen;
        list.ForEach([&](int32_t i, int32_t v) {
            seen[i] = v;
            return false;
        });
        ASSERT_EQ(seen, model) << "step " << step;
        ASSERT_EQ(list.Last(), model.empty() ? -1 : model.rbegin()->first);
        for (auto [i, v] : model) ASSERT_EQ(list.GetItem(i), v);  // the read cache is not stale
    }
}

TEST(QvSListShift, LimitsAndOwnership) {
    // A shift that would push an entry past the highest index changes nothing.
    TSList list;
    list.SetItem(list.MaxIndex() - 1, 9);
    EXPECT_FALSE(list.CanInsertSpace(3, 2));
    EXPECT_FALSE(list.InsertSpace(3, 2));
    EXPECT_EQ(list.Last(), list.MaxIndex() - 1);
    EXPECT_TRUE(list.InsertSpace(3, 1));
    EXPECT_EQ(list.GetItem(list.MaxIndex()), 9);
    // Beyond the last entry, or with N <= 0, nothing moves.
    EXPECT_TRUE(list.InsertSpace(list.MaxIndex() + 5, 3));
    list.DeleteRange(0, 0);
    EXPECT_EQ(list.Last(), list.MaxIndex());

    // Object lists release exactly the objects of the deleted span.
    int released = 0;
    {
        TObjectSList objects;
        for (int32_t i : {2, 15, 16, 17, 40}) objects.SetItem(i, new TCounted(released));
        objects.DeleteRange(15, 3);
        EXPECT_EQ(released, 3);
        EXPECT_NE(objects.GetItem(2), nullptr);
        EXPECT_NE(objects.GetItem(37), nullptr);
        EXPECT_EQ(objects.Last(), 37);
        objects.DeleteRange(30, 100);
        EXPECT_EQ(released, 4);
        EXPECT_EQ(objects.Last(), 2);
    }
    EXPECT_EQ(released, 5);
}

}  // namespace
}  // namespace qv
