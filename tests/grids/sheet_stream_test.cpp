#include "grids/sheet_stream.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "grids/base_style.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/filer.h"
#include "platform/font.h"
#include "platform/message_box.h"
#include "platform/stream.h"
#include "grids/recording_view.h"

using namespace qv;

namespace {

std::string Data(TQvSheet& S) {
    TMemoryStream m;
    S.WriteData(m);
    return m.Bytes();
}

std::string Le32(int32_t v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

void ExpectIntact(const TQvSheet& S) {
    for (TQvSectionKind k : AllSectionKinds) EXPECT_EQ(S.Sections(k)->CheckIntegrity(), "") << "section " << int(k);
}

// The demonstration form's sheet.
void MakeDemoSheet(TQvSheet& S) {
    S.SetColCount(50);
    S.SetRowCount(50);
    S.SetRowDefHeight(16);
}

}  // namespace

TEST(SheetData, DefaultDemoSheetIs229Bytes) {
    TQvSheet s;
    MakeDemoSheet(s);
    const std::string d = Data(s);
    ASSERT_EQ(d.size(), 229u);
    EXPECT_EQ(d.substr(0, 4), Le32(112));
    EXPECT_EQ(d.substr(112, 4), Le32(112));
    EXPECT_EQ(d.substr(224), std::string(5, '\0'));  // size flags, four section flags
}

TEST(SheetData, FlagsNameOnlyWhatIsStoredAndEmptyQuadrantsAreSkipped) {
    TQvSheet s;
    s.SetSize(2, axCols, 80);
    std::string d = Data(s);
    // Size flags 4 and one integer-list record: class 0, count 5, one page
    // (page 0, sixteen entries with 20 at entry 2), then the default 60.
    std::string list = std::string(1, '\0') + Le32(5) + Le32(1) + Le32(0);
    for (int i = 0; i < 16; ++i) list += Le32(i == 2 ? 20 : 0);
    list += Le32(60);
    EXPECT_EQ(d.substr(224, 1 + list.size()), std::string(1, '\4') + list);
    EXPECT_EQ(d.size(), 224 + 1 + list.size() + 4);

    TQvSheet t;
    t.SetTitleRows(0);
    EXPECT_EQ(Data(t).size(), 224u + 1 + 2);  // only sections 1 and 3
    t.SetColCount(0);
    EXPECT_EQ(Data(t).size(), 224u + 1 + 1);  // only section 1
}

TEST(SheetData, RowsBlockLayout) {
    TQvSheet s;
    s.Sections(skClient)->NeedCellOfClass({3, 7}, TQvCInteger::StaticClass())->SetAsInteger(5);
    std::string d = Data(s);
    const int32_t id = TQvManager::ClassId(TQvCInteger::StaticClass());
    const size_t at = d.size() - (1 + 4 + 4 + 4 + 4 + 4);  // flag, 7, 3, id, then record...
    (void)at;
    const std::string head = std::string(1, char(128)) + Le32(7) + Le32(3) + Le32(id);
    const size_t pos = d.find(head);
    ASSERT_NE(pos, std::string::npos);
    int32_t len;
    std::memcpy(&len, d.data() + pos + head.size(), 4);
    EXPECT_EQ(d.substr(pos + head.size() + len), Le32(-1) + Le32(-1));

    s.Sections(skClient)->NeedCellOfClass({5, 7}, TQvCString::StaticClass());
    d = Data(s);
    const size_t second = pos + head.size() + len;
    EXPECT_EQ(d.substr(second, 8), Le32(5) + Le32(TQvManager::ClassId(TQvCString::StaticClass())));
}

TEST(SheetData, RangesFillsFramesAndCellsComeBack) {
    TQvSheet s;
    s.SetColCount(10);
    s.SetRowCount(10);
    TQvSection* sec = s.Sections(skClient);
    sec->NeedCell({1, 1})->SetAsString("head");
    sec->Merge({1, 1, 3, 3});
    sec->SetAreaValue(5, 0, 4, 4);
    sec->SetLine(tbFill, 6, 0, 2, PackLine(lsSingle, clYellow));
    const std::string d = Data(s);

    TQvSheet r;
    r.SetColCount(10);
    r.SetRowCount(10);
    TMemoryStream in(d);
    r.ReadData(in);
    TQvSection* rs = r.Sections(skClient);
    ASSERT_EQ(rs->Unions().size(), 1u);
    EXPECT_EQ(rs->Unions()[0]->Rect(), (TRect{1, 1, 3, 3}));
    ASSERT_NE(rs->Unions()[0]->Cell(), nullptr);
    EXPECT_EQ(rs->Unions()[0]->Cell()->AsString(), "head");
    EXPECT_EQ(rs->AreaValue(3, 5), 4);
    EXPECT_EQ(rs->AreaValue(7, 5), r.BaseClientStyle()->Frame());
    bool uniform;
    EXPECT_EQ(rs->GetLine(tbFill, 6, 0, 2, uniform), PackLine(lsSingle, clYellow));
    EXPECT_FALSE(r.Modified());
    EXPECT_EQ(Data(r), d);
    ExpectIntact(r);
}

TEST(SheetData, AFailingCellRecordIsReportedAndSkipped) {
    TQvSheet s;
    TQvCell* first = s.Sections(skClient)->NeedCellOfClass({0, 0}, TQvCInteger::StaticClass());
    first->SetAsInteger(1);
    first->SetFormat("0");  // stored as index 0 of the integer formats
    s.Sections(skClient)->NeedCellOfClass({1, 0}, TQvCInteger::StaticClass())->SetAsInteger(2);
    std::string d = Data(s);
    // Damage the first cell record: a format index that no list holds.
    const std::string head = Le32(0) + Le32(0) + Le32(TQvManager::ClassId(TQvCInteger::StaticClass()));
    const size_t pos = d.find(head);
    ASSERT_NE(pos, std::string::npos);
    const size_t rec = pos + head.size();
    // Length, Assigned, editor index, then the format index.
    ASSERT_EQ(d.substr(rec + 10, 4), Le32(0));
    d.replace(rec + 10, 4, Le32(99));

    TRecordingMessageService messages;
    TMessageServiceScope scope(messages);
    TQvSheet r;
    TMemoryStream in(d);
    r.ReadData(in);
    ASSERT_EQ(messages.Messages().size(), 1u);
    EXPECT_EQ(messages.Messages()[0].Text,
              "Cannot load the cell at column 0, row 0 (TQvCInteger): Format index 99 does not exist for cell class "
              "TQvCInteger");
    EXPECT_EQ(messages.Messages()[0].Caption, "Error");
    EXPECT_EQ(messages.Messages()[0].Icon, miError);
    ASSERT_NE(r.FindCell(1, 0), nullptr);
    EXPECT_EQ(r.FindCell(1, 0)->AsInteger(), 2);
    ExpectIntact(r);
}

TEST(SheetData, AFailedReadLeavesTheSheetAloneAndAGoodOneTellsTheViews) {
    TQvSheet s;
    s.SetCellValue(0, 0, TVariant("a"));
    s.SetCellValue(1, 1, TVariant("b"));
    std::string d = Data(s);
    TQvSheet r;
    r.SetCellValue(3, 3, TVariant("mine"));
    const std::string before = Data(r);
    test::TRecordingView view(&r);
    for (size_t cut = 0; cut < d.size(); ++cut) {
        TMemoryStream in(d.substr(0, cut));
        EXPECT_THROW(r.ReadData(in), EReadError) << cut;
        EXPECT_EQ(r.UpdateCount(), 0);
        EXPECT_EQ(Data(r), before) << cut;
    }
    EXPECT_TRUE(view.Calls.empty());
    TMemoryStream whole(d);
    r.ReadData(whole);
    EXPECT_EQ(r.CellValue(1, 1).AsString(), "b");
    EXPECT_EQ(r.CellValue(3, 3).AsString(), "mine");  // a read merges
    bool readLayout = false;
    for (const auto& c : view.Calls) readLayout |= c.Name == "ReadLayout";
    EXPECT_TRUE(readLayout);
}

TEST(SheetFile, RoundTripsThroughAComponentStreamAndResolvesTheStyler) {
    TComponent form(nullptr);
    auto* styler = new TQvStyler(&form);
    styler->SetName("QvStyler");
    styler->AddStyle("Heading")->Font()->SetStyle({fsBold});
    auto* sheet = new TQvSheet(&form);
    sheet->SetName("Sheet");
    sheet->SetStyler(styler);
    MakeDemoSheet(*sheet);
    sheet->SetReadOnly(true);
    sheet->NeedCell(2, 2)->SetStyle(styler->FindStyle("Heading"));
    sheet->SetCellValue(2, 2, TVariant("x"));
    TMemoryStream m;
    sheet->SaveToStream(m);
    EXPECT_EQ(m.Bytes().substr(0, 4), "TPF0");

    auto* copy = new TQvSheet(&form);
    m.SetPosition(0);
    copy->LoadFromStream(m);
    EXPECT_EQ(copy->Name(), "Sheet_1");
    EXPECT_EQ(copy->Styler(), styler);
    EXPECT_EQ(copy->ColCount(), 50);
    EXPECT_EQ(copy->RowDefHeight(), 16);
    EXPECT_TRUE(copy->ReadOnly());
    ASSERT_NE(copy->FindCell(2, 2), nullptr);
    // The payload keeps no style assignment of a cell: only the styler's
    // "Styles" carry the styles themselves.
    EXPECT_EQ(copy->FindCell(2, 2)->GetStyle(), nullptr);
    EXPECT_EQ(copy->FindCell(2, 2)->AsString(), "x");
    EXPECT_EQ(Data(*copy), Data(*sheet));

    m.SetPosition(0);
    const std::string text = ComponentStreamToText(m);
    EXPECT_NE(text.find("Styler = QvStyler"), std::string::npos) << text;
    EXPECT_NE(text.find("QvData"), std::string::npos) << text;
}

TEST(SheetFile, FilesImportIntoANonEmptySheetByMerging) {
    const std::string name = testing::TempDir() + "qv_sheet_file_test.qvf";
    {
        TQvSheet s;
        s.SetCellValue(0, 0, TVariant("from file"));
        s.Sections(skClient)->Merge({2, 2, 4, 4});
        s.SaveToFile(name);
    }
    TQvSheet t;
    t.SetCellValue(0, 0, TVariant("old"));
    t.SetCellValue(4, 0, TVariant("kept"));
    t.Sections(skClient)->Merge({3, 3, 5, 5});  // overlaps the file's range: replaced
    t.LoadFromFile(name);
    EXPECT_EQ(t.FindCell(0, 0)->AsString(), "from file");
    ASSERT_NE(t.FindCell(4, 0), nullptr);
    EXPECT_EQ(t.FindCell(4, 0)->AsString(), "kept");
    ASSERT_EQ(t.Sections(skClient)->Unions().size(), 1u);
    EXPECT_EQ(t.Sections(skClient)->Unions()[0]->Rect(), (TRect{2, 2, 4, 4}));
    ExpectIntact(t);
    std::remove(name.c_str());

    EXPECT_THROW(t.LoadFromFile(name), EFOpenError);
}

// The changes of a sheet whose save failed are still unsaved.
TEST(SheetFile, AFailedSaveKeepsTheSheetModified) {
    TQvSheet s;
    s.SetCellValue(0, 0, TVariant("typed"));
    s.SetModified(true);
    EXPECT_ANY_THROW(s.SaveToFile(testing::TempDir() + "no such folder/sheet.qvf"));
    EXPECT_TRUE(s.Modified());
}

TEST(SheetFile, BadStreamsRaiseReadErrorsAndLeaveTheSheetConsistent) {
    TQvSheet s;
    TMemoryStream junk(std::string("XXXX"));
    try {
        s.LoadFromStream(junk);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "Invalid stream format");
    }
    EXPECT_EQ(s.UpdateCount(), 0);

