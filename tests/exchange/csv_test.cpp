#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/picture_cell.h"
#include "cells/string_cell.h"
#include "cells/strings_cell.h"
#include "exchange/atomic_file.h"
#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/value_text.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "lists/slist.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/stream.h"

using namespace qv;

namespace {

TCsvImportResult Import(TQvSheet& S, const std::string& Text, TCsvOptions O = {}, TPoint Origin = {0, 0}) {
    TMemoryStream m(Text);
    return ImportCsv(S, m, O, "data.csv", Origin);
}

std::string Export(TQvSheet& S, TCsvOptions O = {}) {
    TMemoryStream m;
    ExportCsv(S, m, O);
    return m.Bytes();
}

std::string ClassOf(TQvSheet& S, int32_t X, int32_t Y) {
    TQvCell* c = S.FindCell(X, Y);
    return c ? std::string(c->ClassName()) : "none";
}

std::string TempPath(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("qv_csv_test_" + Name)).string();
}

}  // namespace

TEST(CsvImport, DetectsCellClassesLikeASpreadsheet) {
    TQvSheet s;
    Import(s, "42,-7,007,3.25,1e3,.5\n"
              "2024-02-29,2023-02-29,2024-02-29 13:05:07.25,2024-02-29T08:00, 42,12345678901\n"
              "1234567890123456789,0,00.5,-,1.2.3,inf\n");
    // Leading zeros, blanks, impossible dates and long digit strings stay text.
    const char* expected[3][6] = {
        {"TQvCInteger", "TQvCInteger", "TQvCString", "TQvCDouble", "TQvCDouble", "TQvCDouble"},
        {"TQvCDateTime", "TQvCString", "TQvCDateTime", "TQvCDateTime", "TQvCString", "TQvCDouble"},
        {"TQvCString", "TQvCInteger", "TQvCString", "TQvCString", "TQvCString", "TQvCString"},
    };
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x) EXPECT_EQ(ClassOf(s, x, y), expected[y][x]) << x << "," << y;
    EXPECT_EQ(s.FindCell(2, 0)->AsString(), "007");
    EXPECT_EQ(s.FindCell(0, 1)->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(s.FindCell(0, 1)->GetText(), "2024-02-29");
    EXPECT_EQ(s.FindCell(2, 1)->GetText(), "2024-02-29 13:05:07");
    EXPECT_DOUBLE_EQ(s.FindCell(5, 1)->AsFloat(), 12345678901.0);

    TQvSheet plain;
    TCsvOptions o;
    o.DetectTypes = false;
    Import(plain, "42,2024-01-01\n", o);
    EXPECT_EQ(ClassOf(plain, 0, 0), "TQvCString");
    EXPECT_EQ(ClassOf(plain, 1, 0), "TQvCString");
}

TEST(CsvImport, QuotingSeparatorsBomRaggedRowsAndLineEnds) {
    TQvSheet s;
    const auto r = Import(s, "\xEF\xBB\xBFname;'it''s; here';x\r\n'two\r\nlines'\r\n\r\n;;;;last\r\n", [] {
        TCsvOptions o;
        o.Separator = ';';
        o.Quote = '\'';
        return o;
    }());
    EXPECT_EQ(r.Rows, 4);
    EXPECT_EQ(r.Cols, 5);
    EXPECT_EQ(r.Cells, 5);
    EXPECT_EQ(s.FindCell(0, 0)->AsString(), "name");  // the mark is not part of it
    EXPECT_EQ(s.FindCell(1, 0)->AsString(), "it's; here");
    EXPECT_EQ(s.FindCell(0, 1)->AsString(), "two\r\nlines");
    EXPECT_EQ(s.FindCell(0, 2), nullptr);  // the blank line is an empty row
    EXPECT_EQ(s.FindCell(4, 3)->AsString(), "last");
    EXPECT_EQ(s.ColCount(), 5);  // grown from 5 columns? no: already 5
    EXPECT_EQ(s.RowCount(), 5);

    TQvSheet wide;
    Import(wide, "a\nb,c,d,e,f,g,h\n");
    EXPECT_EQ(wide.ColCount(), 7);
    EXPECT_EQ(wide.FindCell(6, 1)->AsString(), "h");
}

