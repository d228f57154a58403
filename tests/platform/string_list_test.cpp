#include "platform/string_list.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

namespace {

std::vector<std::string> Lines(const TStrings& L) {
    std::vector<std::string> v;
    for (int i = 0; i < L.Count(); ++i) v.push_back(L.Strings(i));
    return v;
}

struct TCounted : TObject {
    explicit TCounted(int* ALive) : Live(ALive) { ++*Live; }
    ~TCounted() override { --*Live; }
    int* Live;
};

}  // namespace

TEST(StringList, TextUsesCrLfAfterEveryLineAndReadsAnyLineEnd) {
    TStringList l;
    l.Add("a");
    l.Add("");
    l.Add("c");
    EXPECT_EQ(l.Text(), "a\r\n\r\nc\r\n");

    l.SetText("one\rtwo\nthree\r\nfour");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"one", "two", "three", "four"}));
    l.SetText("x\r\n");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"x"}));  // no extra empty line
    l.SetText("x\r\n\r\n");
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"x", ""}));
    l.SetText("\n\r");  // LF then CR: two line ends
    EXPECT_EQ(l.Count(), 2);
    l.SetText("");
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Text(), "");
}

TEST(StringList, CommaTextQuotesWhatNeedsIt) {
    TStringList l;
    l.Add("plain");
    l.Add("with space");
    l.Add("a,b");
    l.Add("say \"hi\"");
    l.Add("");
    const std::string text = l.CommaText();
    EXPECT_EQ(text, "plain,\"with space\",\"a,b\",\"say \"\"hi\"\"\",\"\"");
    TStringList back;
    back.SetCommaText(text);
    EXPECT_TRUE(back.Equals(l));
    back.SetCommaText("a b, c,");
    EXPECT_EQ(Lines(back), (std::vector<std::string>{"a", "b", "c", ""}));
}

TEST(StringList, IndexErrorsNameTheIndex) {
    TStringList l;
    l.Add("a");
    try {
        l.Strings(1);
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (1)");
    }
    EXPECT_THROW(l.Strings(-1), EListError);
    EXPECT_THROW(l.Put(1, "x"), EListError);
    EXPECT_THROW(l.Objects(5), EListError);
    EXPECT_THROW(l.PutObject(1, nullptr), EListError);
    EXPECT_THROW(l.Delete(1), EListError);
    EXPECT_THROW(l.Insert(2, "x"), EListError);
    l.Insert(1, "b");  // Index == Count appends
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"a", "b"}));
}

TEST(StringList, SortedListKeepsObjectsWithTheirLines) {
    TObject o1, o2, o3;
    TStringList l;
    l.AddObject("pear", &o1);
    l.AddObject("Apple", &o2);
    l.AddObject("banana", &o3);
    l.SetSorted(true);
    EXPECT_EQ(Lines(l), (std::vector<std::string>{"Apple", "banana", "pear"}));
    EXPECT_EQ(l.Objects(0), &o2);
    EXPECT_EQ(l.Objects(2), &o1);
    EXPECT_EQ(l.AddObject("Cherry", &o3), 2);  // goes to its place
    int index = -1;
    EXPECT_TRUE(l.Find("APPLE", index));
    EXPECT_EQ(index, 0);
    EXPECT_FALSE(l.Find("b", index));
    EXPECT_EQ(index, 1);  // where it would go
    EXPECT_EQ(l.IndexOf("PEAR"), 3);
    EXPECT_THROW(l.Insert(0, "zz"), EListError);
    EXPECT_THROW(l.Put(0, "zz"), EListError);

    TStringList copy;
    copy.Assign(&l);
    EXPECT_TRUE(copy.Equals(l));
    EXPECT_FALSE(copy.Sorted());
    for (int i = 0; i < l.Count(); ++i) EXPECT_EQ(copy.Objects(i), l.Objects(i));
}

TEST(StringList, DuplicatesRuleOfSortedList) {
    TStringList l;
    l.SetSorted(true);
    l.Add("Arial");
    EXPECT_EQ(l.Add("ARIAL"), 0);  // dupIgnore: the existing line
    EXPECT_EQ(l.Count(), 1);

    l.SetDuplicates(dupError);
    try {
        l.Add("arial");
        FAIL();
    } catch (const EListError& e) {
        EXPECT_STREQ(e.what(), "String list does not allow duplicates");
    }
    EXPECT_EQ(l.Count(), 1);

    TObject first, second;
    l.SetDuplicates(dupAccept);
    l.Clear();
    l.AddObject("x", &first);
    l.AddObject("X", &second);
    EXPECT_EQ(l.Objects(1), &second);  // equal lines keep insertion order
    EXPECT_EQ(l.IndexOf("x"), 0);

    // An unsorted list accepts anything, whatever Duplicates says.
    TStringList u;
    u.SetDuplicates(dupError);
    u.Add("a");
    u.Add("a");
    EXPECT_EQ(u.Count(), 2);
    EXPECT_EQ(u.IndexOf("A"), 0);
    u.SetCaseSensitive(true);
    EXPECT_EQ(u.IndexOf("A"), -1);
}

