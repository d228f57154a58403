#include "platform/filer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/platform/filer_test_classes.h"

using namespace qv;
using namespace qv::test;

namespace {

std::string Bytes(std::initializer_list<int> L) {
    std::string s;
    for (int b : L) s += static_cast<char>(b);
    return s;
}
std::string Short(const std::string& S) { return std::string(1, static_cast<char>(S.size())) + S; }

std::string Save(TComponent* C) {
    TMemoryStream s;
    WriteComponent(s, C);
    return s.Bytes();
}

// Reads Bytes into Root and returns the error message, empty on success.
std::string Load(const std::string& Bytes, TComponent* Root) {
    TMemoryStream s(Bytes);
    try {
        ReadComponent(s, Root);
    } catch (const EReadError& e) {
        return e.Message();
    }
    return "";
}

// A stream of a TStreamItem built entry by entry.
struct TStreamBuilder {
    TMemoryStream S;
    TWriter W{S};
    explicit TStreamBuilder(const std::string& Name, const std::string& Class = "TStreamItem") {
        W.WriteSignature();
        W.WriteStr(Class);
        W.WriteStr(Name);
    }
    TStreamBuilder& Int(const std::string& Prop, int64_t V) {
        W.WriteStr(Prop);
        W.WriteInteger(V);
        return *this;
    }
    TStreamBuilder& Ident(const std::string& Prop, const std::string& V) {
        W.WriteStr(Prop);
        W.WriteIdent(V);
        return *this;
    }
    std::string End() {
        W.WriteListEnd();
        W.WriteListEnd();
        return S.Bytes();
    }
};

TEST(FilerTest, SmallStreamHasTheExactLayout) {
    TStreamItem a;
    a.SetName("A");
    a.SetCount(5);
    // Count and Flag have no default and are always written; the empty
    // caption, the null link, the unnamed event, the nested Size at its
    // default, empty binary data and the missing design position are not.
    EXPECT_EQ(Save(&a), "TPF0" + Short("TStreamItem") + Short("A") + Short("Count") +
                            Bytes({2, 5}) + Short("Flag") + Bytes({8, 0, 0}));

    // Integers take the smallest type that holds them.
    const std::string head = "TPF0" + Short("TStreamItem") + Short("A") + Short("Count");
    const std::string tail = Short("Flag") + Bytes({9, 0, 0});
    a.SetFlag(true);
    a.SetCount(-128);
    EXPECT_EQ(Save(&a), head + Bytes({2, 0x80}) + tail);
    a.SetCount(128);
    EXPECT_EQ(Save(&a), head + Bytes({3, 0x80, 0}) + tail);
    a.SetCount(-32769);
    EXPECT_EQ(Save(&a), head + Bytes({4, 0xFF, 0x7F, 0xFF, 0xFF}) + tail);

    // Reference, event, nested and binary entries in table order, then the
    // defined properties: design position first, then the component's own.
    TStreamItem b(nullptr);
    b.SetName("B");
    a.SetCount(1);
    a.SetLink(&b);
    a.SetOnChangeName("AChange");
    a.Nested().SetSize(3);
    a.Nested().Data = "xy";
    a.SetDesignPosition(10, 300);
    a.Payload = "P";
    EXPECT_EQ(Save(&a), "TPF0" + Short("TStreamItem") + Short("A") + Short("Link") + Bytes({7}) +
                            Short("B") + Short("Count") + Bytes({2, 1}) + Short("Flag") +
                            Bytes({9}) + Short("Nested.Size") + Bytes({2, 3}) +
                            Short("Nested.Data") + Bytes({10, 2, 0, 0, 0}) + "xy" +
                            Short("OnChange") + Bytes({7}) + Short("AChange") + Short("Left") +
                            Bytes({2, 10}) + Short("Top") + Bytes({3, 0x2C, 1}) +
                            Short("Payload") + Bytes({10, 1, 0, 0, 0}) + "P" + Bytes({0, 0}));
}

TEST(FilerTest, WriterRefusesLongNamesAndWritesLongStringsLong) {
    TStreamItem a;
    a.SetCaption(std::string(300, 'c'));
    const std::string bytes = Save(&a);
    const std::string entry = Short("Caption") + Bytes({12, 0x2C, 1, 0, 0});
    EXPECT_NE(bytes.find(entry + std::string(300, 'c')), std::string::npos);

    TMemoryStream s;
    TWriter w(s);
    EXPECT_THROW(w.WriteStr(std::string(256, 'n')), EWriteError);
    EXPECT_EQ(s.Size(), 0);
}

TEST(FilerTest, RoundTripRestoresPropertiesChildrenAndReferences) {
    TStreamItem form;
    form.SetName("Form");
    form.WriteChildren = true;
    form.SetCount(-70000);
    form.SetCaption("It's");
    form.Payload = std::string("\0\1\2", 3);
    form.Nested().SetSize(9);
    form.Nested().Data = "pic";
    form.SetOnChangeName("FormChange");
    auto* sheet = new TStreamItem(&form);
    sheet->SetName("Sheet1");
    sheet->SetDesignPosition(-5, 40000);
    auto* styler = new TStreamItem(&form);
    styler->SetName("Styler1");
    styler->SetFlag(true);
    // A backward and a forward reference between children, and a child
    // referring to the root.
    sheet->SetLink(styler);
    styler->SetLink(&form);
    form.SetLink(sheet);
    const std::string bytes = Save(&form);

    TStreamItem copy;
    ASSERT_EQ(Load(bytes, &copy), "");
    EXPECT_EQ(copy.Name(), "Form");
    EXPECT_EQ(copy.Count(), -70000);
    EXPECT_EQ(copy.Caption(), "It's");
    EXPECT_EQ(copy.Payload, std::string("\0\1\2", 3));
    EXPECT_EQ(copy.Nested().Size(), 9);
    EXPECT_EQ(copy.Nested().Data, "pic");
    EXPECT_EQ(copy.OnChangeName(), "FormChange");
    EXPECT_FALSE(copy.HasDesignPosition());
    ASSERT_EQ(copy.ComponentCount(), 2);
    auto* s2 = dynamic_cast<TStreamItem*>(copy.Components(0));
    auto* st2 = dynamic_cast<TStreamItem*>(copy.Components(1));
    ASSERT_TRUE(s2 && st2);
    EXPECT_EQ(s2->Name(), "Sheet1");
    EXPECT_EQ(st2->Name(), "Styler1");
    EXPECT_TRUE(s2->HasDesignPosition());
    EXPECT_EQ(s2->DesignLeft(), -5);
    EXPECT_EQ(s2->DesignTop(), 40000);
    EXPECT_TRUE(st2->Flag());
    EXPECT_EQ(s2->Link(), st2);
    EXPECT_EQ(st2->Link(), &copy);
    EXPECT_EQ(copy.Link(), s2);
    // Every component read gets Loaded once, after the references are
    // resolved, and no reading state is left behind.
    for (TStreamItem* c : {&copy, s2, st2}) {
        EXPECT_EQ(c->LoadedCalls, 1);
        EXPECT_TRUE(c->LoadingInLoaded);
        EXPECT_EQ(c->LinkInLoaded, c->Link());
        EXPECT_EQ(c->ComponentState() & (csLoading | csReading), 0u);
    }
    // The same components write the same bytes again.
    copy.WriteChildren = true;
    EXPECT_EQ(Save(&copy), bytes);
}

TEST(FilerTest, ReadingWithoutRootCreatesTheStreamsClass) {
    TStreamItem a;
    a.SetName("Made");
    a.SetCount(4);
    TMemoryStream s(Save(&a));
    std::unique_ptr<TComponent> made(ReadComponent(s, nullptr));
    auto* item = dynamic_cast<TStreamItem*>(made.get());
    ASSERT_TRUE(item);
    EXPECT_EQ(item->Name(), "Made");
    EXPECT_EQ(item->Count(), 4);
}

TEST(FilerTest, BadSignatureIsInvalidStreamFormat) {
    TStreamItem a;
    EXPECT_EQ(Load("", &a), "Invalid stream format");
    EXPECT_EQ(Load("TPF", &a), "Invalid stream format");
    EXPECT_EQ(Load("TPF1" + Short("TStreamItem") + Short("") + Bytes({0, 0}), &a),
              "Invalid stream format");
    EXPECT_EQ(a.LoadedCalls, 0);
}

TEST(FilerTest, UnknownPropertyEndsTheReadKeepingWhatWasApplied) {
    TStreamItem a;
    TStreamBuilder b("X");
    b.Int("Count", 7).Int("Foo", 1).Int("Flag", 1);
    EXPECT_EQ(Load(b.End(), &a), "Error reading TStreamItem.Foo: Property Foo does not exist");
    EXPECT_EQ(a.Name(), "X");
    EXPECT_EQ(a.Count(), 7);
    EXPECT_EQ(a.LoadedCalls, 1);
    EXPECT_EQ(a.ComponentState() & (csLoading | csReading), 0u);

    // A dotted name whose first part is no nested object, and one whose
    // last part the nested object lacks.
    TStreamItem c;
    TStreamBuilder d("");
    d.Int("Count.Size", 1);
    EXPECT_EQ(Load(d.End(), &c),
              "Error reading TStreamItem.Count.Size: Property Count.Size does not exist");
    TStreamBuilder e("");
    e.Int("Nested.Width", 1);
    EXPECT_EQ(Load(e.End(), &c),
              "Error reading TStreamItem.Nested.Width: Property Nested.Width does not exist");
}

TEST(FilerTest, ValueOfTheWrongTypeIsRejectedNamingTheProperty) {
    TStreamItem a;
    TStreamBuilder b("");
    b.Ident("Count", "Seven");
    EXPECT_EQ(Load(b.End(), &a), "Error reading TStreamItem.Count: Invalid property value");
    TStreamBuilder c("");
    c.Int("Flag", 1);
    EXPECT_EQ(Load(c.End(), &a), "Error reading TStreamItem.Flag: Invalid property value");
    TStreamBuilder d("");
    d.Int("Nested", 1);
    EXPECT_EQ(Load(d.End(), &a), "Error reading TStreamItem.Nested: Invalid property value");
    TStreamBuilder e("");
    e.Int("Link", 1);
    EXPECT_EQ(Load(e.End(), &a), "Error reading TStreamItem.Link: Invalid property value");
    EXPECT_EQ(a.Count(), 0);
    EXPECT_FALSE(a.Flag());
}

TEST(FilerTest, StringPropertiesAcceptEveryStringEncoding) {
    const auto read = [](const std::string& Value) {
        TStreamItem a;
        TMemoryStream s;
        TWriter w(s);
        w.WriteSignature();
        w.WriteStr("TStreamItem");
        w.WriteStr("");
        w.WriteStr("Caption");
        s.WriteBytes(Value);
        w.WriteListEnd();
        w.WriteListEnd();
        EXPECT_EQ(Load(s.Bytes(), &a), "");
        return a.Caption();
    };
    EXPECT_EQ(read(Bytes({6, 2}) + "ab"), "ab");
    EXPECT_EQ(read(Bytes({12, 2, 0, 0, 0}) + "cd"), "cd");
    EXPECT_EQ(read(Bytes({20, 2, 0, 0, 0}) + "\xC3\xA9"), "\xC3\xA9");
    // UTF-16 'é' and U+1F600 as a surrogate pair become UTF-8.
    EXPECT_EQ(read(Bytes({18, 3, 0, 0, 0, 0xE9, 0, 0x3D, 0xD8, 0x00, 0xDE})),
              "\xC3\xA9\xF0\x9F\x98\x80");
}

TEST(FilerTest, NamesAreMadeUniqueWithinTheOwner) {
    TStreamItem form;
    auto* taken = new TStreamItem(&form);
    taken->SetName("Sheet");
    auto* root = new TStreamItem(&form);
    root->SetName("Mine");
    TStreamBuilder b("sheet");
    ASSERT_EQ(Load(b.End(), root), "");
    EXPECT_EQ(root->Name(), "sheet_1");

    auto* second = new TStreamItem(&form);
    TStreamBuilder c("Sheet");
    ASSERT_EQ(Load(c.End(), second), "");
    EXPECT_EQ(second->Name(), "Sheet_2");

    // Reading its own name again keeps it; an empty name keeps the present
    // one; a designer keeps its own name.
    TStreamBuilder d("Sheet_2");
    ASSERT_EQ(Load(d.End(), second), "");
    EXPECT_EQ(second->Name(), "Sheet_2");
    TStreamBuilder e("");
    ASSERT_EQ(Load(e.End(), second), "");
    EXPECT_EQ(second->Name(), "Sheet_2");
    second->SetDesigning(true);
    TStreamBuilder f("Other");
    ASSERT_EQ(Load(f.End(), second), "");
    EXPECT_EQ(second->Name(), "Sheet_2");

    // A name that is no identifier is a read error.
    TStreamBuilder g("1st");
    EXPECT_NE(Load(g.End(), taken).find("not a valid component name"), std::string::npos);
    EXPECT_EQ(taken->Name(), "Sheet");
}

TEST(FilerTest, ReferencesResolveByNameAmongTheOwnersComponents) {
    TStreamItem form;
    auto* styler = new TStreamItem(&form);
    styler->SetName("Styler1");
    auto* other = new TStreamOther(&form);
    other->SetName("Other1");
    auto* sheet = new TStreamItem(&form);

    TStreamBuilder b("Sheet1");
    b.Ident("Link", "STYLER1");
    ASSERT_EQ(Load(b.End(), sheet), "");
    EXPECT_EQ(sheet->Link(), styler);

    // A name that resolves nowhere, or to a component of another class,
    // leaves the reference as it was.
    TStreamBuilder c("Sheet1");
    c.Ident("Link", "Missing");
    ASSERT_EQ(Load(c.End(), sheet), "");
    EXPECT_EQ(sheet->Link(), styler);
    TStreamBuilder d("Sheet1");
    d.Ident("Link", "Other1");
    ASSERT_EQ(Load(d.End(), sheet), "");
    EXPECT_EQ(sheet->Link(), styler);

    TStreamItem lone;
    TStreamBuilder e("Lone");
    e.Ident("Link", "Styler1");
    ASSERT_EQ(Load(e.End(), &lone), "");
    EXPECT_EQ(lone.Link(), nullptr);
}

TEST(FilerTest, ChildOfUnknownClassIsAReadErrorAndLeavesNoHalfChild) {
    TStreamItem form;
    form.WriteChildren = true;
    form.SetCount(3);
    auto* good = new TStreamItem(&form);
    good->SetName("Good");
    auto* bad = new TStreamItem(&form);
    bad->SetName("Bad");
    bad->SetLink(good);
    std::string bytes = Save(&form);
    // Rename the second child's class to one nobody registered.
    const size_t at = bytes.rfind("TStreamItem");
    bytes.replace(at, 11, "TStreamNope");

    TStreamItem copy;
    EXPECT_EQ(Load(bytes, &copy), "Class TStreamNope not found");
    EXPECT_EQ(copy.Count(), 3);
    ASSERT_EQ(copy.ComponentCount(), 1);
    EXPECT_EQ(copy.Components(0)->Name(), "Good");
    EXPECT_EQ(static_cast<TStreamItem*>(copy.Components(0))->LoadedCalls, 1);
}

TEST(FilerTest, EveryTruncationIsAReadError) {
    TStreamItem form;
    form.WriteChildren = true;
    form.SetName("Form");
    form.SetCount(100000);
    form.SetCaption("caption");
    form.Payload = "payload";
    form.Nested().Data = "data";
    auto* child = new TStreamItem(&form);
    child->SetName("Child");
    child->SetLink(&form);
    child->SetDesignPosition(1, 2);
    const std::string bytes = Save(&form);

    for (size_t n = 0; n < bytes.size(); ++n) {
        TStreamItem copy;
        SCOPED_TRACE(n);
        EXPECT_NE(Load(bytes.substr(0, n), &copy), "");
        EXPECT_EQ(copy.ComponentState() & (csLoading | csReading), 0u);
        for (int i = 0; i < copy.ComponentCount(); ++i)
            EXPECT_EQ(copy.Components(i)->ComponentState() & (csLoading | csReading), 0u);
        TMemoryStream s(bytes.substr(0, n));
        EXPECT_THROW(ComponentStreamToText(s), EReadError);
    }
    TStreamItem whole;
    EXPECT_EQ(Load(bytes, &whole), "");
}

TEST(FilerTest, OversizedLengthsAndDeepNestingAreReadErrors) {
    TStreamItem a;
    // A binary length far beyond the bytes that follow.
    EXPECT_NE(Load("TPF0" + Short("TStreamItem") + Short("") + Short("Payload") +
                       Bytes({10, 0xFF, 0xFF, 0xFF, 0x7F, 1, 2}),
                   &a),
              "");
    EXPECT_NE(Load("TPF0" + Short("TStreamItem") + Short("") + Short("Payload") +
                       Bytes({10, 0xFF, 0xFF, 0xFF, 0xFF}),
                   &a),
              "");
    EXPECT_TRUE(a.Payload.empty());

    // Children nested a thousand deep.
    std::string deep = "TPF0" + Short("TStreamItem") + Short("") + Bytes({0});
    for (int i = 0; i < 1000; ++i) deep += Short("TStreamItem") + Short("") + Bytes({0});
    deep += std::string(1001, '\0');
    EXPECT_EQ(Load(deep, &a), "Component stream nested too deeply");
    EXPECT_EQ(a.ComponentCount(), 0);

    // Lists nested a thousand deep.
    std::string lists = "TPF0" + Short("T") + Short("") + Short("P") + std::string(1000, '\1') +
                        std::string(1003, '\0');
    TMemoryStream s(lists);
    EXPECT_THROW(ComponentStreamToText(s), EReadError);
    TMemoryStream t(lists);
    t.SetPosition(4 + 2 + 1 + 2);
    TReader r(t);
    EXPECT_THROW(r.SkipValue(), EReadError);
}

TEST(FilerTest, DumperWalksEveryValueType) {
    TMemoryStream s;
    TWriter w(s);
    const auto name = [&](const std::string& N) { w.WriteStr(N); };
    w.WriteSignature();
    s.WriteByte(0xF3);  // flags: inherited, child position 2
    w.WriteInteger(2);
    name("TThing");
    name("Thing1");
    name("List");
    w.WriteListBegin();
    w.WriteInteger(1);
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteString("s");
    w.WriteListEnd();
    name("I8");
    w.WriteInteger(-5);
    name("I16");
    w.WriteInteger(1000);
    name("I32");
    w.WriteInteger(-100000);
    name("I64");
    w.WriteInteger(int64_t(1) << 40);
    name("Ext");
    // 1.5 as a 10-byte float: mantissa 0xC000000000000000, exponent 16383.
    s.WriteBytes(Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}));
    name("Str");
    w.WriteString("it's\n");
    name("Id");
    w.WriteIdent("Handler");
    name("F");
    w.WriteBoolean(false);
    name("T");
    w.WriteBoolean(true);
    name("Bin");
    w.WriteBinary(std::string("\x01\xAB", 2));
    name("Set");
    s.WriteBytes(Bytes({11}) + Short("fsBold") + Short("fsItalic") + Bytes({0}));
    name("LStr");
    s.WriteBytes(Bytes({12, 3, 0, 0, 0}) + "abc");
    name("Nil");
    w.WriteValue(vaNil);
    name("Coll");
    w.WriteValue(vaCollection);
    w.WriteValue(vaList);
    name("A");
    w.WriteInteger(1);
    w.WriteListEnd();
    w.WriteInteger(7);
    w.WriteValue(vaList);
    w.WriteListEnd();
    w.WriteListEnd();
    name("Sgl");
    w.WriteValue(vaSingle);
    s.WriteSingle(0.25f);
    name("Cur");
    w.WriteValue(vaCurrency);
    s.WriteInt64(-12345);
    name("Date");
    w.WriteValue(vaDate);
    s.WriteDouble(45000.5);
    name("WStr");
    s.WriteBytes(Bytes({18, 2, 0, 0, 0, 'h', 0, 0xE9, 0}));
    name("U8");
    s.WriteBytes(Bytes({20, 1, 0, 0, 0}) + "u");
    name("Dbl");
    w.WriteDouble(-2.5);
    w.WriteListEnd();
    name("TChild");
    name("");
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();

    s.SetPosition(0);
    EXPECT_EQ(ComponentStreamToText(s),
              "object [inherited child 2] Thing1: TThing\n"
              "  List = (1 () 's')\n"
              "  I8 = -5\n"
              "  I16 = 1000\n"
              "  I32 = -100000\n"
              "  I64 = 1099511627776\n"
              "  Ext = 1.5\n"
              "  Str = 'it''s'#10\n"
              "  Id = Handler\n"
              "  F = False\n"
              "  T = True\n"
              "  Bin = {\n"
              "    01AB}\n"
              "  Set = [fsBold, fsItalic]\n"
              "  LStr = 'abc'\n"
              "  Nil = nil\n"
              "  Coll = <\n"
              "    item\n"
              "      A = 1\n"
              "    end\n"
              "    item [7]\n"
              "    end>\n"
              "  Sgl = 0.25\n"
              "  Cur = -1.2345c\n"
              "  Date = 45000.5d\n"
              "  WStr = 'h'#233\n"
              "  U8 = 'u'\n"
              "  Dbl = -2.5\n"
              "  object TChild\n"
              "  end\n"
              "end\n");

    // The reader skips every one of them too.
    s.SetPosition(4 + 3 + 7 + 7);
    TReader r(s);
    while (!r.EndOfList()) {
        r.ReadStr();
        r.SkipValue();
    }
    EXPECT_EQ(r.ReadStr(), "TChild");

    // A type byte beyond the known ones.
    TMemoryStream bad("TPF0" + Short("T") + Short("") + Short("P") + Bytes({22, 0, 0}));
    EXPECT_THROW(ComponentStreamToText(bad), EReadError);
}

}  // namespace

