#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/range_record.h"
#include "exchange/text_table.h"
#include "grids/base_style.h"
#include "grids/cell_batch.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/stream.h"

using namespace qv;

namespace {

std::string Data(TQvSheet& S) {
    TMemoryStream m;
    S.WriteData(m);
    return m.Bytes();
}

TQvCell* Put(TQvSheet& S, int32_t X, int32_t Y, TQvCellClass Cls) {
    return S.Sections(skClient)->NeedCellOfClass({X, Y}, Cls);
}

// A formatted 4 x 4 block at (1, 1) .. (4, 4): every kind of thing a range
// record carries.
struct TFormatted {
    TQvStyler Styler;
    TQvSheet Sheet;
    TFormatted() {
        Styler.AddStyle("Head")->SetColor(clAqua);
        Sheet.SetStyler(&Styler);
        Sheet.SetColCount(8);
        Sheet.SetRowCount(8);
        TQvCell* n = Put(Sheet, 1, 1, TQvCInteger::StaticClass());
        n->SetAsInteger(42);
        n->SetFormat("#,##0");
        n->SetHint("the answer");
        n->SetStyle(Styler.FindStyle("Head"));
        TQvCell* d = Put(Sheet, 2, 1, TQvCDouble::StaticClass());
        d->SetAsFloat(2.5);
        d->Font()->SetStyle({fsBold, fsItalic});
        TQvCell* when = Put(Sheet, 3, 1, TQvCDateTime::StaticClass());
        when->SetAsDateTime(EncodeDate(2024, 2, 29));
        when->SetFormat("yyyy-mm-dd");
        Put(Sheet, 1, 3, TQvCString::StaticClass())->SetAsString("merged");
        TQvCellRange(Sheet, {1, 3, 3, 5})->Merge();
        TQvCellRange box(Sheet, {1, 1, 5, 5});
        box->SetBorder(liLeft, {lsMedium, clRed});
        box->SetBorder(liRight, {lsSingle, clBlue});
        box->SetBorder(liHInternal, {lsSingle, clGray});
        TQvCellRange filled(Sheet, {2, 2, 4, 3});
        filled->SetColor(clYellow);
        filled->SetFrame(frBevelUp);
        filled->SetHAlign(haCenter);
        Sheet.SetSize(2, axCols, 90);
        Sheet.SetSize(4, axRows, 30);
    }
};

}  // namespace

TEST(RangeRecord, CopyAndPasteBetweenSheetsKeepsEverything) {
    TFormatted src;
    const std::string bytes = RangeRecordBytes(src.Sheet, skClient, {1, 1, 5, 5});

    // Into an empty sheet at the same place: the sheet data is the same.
    TQvStyler styler;
    styler.AddStyle("Head")->SetColor(clAqua);
    TQvSheet same;
    same.SetStyler(&styler);
    same.SetColCount(8);
    same.SetRowCount(8);
    const TQvPasteResult r = PasteRangeRecord(bytes, same, skClient, {1, 1});
    EXPECT_EQ(r.Area, (TRect{1, 1, 5, 5}));
    EXPECT_FALSE(r.WasCut());
    EXPECT_EQ(r.Message(), "");
    EXPECT_EQ(Data(same), Data(src.Sheet));
    EXPECT_EQ(same.Sections(skClient)->FindCell({1, 1})->GetStyle(), styler.FindStyle("Head"));
    EXPECT_EQ(same.Sections(skClient)->CheckIntegrity(), "");

    // Elsewhere, over cells, lines and a merged range that were there:
    // copying the landed range again gives the same record.
    TQvSheet other;
    other.SetStyler(&styler);
    other.SetColCount(9);
    other.SetRowCount(9);
    TQvCellRange old(other, {3, 2, 8, 7});
    old->SetValue(TVariant(std::string("old")));
    old->SetBorder(liVInternal, {lsDouble, clGreen});
    old->SetColor(clSilver);
    TQvCellRange(other, {6, 5, 8, 8})->Merge();
    PasteRangeRecord(bytes, other, skClient, {4, 3});
    EXPECT_EQ(RangeRecordBytes(other, skClient, {4, 3, 8, 7}), bytes);
    EXPECT_EQ(other.GetSize(axCols, 5), 90);
    EXPECT_EQ(other.CellValue(3, 3), TVariant(std::string("old")));  // beside the area
    EXPECT_EQ(other.Sections(skClient)->CheckIntegrity(), "");

    // A target styler without the name: the cell has no style.
    TQvSheet bare;
    bare.SetColCount(8);
    bare.SetRowCount(8);
    PasteRangeRecord(bytes, bare, skClient, {0, 0});
    EXPECT_EQ(bare.Sections(skClient)->FindCell({0, 0})->GetStyle(), nullptr);
    EXPECT_EQ(bare.CellValue(0, 0), TVariant(int32_t(42)));
}