TEST(CsvImport, ReplacesCellsInTheCoveredAreaOnly) {
    TQvSheet s;
    s.SetCellValue(0, 0, TVariant(std::string("old")));
    s.SetCellValue(1, 0, TVariant(std::string("gone")));
    s.SetCellValue(4, 4, TVariant(std::string("outside")));
    Import(s, "1,\n");
    EXPECT_EQ(ClassOf(s, 0, 0), "TQvCInteger");
    EXPECT_EQ(s.FindCell(1, 0), nullptr);
    EXPECT_EQ(s.FindCell(4, 4)->AsString(), "outside");
}

TEST(CsvImport, EmptyInputChangesNothing) {
    TQvSheet s;
    s.SetCellValue(0, 0, TVariant(std::string("keep")));
    const auto r = Import(s, "");
    EXPECT_EQ(r.Rows, 0);
    EXPECT_EQ(r.Cells, 0);
    EXPECT_EQ(s.FindCell(0, 0)->AsString(), "keep");
    EXPECT_EQ(s.ColCount(), 5);
}

TEST(CsvImport, InvalidUtf8IsReplacedAndReportedOnce) {
    TQvSheet s;
    const auto r = Import(s, "ok,bad\xFF\n\xC3(,caf\xC3\xA9\n");
    EXPECT_EQ(s.FindCell(1, 0)->AsString(), "bad\xEF\xBF\xBD");
    EXPECT_EQ(s.FindCell(0, 1)->AsString(), "\xEF\xBF\xBD(");
    EXPECT_EQ(s.FindCell(1, 1)->AsString(), "caf\xC3\xA9");
    ASSERT_EQ(r.Warnings.size(), 1u);
    EXPECT_EQ(r.Warnings[0], "data.csv: line 1, column 2: invalid UTF-8 replaced by U+FFFD (2 fields)");
}

TEST(CsvImport, DataPastTheSheetLimitsIsRefusedWithoutChangingTheSheet) {
    const int32_t last = TSList().MaxIndex();
    TQvSheet s;
    s.SetCellValue(0, 0, TVariant(std::string("keep")));
    try {
        Import(s, "a\n\"b\nb\"\nc\n", {}, {0, last - 1});
        FAIL() << "no error";
    } catch (const EReadError& e) {
        // Line 4: the third record starts after the quoted line break.
        EXPECT_EQ(std::string(e.what()), "data.csv: line 4, column 1: past the last row a sheet can hold (" +
                                             std::to_string(last + 1) + ")");
    }
    // Blank lines are rows too.
    try {
        Import(s, "a\n\n\n", {}, {0, last - 1});
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(std::string(e.what()), "data.csv: line 3, column 1: past the last row a sheet can hold (" +
                                             std::to_string(last + 1) + ")");
    }
    EXPECT_THROW(Import(s, "x,y\n", {}, {last, 0}), EReadError);
    EXPECT_EQ(s.RowCount(), 5);
    EXPECT_EQ(s.FindCell(0, 0)->AsString(), "keep");
    EXPECT_EQ(s.Sections(skClient)->Last(), 0);

    try {
        Import(s, "a,b\n\"open,c\n");
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(std::string(e.what()), "data.csv: line 2, column 1: a quoted field is not closed");
    }
    EXPECT_EQ(s.FindCell(1, 0), nullptr);
    EXPECT_THROW(Import(s, "ok\nab\"c\n"), EReadError);
}