    // An unknown property ends the read; what came before it is undone.
    TQvSheet src;
    src.SetColCount(9);
    TMemoryStream m;
    src.SaveToStream(m);
    std::string bytes = m.Bytes();
    const size_t at = bytes.find("ColDefWidth");
    ASSERT_NE(at, std::string::npos);
    bytes[at] = 'X';
    TMemoryStream bad(bytes);
    TQvSheet t;
    try {
        t.LoadFromStream(bad);
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("XolDefWidth"), std::string::npos) << e.what();
    }
    EXPECT_EQ(t.ColCount(), 5);
    EXPECT_EQ(t.UpdateCount(), 0);
    ExpectIntact(t);
}

// Random sheets with every kind of content: writing, reading into a fresh
// sheet and writing again gives the same bytes.
TEST(SheetData, RandomSheetsRoundTripByteForByte) {
    const TClass classes[] = {TQvCString::StaticClass(),   TQvCStrings::StaticClass(),
                              TQvCInteger::StaticClass(),  TQvCDouble::StaticClass(),
                              TQvCCurrency::StaticClass(), TQvCDateTime::StaticClass(),
                              TQvCBoolean::StaticClass()};
    for (uint32_t seed = 1; seed <= 25; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 rng(seed);
        auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<uint32_t>(n)); };
        TComponent form(nullptr);
        auto* styler = new TQvStyler(&form);
        styler->SetName("St");
        styler->AddStyle("A")->SetColor(clAqua);
        styler->AddStyle("B")->SetHAlign(haRight);
        auto* s = new TQvSheet(&form);
        s->SetName("Sh");
        s->SetStyler(styler);
        s->SetColCount(12 + pick(10));
        s->SetRowCount(12 + pick(10));
        s->SetTitleCols(1 + pick(2));
        for (int k = 0; k < 60; ++k) {
            const TQvSectionKind kind = pick(4) == 0 ? AllSectionKinds[pick(3)] : skClient;
            TQvSection* sec = s->Sections(kind);
            const TPoint p{pick(12), pick(12)};
            switch (pick(9)) {
                case 0: {
                    TQvCell* c = sec->NeedCellOfClass(p, classes[pick(7)]);
                    if (c) c->SetAsString(std::to_string(pick(1000)));
                    break;
                }
                case 1:
                    if (TQvCell* c = sec->NeedCell(p)) c->Font()->SetStyle({fsItalic});
                    break;
                case 2:
                    if (TQvCell* c = sec->NeedCell(p)) c->SetHint("hint " + std::to_string(k));
                    break;
                case 3: sec->Merge({p.X, p.Y, p.X + 1 + pick(3), p.Y + 1 + pick(2)}); break;
                case 4:
                    if (TQvCell* c = sec->NeedCell(p)) c->SetBorder(pick(8), {uint8_t(1 + pick(3)), clRed});
                    break;
                case 5:
                    if (TQvCell* c = sec->NeedCell(p)) c->SetFrame(static_cast<uint8_t>(pick(7)));
                    break;
                case 6:
                    if (TQvCell* c = sec->NeedCell(p)) c->SetColor(clLime);
                    break;
                case 7:
                    if (TQvCell* c = sec->NeedCell(p)) c->SetStyle(styler->Styles(pick(2)));
                    break;
                default: s->SetSize(pick(14) - 2, pick(2) ? axCols : axRows, pick(40)); break;
            }
        }
        TMemoryStream m1;
        s->SaveToStream(m1);
        auto* r = new TQvSheet(&form);
        m1.SetPosition(0);
        r->LoadFromStream(m1);
        // A border written next to a range may leave that range's shared
        // edge mixed; loading keeps it, so the load gives back every border.
        ExpectIntact(*r);
        EXPECT_EQ(Data(*r), Data(*s));
        const std::string once = Data(*r);
        auto* again = new TQvSheet(&form);
        TMemoryStream in(once);
        again->ReadData(in);
        EXPECT_EQ(Data(*again), once);
        EXPECT_EQ(again->Styler(), nullptr);  // ReadData alone carries no styler
    }
}