TEST(RangeRecord, APasteIsCutAtTheEndOfTheSheetAndSkipsProtectedCells) {
    TFormatted src;
    const std::string bytes = RangeRecordBytes(src.Sheet, skClient, {1, 1, 5, 5});
    TQvSheet t;
    t.SetColCount(5);
    t.SetRowCount(4);
    TQvCell* locked = Put(t, 3, 2, TQvCString::StaticClass());
    locked->SetAsString("keep");
    locked->SetProtected(true);
    const TQvPasteResult r = PasteRangeRecord(bytes, t, skClient, {2, 1});
    EXPECT_EQ(r.Area, (TRect{2, 1, 5, 4}));
    EXPECT_EQ(r.CutCols, 1);
    EXPECT_EQ(r.CutRows, 1);
    EXPECT_EQ(r.Skipped, 1);
    EXPECT_EQ(r.Message(),
              "The paste was cut at the end of the sheet: 1 column and 1 row were left out. "
              "1 protected cell was left as they were.");
    EXPECT_EQ(t.CellValue(3, 2), TVariant(std::string("keep")));
    EXPECT_TRUE(t.Sections(skClient)->FindCell({3, 2})->Protected());
    EXPECT_EQ(t.CellValue(2, 1), TVariant(int32_t(42)));
    EXPECT_EQ(t.Sections(skClient)->FindCell({4, 1})->AsDateTime(), EncodeDate(2024, 2, 29));
    // Nothing lands beyond the counts, not even lines or fills.
    TQvSection& s = *t.Sections(skClient);
    EXPECT_LE(s.Last(), 3);
    for (int tb = 0; tb < TQvSection::TableCount; ++tb) {
        s.Tables(static_cast<TQvSectionTable>(tb))->ForEach([&](int32_t line, TObject* l) {
            EXPECT_LE(line, tb == tbVertLines ? 5 : 4) << tb;
            EXPECT_LE(static_cast<TSList*>(l)->Last(), tb == tbVertLines ? 3 : 4) << tb;
            return false;
        });
    }
    // The merged range would cover the protected cell's row only in part:
    // (2, 3) .. (3, 3) is free, and lands.
    EXPECT_TRUE(s.HasUnion({2, 3, 4, 4}));
    EXPECT_EQ(s.CheckIntegrity(), "");
}

TEST(RangeRecord, ADamagedRecordRaisesAndChangesNothing) {
    TFormatted src;
    const std::string bytes = RangeRecordBytes(src.Sheet, skClient, {1, 1, 5, 5});
    TQvSheet t;
    t.SetColCount(8);
    t.SetRowCount(8);
    t.SetCellValue(2, 2, TVariant(int32_t(7)));
    const std::string before = Data(t);
    for (size_t n = 0; n < bytes.size(); n += (n < 64 ? 1 : 7)) {
        EXPECT_THROW(PasteRangeRecord(bytes.substr(0, n), t, skClient, {1, 1}), EReadError) << n;
        ASSERT_EQ(Data(t), before) << n;
    }
    // A cell record claiming more than its bytes, and a foreign signature.
    std::string bad = bytes;
    bad[4] = 9;
    EXPECT_THROW(PasteRangeRecord(bad, t, skClient, {1, 1}), EReadError);
    EXPECT_THROW(PasteRangeRecord("<table></table>", t, skClient, {1, 1}), EReadError);
    // A record claiming more cells than a paste takes, sizes and all.
    TMemoryStream huge;
    huge.WriteBytes("QVRG");
    huge.WriteInt32(1);
    huge.WriteByte(skClient);
    huge.WriteInt32(10000);
    huge.WriteInt32(10000);
    huge.WriteBytes(std::string(80000, '\xff') + std::string(20, '\0'));
    EXPECT_THROW(PasteRangeRecord(huge.Bytes(), t, skClient, {1, 1}), EReadError);
    EXPECT_EQ(Data(t), before);
}