TEST(CsvExport, QuotesWhatNeedsQuotingAndWritesTheUsedArea) {
    TQvSheet s;
    s.SetCellValue(0, 0, TVariant(std::string("plain")));
    s.SetCellValue(1, 0, TVariant(std::string("a,b")));
    s.SetCellValue(2, 0, TVariant(std::string("say \"hi\"")));
    s.SetCellValue(0, 1, TVariant(std::string("two\nlines")));
    s.SetCellValue(2, 1, TVariant(std::string(" padded")));
    s.SetCellValue(7, 7, TVariant(std::string("beyond the counts")));
    EXPECT_EQ(Export(s), "plain,\"a,b\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",,\" padded\"\r\n");

    TCsvOptions o;
    o.Separator = '\t';
    o.Encoding = ceUtf8Bom;
    EXPECT_EQ(Export(s, o).rfind("\xEF\xBB\xBFplain\ta,b\t\"say \"\"hi", 0), 0u);
}

TEST(CsvExport, DisplayTextsOrRawValuesRoundTrip) {
    TQvSheet s;
    s.SetColCount(10);
    auto* section = s.Sections(skClient);
    auto put = [&](int32_t X, TClass Cls) { return section->NeedCellOfClass({X, 0}, Cls); };
    put(0, TQvCInteger::StaticClass())->SetAsInteger(-1234);
    TQvCell* d = put(1, TQvCDouble::StaticClass());
    d->SetAsFloat(3.14159);
    d->SetFormat("0.00");
    put(2, TQvCDouble::StaticClass())->SetAsFloat(0.1 + 0.2);
    put(3, TQvCCurrency::StaticClass())->SetAsCurrency(Currency::FromScaled(-12345));
    TQvCell* when = put(4, TQvCDateTime::StaticClass());
    when->SetAsDateTime(EncodeDateTime(2024, 2, 29, 13, 5, 7, 250));
    when->SetFormat("dd/mm/yyyy");
    put(5, TQvCString::StaticClass())->SetAsString("007");
    put(6, TQvCString::StaticClass())->SetAsString("line\r\nbreak, \"quoted\"");

    EXPECT_EQ(Export(s).substr(0, 40), "-1234,3.14,0.3,-1.2345,29/02/2024,007,\"l");
    TCsvOptions raw;
    raw.RawValues = true;
    const std::string text = Export(s, raw);
    EXPECT_EQ(text.rfind("-1234,3.14159,0.30000000000000004,-1.2345,2024-02-29 13:05:07.250,007,\"li", 0), 0u);

    TQvSheet back;
    Import(back, text);
    EXPECT_EQ(back.FindCell(0, 0)->AsInteger(), -1234);
    EXPECT_EQ(back.FindCell(1, 0)->AsFloat(), 3.14159);
    EXPECT_EQ(back.FindCell(2, 0)->AsFloat(), 0.1 + 0.2);
    EXPECT_EQ(back.FindCell(3, 0)->AsFloat(), -1.2345);
    EXPECT_EQ(back.FindCell(4, 0)->AsDateTime(), when->AsDateTime());
    EXPECT_EQ(back.FindCell(5, 0)->AsString(), "007");
    EXPECT_EQ(back.FindCell(6, 0)->AsString(), "line\r\nbreak, \"quoted\"");
    // The imported sheet exports the same text again.
    EXPECT_EQ(Export(back, raw), text);
}

TEST(CsvExport, FilesAreReplacedWholeOrNotAtAll) {
    const std::string path = TempPath("atomic.csv");
    {
        std::ofstream(path) << "earlier complete file";
    }
    {
        TAtomicFile f(path);
        f.Write("half", 4);
        // Dropped without Commit: the earlier file stands, no scrap is left.
    }
    std::ifstream in(path);
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "earlier complete file");
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
        EXPECT_NE(e.path().filename().string().rfind(TAtomicFile::TempPrefix("qv_csv_test_atomic.csv"), 0), 0u);

    TQvSheet s;
    s.SetCellValue(0, 0, TVariant(int32_t(5)));
    ExportCsvFile(s, path);
    std::ifstream again(path);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(again)), {}), "5\r\n");
    std::remove(path.c_str());

    EXPECT_THROW(ExportCsvFile(s, "/nonexistent-folder/x.csv"), EFCreateError);
}

