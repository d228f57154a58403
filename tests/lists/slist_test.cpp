#include "lists/slist.h"

#include <gtest/gtest.h>

#include <vector>

#include "lists/int_slist.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

namespace {

std::string Le32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::vector<std::pair<int32_t, int32_t>> Entries(const TSList& l) {
    std::vector<std::pair<int32_t, int32_t>> out;
    l.ForEach([&](int32_t i, int32_t v) {
        out.emplace_back(i, v);
        return false;
    });
    return out;
}

}  // namespace

TEST(SList, NewListIsEmpty) {
    TSList l;
    EXPECT_EQ(l.Last(), -1);
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(l.Items(0), 0);
    EXPECT_EQ(l.Items(-5), 0);
    bool called = false;
    EXPECT_FALSE(l.ForEach([&](int32_t, int32_t) { return called = true; }));
    EXPECT_FALSE(called);
}

TEST(SList, PagesAreAllocatedOnFirstNonZeroWriteAndKeptUntilClear) {
    TSList l;
    l.SetItem(3, 0);  // removing nothing allocates nothing
    EXPECT_EQ(l.PageCount(), 0);
    l.SetItem(17, 5);
    EXPECT_EQ(l.PageCount(), 2);
    EXPECT_EQ(l.Page(0), nullptr);
    EXPECT_NE(l.Page(1), nullptr);
    EXPECT_EQ(l.Last(), 17);
    EXPECT_EQ(l.Items(17), 5);
    l.SetItem(17, 0);
    EXPECT_EQ(l.Last(), -1);
    EXPECT_NE(l.Page(1), nullptr);

    // The zero page is still written: class, count, one page numbered 1.
    TMemoryStream s;
    l.SaveToStream(s);
    EXPECT_EQ(s.Size(), 1 + 4 + 4 + 4 + 16 * 4);
    EXPECT_EQ(s.Bytes().substr(0, 13), std::string("\0", 1) + Le32(0) + Le32(1) + Le32(1));

    l.Clear();
    EXPECT_EQ(l.PageCount(), 0);

    // Clearing a range releases the pages it leaves empty, and only those:
    // the list then saves as one that never held the cleared entries.
    TSList cleared, fresh;
    for (int32_t i = 0; i < 64; ++i) cleared.SetItem(i, i + 1);
    fresh.SetItem(40, 41);
    cleared.ClearRange(0, 39);
    cleared.ClearRange(41, 63);
    EXPECT_EQ(cleared.Page(0), nullptr);
    EXPECT_NE(cleared.Page(2), nullptr);
    EXPECT_EQ(cleared.Page(3), nullptr);
    TMemoryStream a, b;
    cleared.SaveToStream(a);
    fresh.SaveToStream(b);
    EXPECT_EQ(a.Bytes(), b.Bytes());
}

TEST(SList, LastFollowsRemovalsAndTheCacheNeverServesStaleValues) {
    TSList l;
    l.SetItem(5, 1);
    l.SetItem(40, 2);
    l.SetItem(100, 3);
    EXPECT_EQ(l.Items(100), 3);  // now cached
    l.SetItem(100, 0);
    EXPECT_EQ(l.Last(), 40);
    EXPECT_EQ(l.Items(100), 0);
    EXPECT_EQ(l.Items(40), 2);
    l.SetItem(40, 7);
    EXPECT_EQ(l.Items(40), 7);
    l.SetItem(40, 0);
    EXPECT_EQ(l.Last(), 5);
    EXPECT_EQ(Entries(l), (std::vector<std::pair<int32_t, int32_t>>{{5, 1}}));
}

// A write or a shift past the last index of 16-entry pages re-pages the list
// into 256-entry pages, keeping every entry; Clear returns it to the first.
TEST(SList, ListsMoveToTheLargerPageClassWhenAnIndexNeedsItKeepingEveryEntry) {
    const int32_t edge = TSList::ClassMaxIndex(0);
    ASSERT_EQ(edge, 1048559);
    TSList l;
    for (int32_t i = 0; i < 40000; i += 7) l.SetItem(i, i + 1);
    for (int32_t i : {131072, edge - 20, edge}) l.SetItem(i, -i);
    l.SetItem(edge + 1, 0);  // a zero write creates nothing, moves nothing
    EXPECT_EQ(l.PageClass(), 0);
    const auto before = Entries(l);
    ASSERT_TRUE(l.InsertSpace(10, 100));
    EXPECT_EQ(l.PageClass(), 1);
    EXPECT_EQ(l.Items(edge + 100), -edge);
    EXPECT_EQ(l.Items(edge + 80), 20 - edge);
    l.DeleteRange(10, 100);
    EXPECT_EQ(Entries(l), before);
    l.SetItem(TSList::LimitIndex, 5);
    l.SetItem(TSList::LimitIndex + 1, 6);  // past the last index of any list
    EXPECT_EQ(l.Last(), TSList::LimitIndex);
    TMemoryStream s;
    l.SaveToStream(s);
    s.SetPosition(0);
    TSList r;
    r.LoadFromStream(s);
    EXPECT_EQ(Entries(r), Entries(l));
    l.Clear();
    EXPECT_EQ(l.PageClass(), 0);

    // The position index of sizes follows the move, and sums past 32 bits
    // stop at the largest position.
    TIntSList sizes;
    sizes.SetDefault(15);
    sizes.SetValue(3, 20);
    sizes.SetValue(edge, 20);
    EXPECT_EQ(sizes.Offset(10), 155);
    sizes.SetValue(2000000, 40);
    EXPECT_EQ(sizes.Offset(10000000), 150000000 + 5 + 5 + 25);
    sizes.SetDefault(300);
    EXPECT_EQ(sizes.Offset(16000000), INT32_MAX);
}