TEST(TextTable, TabTextFromASpreadsheetLandsAsTypedValues) {
    const TTextTable tt = ParseTabText("1\t2.5\t007\r\n\"two\nlines\"\t2024-02-29\t\n\"a \"\"q\"\"\tb\"\t\t-3\n");
    ASSERT_EQ(tt.Rows, 3);
    ASSERT_EQ(tt.Cols, 3);
    TQvSheet t;
    t.SetColCount(3);
    t.SetRowCount(4);
    t.SetCellValue(1, 3, TVariant(std::string("below")));
    TQvCell* kept = Put(t, 0, 1, TQvCString::StaticClass());
    kept->Font()->SetStyle({fsBold});
    t.SetCellValue(2, 1, TVariant(std::string("gone")));
    const TQvPasteResult r = PasteTextTable(tt, t, skClient, {0, 1});
    EXPECT_EQ(r.CutRows, 0);
    TQvSection& s = *t.Sections(skClient);
    EXPECT_EQ(s.FindCell({0, 1})->ClassType(), TQvCInteger::StaticClass());
    EXPECT_EQ(s.FindCell({1, 1})->ClassType(), TQvCDouble::StaticClass());
    EXPECT_EQ(t.CellValue(2, 1), TVariant(std::string("007")));
    EXPECT_EQ(t.CellValue(0, 2), TVariant(std::string("two\nlines")));
    EXPECT_EQ(s.FindCell({1, 2})->ClassType(), TQvCDateTime::StaticClass());
    EXPECT_EQ(s.FindCell({2, 2}), nullptr);  // an empty field
    // The last line landed on the last row; nothing past it.
    EXPECT_EQ(t.CellValue(0, 3), TVariant(std::string("a \"q\"\tb")));
    EXPECT_EQ(s.FindCell({1, 3}), nullptr);
    EXPECT_EQ(t.CellValue(2, 3), TVariant(int32_t(-3)));

    // A text cell given text again keeps its own font.
    PasteTextTable(ParseTabText("x"), t, skClient, {0, 2});
    TQvSheet u;
    u.SetColCount(2);
    u.SetRowCount(2);
    TQvCell* bold = Put(u, 0, 0, TQvCString::StaticClass());
    bold->Font()->SetStyle({fsBold});
    PasteTextTable(ParseTabText("y\tz\nw\n"), u, skClient, {0, 0});
    EXPECT_TRUE(u.Sections(skClient)->FindCell({0, 0})->Font()->Style().Contains(fsBold));
    EXPECT_EQ(ParseTabText("").Rows, 0);
    EXPECT_EQ(ParseTabText("\n").Rows, 1);
}