TEST(CsvImport, StartsAtAnOriginAndReportsProgress) {
    TQvSheet s;
    int64_t last = 0, total = 0;
    TCsvOptions o;
    o.Progress = [&](int64_t Done, int64_t Total) {
        last = Done;
        total = Total;
    };
    const auto r = Import(s, "a,b\nc,d\n", o, {6, 8});
    EXPECT_EQ(r.Cells, 4);
    EXPECT_EQ(s.FindCell(7, 9)->AsString(), "d");
    EXPECT_EQ(s.ColCount(), 8);
    EXPECT_EQ(s.RowCount(), 10);
    EXPECT_EQ(last, 8);
    EXPECT_EQ(total, 8);

    // Options that cannot describe CSV text, and title positions, are refused.
    TCsvOptions same;
    same.Separator = same.Quote;
    EXPECT_THROW(Import(s, "x", same), EReadError);
    EXPECT_THROW(Import(s, "x", {}, {-1, 0}), EReadError);
}

TEST(CsvExport, EveryCellClassHasAText) {
    TQvSheet s;
    s.SetColCount(8);
    auto* section = s.Sections(skClient);
    auto put = [&](int32_t X, TClass Cls) { return section->NeedCellOfClass({X, 0}, Cls); };
    put(0, TQvCBoolean::StaticClass())->SetAsBoolean(true);
    TQvCell* pick = put(1, TQvCStrings::StaticClass());
    pick->SetAsString("one\r\ntwo");
    pick->SetAsInteger(1);
    put(2, TQvCPicture::StaticClass());
    TQvCell* midnight = put(3, TQvCDateTime::StaticClass());
    midnight->SetAsDateTime(EncodeDate(1999, 12, 31));
    TQvCell* early = put(4, TQvCDateTime::StaticClass());
    early->SetAsDateTime(EncodeDateTime(2001, 1, 2, 3, 4, 5, 0));
    TCsvOptions raw;
    raw.RawValues = true;
    // Check boxes read True or False, a pick list its chosen line, a picture
    // nothing; midnight drops the time.
    EXPECT_EQ(Export(s, raw), "True,two,,1999-12-31,2001-01-02 03:04:05\r\n");
}

// An import that runs out of memory while it writes puts the sheet back:
// the cells it replaced, the counts, the merged range and lines it met.
TEST(CsvImport, AnImportThatRunsOutOfMemoryLeavesTheSheetAsItWas) {
    TQvSheet s;
    s.SetColCount(20);
    s.SetRowCount(20);
    for (int32_t y = 0; y < 20; ++y)
        for (int32_t x = 0; x < 20; ++x)
            s.SetCellValue(x, y, (x + y) % 2 ? TVariant(x * 100 + y) : TVariant("t" + std::to_string(x)));
    s.Sections(skClient)->Merge({2, 2, 4, 3});
    s.Sections(skClient)->SetLine(tbHorzLines, 3, 0, 9, 5);
    s.SetSize(3, axRows, 19);
    s.SetModified(false);
    const TQvSheetSnapshot before = TakeSnapshot(s);
    std::string csv;
    for (int r = 0; r < 30; ++r) csv += "1,2,,x,2024-01-02,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21\n";
    for (int64_t failAt : {0, 150, 629}) {
        TQvCellBatch::FailAfter = failAt;
        try {
            Import(s, csv);
            ADD_FAILURE() << "no error";
        } catch (const EReadError& e) {
            EXPECT_EQ(std::string(e.what()), "data.csv: not enough memory to import 630 cells; the sheet is unchanged");
        }
        TQvCellBatch::FailAfter = -1;
        EXPECT_TRUE(TakeSnapshot(s) == before) << "failing at cell " << failAt;
        EXPECT_FALSE(s.Modified());
        EXPECT_EQ(s.Sections(skClient)->CheckIntegrity(), "");
    }
    Import(s, csv);
    EXPECT_EQ(s.RowCount(), 30);
    EXPECT_EQ(s.CellValue(21, 29), TVariant(21));
}