namespace {

// A stream that only appends: the writer makes a binary property's bytes
// first there and copies them, where over memory it writes them in place.
class TAppendOnlyStream : public TStream {
public:
    std::string Bytes;
    int64_t Read(void*, int64_t) override { return 0; }
    int64_t Write(const void* Buffer, int64_t Count) override {
        Bytes.append(static_cast<const char*>(Buffer), static_cast<size_t>(Count));
        return Count;
    }
    int64_t Seek(int64_t, TSeekOrigin) override { return static_cast<int64_t>(Bytes.size()); }
    int64_t Size() const override { return static_cast<int64_t>(Bytes.size()); }
    void SetSize(int64_t) override {}
};

}  // namespace

TEST(FilerTest, ABinaryPropertyWrittenInPlaceIsTheCopiedOneAndAFailureLeavesNoHalfEntry) {
    const auto good = [](TStream& S) { S.WriteBytes(std::string(300, 'q')); };
    TMemoryStream memory;
    memory.WriteBytes("head");
    TWriter inPlace(memory);
    EXPECT_THROW(inPlace.DefineBinaryProperty(
                     "Data", nullptr,
                     [](TStream& S) {
                         S.WriteBytes("partial");
                         throw EWriteError("disk full");
                     },
                     true),
                 EWriteError);
    EXPECT_EQ(memory.Bytes(), "head");
    EXPECT_EQ(memory.Position(), 4);
    inPlace.DefineBinaryProperty("Data", nullptr, good, true);

    TAppendOnlyStream other;
    other.Bytes = "head";
    TWriter copied(other);
    copied.DefineBinaryProperty("Data", nullptr, good, true);
    EXPECT_EQ(memory.Bytes(), other.Bytes);
}