TEST(TextTable, CopiedTextAndHtmlReadBackAsTheRange) {
    TFormatted src;
    const TRect r{1, 1, 5, 5};
    const std::string tsv = RangeToTabText(src.Sheet, skClient, r);
    EXPECT_EQ(tsv, "42\t2.5\t2024-02-29\t\n\t\t\t\nmerged\t\t\t\n\t\t\t\n");
    const std::string html = RangeToHtml(src.Sheet, skClient, r);
    EXPECT_NE(html.find("colspan=\"2\" rowspan=\"2\""), std::string::npos);
    EXPECT_NE(html.find("font-weight:bold;font-style:italic"), std::string::npos);
    EXPECT_NE(html.find("border-left:2px solid #ff0000"), std::string::npos);
    EXPECT_NE(html.find("background-color:#ffff00"), std::string::npos);
    const TTextTable back = ParseHtmlTable(html);
    EXPECT_EQ(back.Rows, 4);
    EXPECT_EQ(back.Cols, 4);
    ASSERT_EQ(back.Cells.size(), 4u);
    EXPECT_EQ(back.Cells[3].Text, "merged");
    EXPECT_EQ(back.Cells[3].Row, 2);
    EXPECT_EQ(back.Cells[2].Value.Kind, tvDate);

    // What browsers and word processors hand over: no end tags, entities,
    // spans, markup inside cells and a table nested in a cell.
    const TTextTable loose = ParseHtmlTable(
        "<p>intro<TABLE border=1><tr><th rowspan=2>A&amp;B<td>1<td><b>x</b>&nbsp; y<br>z"
        "<tr><td colspan='2'>&#x41;&#66;<!-- <td>no --><tr><td><table><tr><td>in</table><td>3.5</table>"
        "<table><tr><td>second</table>");
    EXPECT_EQ(loose.Rows, 3);
    EXPECT_EQ(loose.Cols, 3);
    ASSERT_EQ(loose.Cells.size(), 6u);
    EXPECT_EQ(loose.Cells[0].Text, "A&B");
    EXPECT_EQ(loose.Cells[1].Value.Kind, tvInteger);
    EXPECT_EQ(loose.Cells[2].Text, "x y\nz");
    EXPECT_EQ(loose.Cells[3].Col, 1);
    EXPECT_EQ(loose.Cells[3].Text, "AB");
    EXPECT_EQ(loose.Cells[4].Text, "in");
    EXPECT_EQ(loose.Cells[5].Value.Kind, tvDouble);
    EXPECT_EQ(ParseHtmlTable("<p>no table</p>").Rows, 0);
}

TEST(RangeRecord, TitleCellsTravelWithTheirTitleSizesAndTextSkipsProtectedCells) {
    TQvSheet s;
    s.SetTitleCols(2);
    s.SetCellValue(-2, 1, TVariant(std::string("a")));
    s.SetCellValue(-1, 2, TVariant(std::string("b")));
    s.SetSize(-2, axCols, 33);  // title entry 1
    const std::string bytes = RangeRecordBytes(s, skRowTitles, {0, 1, 2, 3});
    TQvSheet t;
    t.SetTitleCols(2);
    t.Sections(skRowTitles)->BaseStyle()->SetProtected(true);
    TQvCell* open = t.Sections(skRowTitles)->NeedCell({1, 3});
    open->SetProtected(false);
    // Only (1, 3) may be written: "b" lands, "a" and the empty (0, 3) do not.
    const TQvPasteResult r = PasteRangeRecord(bytes, t, skRowTitles, {0, 2});
    EXPECT_EQ(r.Skipped, 3);
    EXPECT_EQ(t.CellValue(-1, 3), TVariant(std::string("b")));
    EXPECT_EQ(t.FindCell(-2, 2), nullptr);
    EXPECT_EQ(t.GetSize(axCols, -2), 33);

    // The same for text: protected cells keep their values, empty fields
    // release only unprotected cells.
    TQvSheet u;
    u.SetCellValue(0, 0, TVariant(std::string("locked")));
    u.FindCell(0, 0)->SetProtected(true);
    u.SetCellValue(1, 0, TVariant(std::string("free")));
    const TQvPasteResult q = PasteTextTable(ParseTabText("x\t\ny\tz\n"), u, skClient, {0, 0});
    EXPECT_EQ(q.Skipped, 1);
    EXPECT_EQ(u.CellValue(0, 0), TVariant(std::string("locked")));
    EXPECT_EQ(u.FindCell(1, 0), nullptr);
    EXPECT_EQ(u.CellValue(1, 1), TVariant(std::string("z")));

    // Spans in HTML cannot make a table wider than a spreadsheet's.
    const TTextTable wide = ParseHtmlTable("<table><tr><td colspan=999>a<td colspan=999>b</table>");
    EXPECT_EQ(wide.Cols, 1998);
    std::string many = "<table><tr>";
    for (int i = 0; i < 40; ++i) many += "<td colspan=1000 rowspan=1000>x";
    EXPECT_EQ(ParseHtmlTable(many + "</table>").Cols, 16384);
}

