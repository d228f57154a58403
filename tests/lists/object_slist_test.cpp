#include "lists/object_slist.h"

#include <gtest/gtest.h>

#include <vector>

#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

namespace {

struct Tracked : TObject {
    Tracked(int id, std::vector<int>& log) : Id(id), Log(log) {}
    ~Tracked() override { Log.push_back(Id); }
    int Id;
    std::vector<int>& Log;
};

}  // namespace

TEST(ObjectSList, SetCountReleasesFromTheTopAndOverwritingHandsObjectsBack) {
    std::vector<int> freed;
    {
        TObjectSList l;
        for (int i : {1, 3, 7}) l.SetItem(i, new Tracked(i, freed));
        l.SetCount(3);
        EXPECT_EQ(freed, (std::vector<int>{7, 3}));
        EXPECT_EQ(l.Count(), 3);
        EXPECT_EQ(l.ItemAs<Tracked>(1)->Id, 1);

        Tracked* old = l.ItemAs<Tracked>(1);
        l.SetItem(1, nullptr);  // handed back, not released
        EXPECT_EQ(freed.size(), 2u);
        delete old;
        l.SetItem(40, new Tracked(40, freed));
        l.SetItem(2, new Tracked(2, freed));
    }
    EXPECT_EQ(freed, (std::vector<int>{7, 3, 1, 2, 40}));
}

TEST(ListSList, NestedTableSkipsEmptySubListsAndKeepsDefaults) {
    TListSList t;
    auto* a = new TIntSList;
    a->SetDefault(15);
    a->SetValue(4, 30);
    t.SetItem(2, a);
    auto* empty = new TIntSList;
    empty->SetDefault(7);
    t.SetItem(5, empty);
    TMemoryStream s;
    t.SaveItems(s);

    s.SetPosition(0);
    EXPECT_EQ(s.ReadInt32(), 1);
    EXPECT_EQ(s.ReadInt32(), 2);

    s.SetPosition(0);
    TListSList r;
    r.SetItem(2, new TSList);  // replaced by the loaded one
    r.LoadItems(s, TIntSList::StaticClass());
    auto* loaded = static_cast<TIntSList*>(r.List(2));
    ASSERT_TRUE(loaded->IsExactly(TIntSList::StaticClass()));
    EXPECT_EQ(loaded->Default(), 15);
    EXPECT_EQ(loaded->Values(4), 30);
    EXPECT_EQ(r.List(5), nullptr);
    EXPECT_EQ(s.Remaining(), 0);
}

TEST(ListSList, ACorruptNestedTableLeavesTheTableAsItWas) {
    TListSList t;
    auto* a = new TSList;
    a->SetItem(1, 1);
    t.SetItem(0, a);
    t.SetItem(3, new TSList);
    static_cast<TSList*>(t.List(3))->SetItem(2, 2);
    TMemoryStream s;
    t.SaveItems(s);
    std::string bytes = s.Bytes();
    bytes.resize(bytes.size() - 10);  // the second sub-list ends early

    TListSList r;
    auto* keep = new TSList;
    keep->SetItem(0, 5);
    r.SetItem(0, keep);
    TMemoryStream in(bytes);
    EXPECT_THROW(r.LoadItems(in, TSList::StaticClass()), EReadError);
    EXPECT_EQ(r.List(0), keep);
    EXPECT_EQ(r.Last(), 0);

    // An index no page table can reach is refused, not silently dropped.
    TMemoryStream far;
    far.WriteInt32(1);
    far.WriteInt32(2000000000);
    TSList one;
    one.SetItem(0, 1);
    one.SaveToStream(far);
    far.SetPosition(0);
    EXPECT_THROW(r.LoadItems(far, TSList::StaticClass()), EReadError);

    TMemoryStream huge(std::string("\xff\xff\xff\x0f", 4));
    EXPECT_THROW(r.LoadItems(huge, TSList::StaticClass()), EReadError);
    EXPECT_THROW(r.LoadItems(in, TObject::StaticClass()), EListError);
}