TEST(StringList, RefusedAssignChangesNothing) {
    TStringList source;
    source.Add("b");
    source.Add("B");
    TStringList target;
    target.SetSorted(true);
    target.SetDuplicates(dupError);
    target.Add("keep");
    EXPECT_THROW(target.Assign(&source), EListError);
    EXPECT_EQ(Lines(target), (std::vector<std::string>{"keep"}));

    // An owning list would delete borrowed objects: refused up front.
    TObject borrowed;
    TStringList withObjects;
    withObjects.AddObject("o", &borrowed);
    TStringList owning(true);
    EXPECT_THROW(owning.Assign(&withObjects), EListError);
    EXPECT_EQ(owning.Count(), 0);
    owning.Assign(&source);  // lines without objects are fine
    EXPECT_EQ(owning.Count(), 2);

    target.Assign(&target);  // self-assignment keeps the content
    EXPECT_EQ(target.Count(), 1);
}

TEST(StringList, OwningListDeletesObjectsOnDeleteClearAndDestructionOnly) {
    int live = 0;
    auto kept = std::make_unique<TCounted>(&live);
    {
        TStringList l(true);
        l.AddObject("a", new TCounted(&live));
        l.AddObject("b", new TCounted(&live));
        l.AddObject("c", new TCounted(&live));
        l.Delete(0);
        EXPECT_EQ(live, 3);
        // Overwriting hands the old object back instead of deleting it.
        TObject* old = l.Objects(0);
        l.PutObject(0, kept.release());
        EXPECT_EQ(live, 3);
        delete old;
        EXPECT_EQ(live, 2);
        l.Clear();
        EXPECT_EQ(live, 0);
        l.AddObject("d", new TCounted(&live));
    }
    EXPECT_EQ(live, 0);
}

TEST(StringList, OnChangeFiresPerChangeAndOnceAfterAnUpdateBlock) {
    TStringList l;
    int changes = 0;
    TObject* sender = nullptr;
    l.OnChange = [&](TObject* S) {
        ++changes;
        sender = S;
    };
    l.Add("a");
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(sender, &l);
    l.SetText("x\ny\nz");
    EXPECT_EQ(changes, 2);
    l.BeginUpdate();
    l.BeginUpdate();
    l.Delete(0);
    l.Add("w");
    l.EndUpdate();
    EXPECT_EQ(changes, 2);
    l.EndUpdate();
    EXPECT_EQ(changes, 3);
    l.BeginUpdate();
    l.EndUpdate();  // nothing changed inside
    EXPECT_EQ(changes, 3);
}

TEST(StringList, StreamsAndFilesHoldTheText) {
    TStringList l;
    l.SetText("first\nsecond");
    TMemoryStream m;
    l.SaveToStream(m);
    EXPECT_EQ(m.Bytes(), "first\r\nsecond\r\n");

    TMemoryStream withBom(std::string("\xEF\xBB\xBFone\ntwo"));
    TStringList r;
    r.LoadFromStream(withBom);
    EXPECT_EQ(Lines(r), (std::vector<std::string>{"one", "two"}));

    const std::string path = ::testing::TempDir() + "qv_string_list_test.txt";
    l.SaveToFile(path);
    TStringList f;
    f.LoadFromFile(path);
    EXPECT_TRUE(f.Equals(l));
    std::remove(path.c_str());
    EXPECT_THROW(f.LoadFromFile(path), EFOpenError);
    EXPECT_TRUE(f.Equals(l));  // a failed load leaves the list alone
}

TEST(StringList, AssignFromUnrelatedClassRaises) {
    TStringList l;
    TPersistent p;
    EXPECT_THROW(l.Assign(&p), EConvertError);
}

TEST(StringList, ObjectsCanJoinLinesThatHadNone) {
    TStringList l;
    l.SetText("a\nb\nc\n\n\n");
    ASSERT_EQ(l.Count(), 5);
    TObject one, two;
    l.PutObject(1, &one);
    l.InsertObject(0, "z", &two);
    l.Delete(2);  // "b"
    ASSERT_EQ(l.Count(), 5);
    EXPECT_EQ(l.Text(), "z\r\na\r\nc\r\n\r\n\r\n");
    EXPECT_EQ(l.Objects(0), &two);
    for (int i = 1; i < 5; ++i) EXPECT_EQ(l.Objects(i), nullptr) << i;
    l.PutObject(2, &one);
    l.SetSorted(true);
    EXPECT_EQ(l.Text(), "\r\n\r\na\r\nc\r\nz\r\n");
    EXPECT_EQ(l.Objects(3), &one);
    EXPECT_EQ(l.Objects(4), &two);
}

TEST(StringList, AWholeTextSplitsWhenALineIsNeeded) {
    TStringList l;
    l.SetText("a\r\nb\rc\n");
    EXPECT_EQ(l.Count(), 3);
    EXPECT_EQ(l.Text(), "a\r\nb\r\nc\r\n");
    l.Add("d");
    EXPECT_EQ(l.Count(), 4);
    EXPECT_EQ(l.Strings(3), "d");
    EXPECT_EQ(l.Strings(1), "b");
    l.SetText("x\ny");
    l.Insert(0, "w");
    EXPECT_EQ(l.Text(), "w\r\nx\r\ny\r\n");
    l.SetText("p\nq");
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Text(), "");
}