// A paste that runs out of memory half-way puts everything back: the cells
// it replaced, the merged ranges it removed, lines, fills, frames and sizes.
TEST(RangeRecord, APasteThatRunsOutOfMemoryLeavesTheSheetAsItWas) {
    TFormatted src, target;
    target.Sheet.SetModified(false);
    const TQvSheetSnapshot before = TakeSnapshot(target.Sheet);
    const std::string bytes = RangeRecordBytes(src.Sheet, skClient, {1, 1, 5, 5});
    const auto expectUnchanged = [&](const std::function<void()>& Paste) {
        TQvCellBatch::FailAfter = 2;
        try {
            Paste();
            ADD_FAILURE() << "no error";
        } catch (const EQvGridError& e) {
            EXPECT_NE(std::string(e.what()).find("Not enough memory to paste"), std::string::npos) << e.what();
        }
        TQvCellBatch::FailAfter = -1;
        EXPECT_TRUE(TakeSnapshot(target.Sheet) == before);
        EXPECT_FALSE(target.Sheet.Modified());
        EXPECT_EQ(target.Sheet.Sections(skClient)->FindCell({1, 1})->GetStyle(), target.Styler.FindStyle("Head"));
        for (TQvSectionKind k : AllSectionKinds) EXPECT_EQ(target.Sheet.Sections(k)->CheckIntegrity(), "");
    };
    const auto range = TQvRangeData::FromBytes(bytes);
    expectUnchanged([&] { range->Paste(target.Sheet, skClient, {2, 2}); });
    expectUnchanged([&] { PasteTextTable(ParseTabText("1\t2\t3\n4\t5\t6\n"), target.Sheet, skClient, {0, 1}); });
    expectUnchanged([&] { PasteTextTable(ParseTabText("1\t2\t3\n"), target.Sheet, skColTitles, {1, 0}); });
    // The same pastes go through once memory suffices.
    PasteRangeRecord(bytes, target.Sheet, skClient, {2, 2});
    EXPECT_EQ(target.Sheet.CellValue(2, 2), TVariant(42));
}

// Over a sheet of 20,000 merged ranges, with a protected cell in the area.
TEST(RangeRecord, APasteOverManyMergedRangesTakesTimeForTheAreaOnly) {
    TQvSheet src;
    src.SetColCount(400);
    src.SetRowCount(400);
    for (int32_t y = 0; y < 400; y += 2)
        for (int32_t x = 0; x < 400; x += 40) src.SetCellValue(x, y, TVariant(x + y));
    const std::string bytes = RangeRecordBytes(src, skClient, {0, 0, 400, 400});
    TQvSheet t;
    t.SetColCount(400);
    t.SetRowCount(400);
    TQvSection& sec = *t.Sections(skClient);
    for (int32_t y = 0; y < 400; y += 2)
        for (int32_t x = 0; x < 400; x += 4) sec.AddUnion({x, y, x + 2, y + 2}, nullptr);
    ASSERT_EQ(sec.Unions().size(), 20000u);
    sec.NeedCell({4, 4})->SetProtected(true);  // heads the range (4, 4) .. (5, 5)
    const auto start = std::chrono::steady_clock::now();
    const TQvPasteResult r = PasteRangeRecord(bytes, t, skClient, {0, 0});
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 5.0);
    EXPECT_EQ(r.Skipped, 4);
    EXPECT_EQ(t.FindCell(40, 2)->AsString(), "42");
    EXPECT_EQ(sec.Unions().size(), 1u);
}