TEST(SList, SetCountDiscardsFromTheTopAndForEachCanStop) {
    TSList l;
    for (int i : {1, 3, 7, 20}) l.SetItem(i, i * 10);
    l.SetCount(4);
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l.Last(), 3);
    int visits = 0;
    EXPECT_TRUE(l.ForEach([&](int32_t i, int32_t) { return ++visits, i == 1; }));
    EXPECT_EQ(visits, 1);
}

TEST(SListStream, RoundTripsAndReadsPageClassOne) {
    TSList l;
    l.SetCount(50);
    l.SetItem(0, -1);
    l.SetItem(33, 12345);
    TMemoryStream s;
    l.SaveToStream(s);
    s.SetPosition(0);
    TSList r;
    r.LoadFromStream(s);
    EXPECT_EQ(r.Count(), 50);
    EXPECT_EQ(Entries(r), Entries(l));
    EXPECT_EQ(r.Last(), 33);

    // A class-1 record: one page of 256 entries numbered 2.
    std::string bytes = std::string("\x01", 1) + Le32(7) + Le32(1) + Le32(2);
    for (int j = 0; j < 256; ++j) bytes += Le32(j == 10 ? 99 : 0);
    TMemoryStream big(bytes);
    r.LoadFromStream(big);
    EXPECT_EQ(r.PageSize(), 256);
    EXPECT_EQ(r.Items(2 * 256 + 10), 99);
    EXPECT_EQ(r.Last(), 522);
    EXPECT_EQ(big.Remaining(), 0);
    TMemoryStream again;
    r.SaveToStream(again);
    EXPECT_EQ(again.Bytes(), bytes);
}

TEST(SListStream, RecordsOutsideTheFormatRaiseAndLeaveTheListEmpty) {
    const std::string page = Le32(0) + std::string(64, '\x01');
    const std::vector<std::pair<std::string, std::string>> bad = {
        {std::string("\x02", 1) + Le32(0) + Le32(0), "page class 2"},
        {std::string("\0", 1) + Le32(0) + Le32(-1), "page count -1"},
        {std::string("\0", 1) + Le32(0) + Le32(1000000) + page, "page count 1000000"},
        {std::string("\0", 1) + Le32(0) + Le32(2) + Le32(3) + std::string(64, '\1') + Le32(1) +
             std::string(64, '\1'),
         "page number 1 out of order"},
        {std::string("\0", 1) + Le32(0) + Le32(1) + Le32(70000) + std::string(64, '\1'),
         "beyond the page table limit"},
        // Pages of another page class than the list had, made before the fault.
        {std::string("\1", 1) + Le32(0) + Le32(2) + Le32(3) + std::string(1024, '\1') + Le32(1) +
             std::string(1024, '\1'),
         "page number 1 out of order"},
        {std::string("\0", 1) + Le32(0) + Le32(1) + Le32(0) + std::string(10, '\1'), "bytes left"},
        {std::string("\0", 1) + Le32(0), ""},
    };
    for (const auto& [bytes, message] : bad) {
        TSList l;
        l.SetCount(9);
        l.SetItem(4, 4);
        TMemoryStream s(bytes);
        try {
            l.LoadFromStream(s);
            ADD_FAILURE() << "accepted " << message;
        } catch (const EReadError& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
        EXPECT_TRUE(l.IsEmpty());
        EXPECT_EQ(l.PageCount(), 0);
        EXPECT_EQ(l.Count(), 9);
    }
}

TEST(SListStream, IntListRecordCarriesTheDefault) {
    TIntSList l;
    l.SetDefault(60);
    l.SetValue(2, 80);
    TSList plain;
    plain.SetItem(2, 20);
    TMemoryStream a, b;
    l.SaveToStream(a);
    plain.SaveToStream(b);
    EXPECT_EQ(a.Size(), b.Size() + 4);
    EXPECT_EQ(a.Bytes().substr(a.Bytes().size() - 4), Le32(60));
    a.SetPosition(0);
    TIntSList r;
    r.LoadFromStream(a);
    EXPECT_EQ(r.Default(), 60);
    EXPECT_EQ(r.Values(2), 80);
    EXPECT_EQ(r.Values(3), 60);

    TMemoryStream truncated(b.Bytes());  // no default after the record
    r.SetCount(3);
    EXPECT_THROW(r.LoadFromStream(truncated), EReadError);
    EXPECT_TRUE(r.IsEmpty());
    EXPECT_EQ(r.Default(), 60);
    EXPECT_EQ(r.Count(), 3);
}
