// Spreadsheet files in: files written by openpyxl and by LibreOffice (when it
// is installed), and our own export read back.
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "cells/boolean_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/openpyxl_runner.h"
#include "exchange/spreadsheet_import.h"
#include "exchange/xlsx_export.h"
#include "exchange/xlsx_formats.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/font.h"

using namespace qv;

namespace {

std::string TempPath(const std::string& Name) { return test::TempPathOf("qv_ssimport_", Name); }

// Program (Python with openpyxl and its styles) run with File as sys.argv[1].
std::string RunPython(const std::string& Program, const std::string& File) {
    return test::RunOpenpyxl("import sys, datetime, openpyxl\nfrom openpyxl.styles import *\n"
                             "from openpyxl.comments import Comment\n" + Program,
                             File);
}

TQvCell* At(TQvSheet& S, int32_t X, int32_t Y) { return S.FindCell(X, Y); }

TQvLine LineAt(TQvSheet& S, TQvSectionTable T, int32_t Line, int32_t Key) {
    bool uniform;
    return S.Sections(skClient)->GetLine(T, Line, Key, Key, uniform);
}

// A workbook with one of everything the import reads, written by openpyxl.
const char* const BookProgram = R"(
wb = openpyxl.Workbook()
ws = wb.active
ws.title = 'Data'
ws['A1'] = 'Name'; ws['B1'] = 'Amount'; ws['C1'] = 'When'
ws['A2'] = 'apples'; ws['B2'] = 1234.5; ws['B2'].number_format = '#,##0.00'
ws['C2'] = datetime.date(2024, 2, 29); ws['C2'].number_format = 'dd/mm/yyyy'
ws['D2'] = datetime.datetime(2024, 3, 1, 8, 15, 30)
ws['E2'] = True; ws['F2'] = 42; ws['G2'] = 0.25; ws['G2'].number_format = '0.0%'
ws['H2'] = '=F2*2'
ws['A3'] = 'boxed'
ws['A3'].border = Border(left=Side(style='medium', color='FFFF0000'), bottom=Side(style='double', color='FF00FF00'))
ws['A3'].fill = PatternFill('solid', fgColor='FFFFFF00')
ws['A3'].font = Font(name='Arial', size=14, bold=True, color='FF0000FF')
ws['A3'].alignment = Alignment(horizontal='center', vertical='center', wrap_text=True, indent=2)
ws['A3'].comment = Comment('a note', 'me')
ws['B4'] = 'merged'; ws.merge_cells('B4:D5')
ws.column_dimensions['C'].width = 20
ws.row_dimensions[6].hidden = True; ws['A6'] = 'hidden row'
ws.freeze_panes = 'B2'
other = wb.create_sheet('Other'); other['A1'] = 'second sheet'
wb.save(sys.argv[1])
)";

}  // namespace

TEST(SpreadsheetImport, AnOpenpyxlWorkbookKeepsValuesTypesAndLook) {
    const std::string file = TempPath("book.xlsx");
    ASSERT_EQ(RunPython(BookProgram, file), "");
    TQvSheet s;
    const TSpreadsheetImportResult r = ImportSpreadsheetFile(s, file);
    EXPECT_EQ(r.SheetNames, (std::vector<std::string>{"Data", "Other"}));
    EXPECT_EQ(r.SheetName, "Data");
    for (const std::string& w : r.Warnings) ADD_FAILURE() << w;
    // Frozen at B2: one title row and one title column; client (0, 0) is B2.
    EXPECT_EQ(s.TitleRows(), 1);
    EXPECT_EQ(s.TitleCols(), 1);
    EXPECT_EQ(s.CellValue(0, -1).AsString(), "Amount");
    EXPECT_EQ(s.CellValue(-1, 0).AsString(), "apples");
    EXPECT_EQ(s.CellValue(-1, -1).AsString(), "Name");

    TQvCell* amount = At(s, 0, 0);
    ASSERT_TRUE(dynamic_cast<TQvCDouble*>(amount));
    EXPECT_DOUBLE_EQ(amount->AsFloat(), 1234.5);
    EXPECT_EQ(amount->Format(), "#,##0.00");
    TQvCell* day = At(s, 1, 0);
    ASSERT_TRUE(dynamic_cast<TQvCDateTime*>(day));
    EXPECT_DOUBLE_EQ(day->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_EQ(day->Format(), "dd/mm/yyyy");
    TQvCell* moment = At(s, 2, 0);
    ASSERT_TRUE(dynamic_cast<TQvCDateTime*>(moment));
    EXPECT_NEAR(moment->AsDateTime(), EncodeDateTime(2024, 3, 1, 8, 15, 30, 0), 1e-8);
    ASSERT_TRUE(dynamic_cast<TQvCBoolean*>(At(s, 3, 0)));
    EXPECT_TRUE(At(s, 3, 0)->AsBoolean());
    ASSERT_TRUE(dynamic_cast<TQvCInteger*>(At(s, 4, 0)));
    EXPECT_EQ(At(s, 4, 0)->AsInteger(), 42);
    // A percentage keeps what it showed.
    EXPECT_EQ(s.CellValue(5, 0).AsString(), "25.0%");
    // openpyxl caches no result: the formula's text alone comes back.
    ASSERT_EQ(r.Formulas.size(), 1u);
    EXPECT_EQ(r.Formulas[0].Row, 1);
    EXPECT_EQ(r.Formulas[0].Col, 7);
    EXPECT_EQ(r.Formulas[0].Text, "F2*2");

    // A3 is row-title cell (0, 1).
    TQvCell* boxed = s.FindCell(-1, 1);
    ASSERT_TRUE(boxed);
    ASSERT_TRUE(boxed->OwnFont());
    EXPECT_EQ(boxed->OwnFont()->Name(), "Arial");
    EXPECT_EQ(boxed->OwnFont()->Size(), 14);
    EXPECT_TRUE(boxed->OwnFont()->Style().Contains(fsBold));
    EXPECT_EQ(boxed->OwnFont()->Color(), clBlue);
    EXPECT_EQ(boxed->Layout().HAlign, haCenter);
    EXPECT_EQ(boxed->Layout().VAlign, vaCenter);
    EXPECT_EQ(boxed->Layout().WrapMode, wmWrapWords);
    EXPECT_EQ(boxed->Layout().Indent, 18);
    EXPECT_EQ(boxed->Hint(), "a note");
    TQvSection& titles = *s.Sections(skRowTitles);
    bool uniform;
    EXPECT_EQ(titles.GetLine(tbVertLines, 0, 1, 1, uniform), PackLine(lsMedium, clRed));
    EXPECT_EQ(titles.GetLine(tbHorzLines, 2, 0, 0, uniform), PackLine(lsDouble, clLime));
    EXPECT_EQ(titles.GetLine(tbFill, 1, 0, 0, uniform), PackLine(lsSingle, clYellow));

    // B4:D5 is client (0, 2) .. (2, 3).
    const auto& unions = s.Sections(skClient)->Unions();
    ASSERT_EQ(unions.size(), 1u);
    EXPECT_EQ(unions[0]->Rect(), (TRect{0, 2, 3, 4}));
    EXPECT_EQ(s.CellValue(0, 2).AsString(), "merged");
    // Column C is client column 1: 20 characters, padding included.
    EXPECT_EQ(s.GetSize(axCols, 1), 140);
    EXPECT_EQ(s.GetSize(axRows, 4), 0);  // row 6, hidden
    EXPECT_EQ(s.RowCount(), 5);
    EXPECT_EQ(s.ColCount(), 7);

    // Another sheet by name, and by number.
    TQvSheet other;
    ImportSpreadsheetFile(other, file, {"Other", 0});
    EXPECT_EQ(other.CellValue(0, 0).AsString(), "second sheet");
    TQvSheet second;
    EXPECT_EQ(ImportSpreadsheetFile(second, file, {"", 1}).SheetName, "Other");
    try {
        ImportSpreadsheetFile(second, file, {"Missing", 0});
        ADD_FAILURE() << "no error";
    } catch (const EReadError& e) {
        EXPECT_NE(std::string(e.what()).find("no sheet named \"Missing\" (it has \"Data\", \"Other\")"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(second.CellValue(0, 0).AsString(), "second sheet");  // unchanged by the failure
    std::remove(file.c_str());
}

// LibreOffice rewrites the openpyxl workbook as .xlsx and as .ods; a
// headless run keeps no view, so frozen panes do not survive it.
TEST(SpreadsheetImport, WorkbooksLibreOfficeWroteKeepValuesTypesAndLook) {
    if (std::system("command -v soffice > /dev/null 2>&1") != 0) GTEST_SKIP() << "LibreOffice is not installed";
    const std::string dir = TempPath("lo");
    std::filesystem::create_directories(dir);
    const std::string source = dir + "/book.xlsx";
    ASSERT_EQ(RunPython(BookProgram, source), "");
    const std::string convert = "cd " + dir + " && soffice --headless -env:UserInstallation=file://" + dir +
                                "/profile --convert-to ";
    ASSERT_EQ(std::system((convert + "ods --outdir out book.xlsx > /dev/null 2>&1").c_str()), 0);
    ASSERT_EQ(std::system((convert + "xlsx --outdir out out/book.ods > /dev/null 2>&1").c_str()), 0);
    for (const char* name : {"book.xlsx", "book.ods"}) {
        SCOPED_TRACE(name);
        TQvSheet s;
        const TSpreadsheetImportResult r = ImportSpreadsheetFile(s, dir + "/out/" + name);
        EXPECT_EQ(r.SheetNames, (std::vector<std::string>{"Data", "Other"}));
        EXPECT_EQ(s.TitleRows(), 0);
        EXPECT_EQ(s.TitleCols(), 0);
        EXPECT_EQ(s.CellValue(0, 0).AsString(), "Name");
        ASSERT_TRUE(dynamic_cast<TQvCDouble*>(s.FindCell(1, 1)));
        EXPECT_DOUBLE_EQ(s.FindCell(1, 1)->AsFloat(), 1234.5);
        ASSERT_TRUE(dynamic_cast<TQvCDateTime*>(s.FindCell(2, 1)));
        EXPECT_DOUBLE_EQ(s.FindCell(2, 1)->AsDateTime(), EncodeDate(2024, 2, 29));
        ASSERT_TRUE(dynamic_cast<TQvCBoolean*>(s.FindCell(4, 1)));
        EXPECT_TRUE(s.FindCell(4, 1)->AsBoolean());
        ASSERT_TRUE(dynamic_cast<TQvCInteger*>(s.FindCell(5, 1)));
        EXPECT_EQ(s.FindCell(5, 1)->AsInteger(), 42);
        // The formula's cached result, and its text.
        EXPECT_EQ(s.CellValue(7, 1).AsString(), "84");
        bool found = false;
        for (const TSpreadsheetFormula& f : r.Formulas) found = found || (f.Row == 1 && f.Col == 7);
        EXPECT_TRUE(found);
        // A3: the border, the fill and the font.
        EXPECT_EQ(LineAt(s, tbVertLines, 0, 2), PackLine(lsMedium, clRed));
        EXPECT_EQ(LineAt(s, tbHorzLines, 3, 0), PackLine(lsDouble, clLime));
        EXPECT_EQ(LineAt(s, tbFill, 2, 0), PackLine(lsSingle, clYellow));
        ASSERT_TRUE(s.FindCell(0, 2) && s.FindCell(0, 2)->OwnFont());
        EXPECT_TRUE(s.FindCell(0, 2)->OwnFont()->Style().Contains(fsBold));
        ASSERT_EQ(s.Sections(skClient)->Unions().size(), 1u);
        EXPECT_EQ(s.Sections(skClient)->Unions()[0]->Rect(), (TRect{1, 3, 4, 5}));
        // Twenty characters: the .xlsx file says so; the document gives the
        // inches LibreOffice made of them (1.944 in, with its own font).
        EXPECT_EQ(s.GetSize(axCols, 2), std::string(name) == "book.xlsx" ? 140 : 187);
        EXPECT_EQ(s.FindCell(0, 2)->Hint(), "a note");
        EXPECT_EQ(s.CellValue(6, 1).AsString(), "25.0%");
        EXPECT_EQ(s.GetSize(axRows, 5), 0) << "row 6 is hidden";
    }
    std::filesystem::remove_all(dir);
}

TEST(SpreadsheetImport, BothDateSystemsGiveTheSameDays) {
    const std::string file = TempPath("1904.xlsx");
    ASSERT_EQ(RunPython(R"(
from openpyxl.utils.datetime import CALENDAR_MAC_1904
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
ws = wb.active
ws['A1'] = datetime.date(2024, 2, 29); ws['A2'] = datetime.datetime(1999, 12, 31, 23, 59, 59)
wb.save(sys.argv[1])
)", file), "");
    TQvSheet s;
    ImportSpreadsheetFile(s, file);
    EXPECT_DOUBLE_EQ(s.FindCell(0, 0)->AsDateTime(), EncodeDate(2024, 2, 29));
    EXPECT_NEAR(s.FindCell(0, 1)->AsDateTime(), EncodeDateTime(1999, 12, 31, 23, 59, 59, 0), 1e-8);
    std::remove(file.c_str());
}

TEST(SpreadsheetImport, OurOwnExportComesBackEqual) {
    TQvSheet s;
    s.SetColCount(6);
    s.SetRowCount(6);
    s.SetTitleRows(1);
    s.SetCellValue(0, -1, TVariant(std::string("Item")));
    auto put = [&](int32_t X, int32_t Y, TClass Cls) {
        TPoint local;
        const TQvSectionKind kind = s.MapCoord(X, Y, local);
        return s.Sections(kind)->NeedCellOfClass(local, Cls);
    };
    TQvCell* n = put(0, 0, TQvCInteger::StaticClass());
    n->SetAsInteger(1234567);
    n->SetFormat("#,##0");
    TQvCell* d = put(1, 0, TQvCDouble::StaticClass());
    d->SetAsFloat(3.14159);
    d->SetFormat("0.00 \"kg\"");
    d->Font()->SetStyle({fsBold});
    d->Font()->SetColor(clBlue);
    TQvCell* when = put(2, 0, TQvCDateTime::StaticClass());
    when->SetAsDateTime(EncodeDateTime(2024, 2, 29, 13, 5, 0, 0));
    when->SetFormat("yyyy-mm-dd hh:nn");
    put(3, 0, TQvCBoolean::StaticClass())->SetAsBoolean(true);
    TQvCell* wrapped = put(4, 0, TQvCString::StaticClass());
    wrapped->SetAsString("wrapped text");
    wrapped->SetWrapMode(wmWrapWords);
    wrapped->SetHAlign(haCenter);
    wrapped->SetHint("a note");
    TQvCellRange(s, {1, 2, 4, 4})->Merge();
    put(1, 2, TQvCString::StaticClass())->SetAsString("merged");
    TQvCellRange boxed(s, {0, 1, 1, 2});
    boxed->SetBorder(liLeft, {lsMedium, clRed});
    boxed->SetBorder(liBottom, {lsDouble, clGreen});
    boxed->SetColor(clYellow);
    s.SetSize(2, axCols, 120);
    s.SetSize(4, axRows, 0);
    s.SetRowMaxHeight(60);
    s.SetSize(1, axRows, 40);

    const std::string file = TempPath("round.xlsx");
    ExportXlsx(s, file);
    TQvSheet back;
    const TSpreadsheetImportResult r = ImportSpreadsheetFile(back, file);
    for (const std::string& w : r.Warnings) ADD_FAILURE() << w;
    EXPECT_EQ(back.TitleRows(), s.TitleRows());
    EXPECT_EQ(back.TitleCols(), s.TitleCols());
    EXPECT_EQ(back.RowDefHeight(), s.RowDefHeight());
    EXPECT_EQ(back.ColCount(), s.ColCount());
    EXPECT_EQ(back.RowCount(), s.RowCount());
    for (int32_t y = -1; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x) {
            TQvCell* a = s.FindCell(x, y);
            TQvCell* b = back.FindCell(x, y);
            if (!a || a->GetValue().IsEmpty()) continue;
            ASSERT_TRUE(b) << x << ", " << y;
            EXPECT_EQ(a->ClassType(), b->ClassType()) << x << ", " << y;
            EXPECT_EQ(a->GetValue().AsString(), b->GetValue().AsString()) << x << ", " << y;
            EXPECT_EQ(a->Format(), b->Format()) << x << ", " << y;
            EXPECT_EQ(a->Hint(), b->Hint()) << x << ", " << y;
            EXPECT_EQ(a->Layout().WrapMode, b->Layout().WrapMode) << x << ", " << y;
            EXPECT_EQ(a->Layout().HAlign, b->Layout().HAlign) << x << ", " << y;
        }
    ASSERT_TRUE(back.FindCell(1, 0)->OwnFont());
    EXPECT_TRUE(back.FindCell(1, 0)->OwnFont()->Style().Contains(fsBold));
    EXPECT_EQ(back.FindCell(1, 0)->OwnFont()->Color(), clBlue);
    ASSERT_EQ(back.Sections(skClient)->Unions().size(), 1u);
    EXPECT_EQ(back.Sections(skClient)->Unions()[0]->Rect(), s.Sections(skClient)->Unions()[0]->Rect());
    for (TQvSectionTable t : {tbVertLines, tbHorzLines})
        for (int32_t line = 0; line < 7; ++line)
            for (int32_t k = 0; k < 6; ++k)
                EXPECT_EQ(LineAt(back, t, line, k), LineAt(s, t, line, k)) << int(t) << " " << line << " " << k;
    for (int32_t y = 0; y < 5; ++y)
        for (int32_t x = 0; x < 6; ++x) EXPECT_EQ(LineAt(back, tbFill, y, x), LineAt(s, tbFill, y, x)) << x << ", " << y;
    for (int32_t i = 0; i < 5; ++i) {
        EXPECT_EQ(back.GetSize(axRows, i), s.GetSize(axRows, i)) << "row " << i;
        EXPECT_EQ(back.GetSize(axCols, i), s.GetSize(axCols, i)) << "column " << i;
    }
    std::remove(file.c_str());
}

TEST(SpreadsheetImport, FileFormatCodesTranslate) {
    struct TCase {
        const char* Code;
        const char* Ours;
        TFileFormatKind Kind;
        bool Ok;
    } cases[] = {
        {"General", "", ffNumber, true},
        {"#,##0.00", "#,##0.00", ffNumber, true},
        {"0.00 \"kg\"", "0.00 \"kg\"", ffNumber, true},
        {"[$\xE2\x82\xAC-407]#,##0.00", "\"\xE2\x82\xAC\"#,##0.00", ffNumber, true},
        {"#,##0;[Red]-#,##0", "#,##0;-#,##0", ffNumber, true},
        {"0%", "0%", ffPercent, true},
        {"# ?/?", "", ffNumber, false},
        {"yyyy-mm-dd h:mm:ss", "yyyy-mm-dd h:nn:ss", ffDate, true},
        {"mm:ss", "nn:ss", ffDate, true},
        {"d mmm yy", "d mmm yy", ffDate, true},
        {"[h]:mm:ss", "", ffDate, false},
        {"h:mm AM/PM", "h:nn am/pm", ffDate, true},
        {"@", "", ffText, true},
    };
    for (const TCase& c : cases) {
        std::string out;
        TFileFormatKind kind;
        const bool ok = TranslateFileFormat(c.Code, out, kind);
        EXPECT_EQ(ok, c.Ok) << c.Code;
        EXPECT_EQ(kind, c.Kind) << c.Code;
        if (c.Ok) {
            EXPECT_EQ(out, c.Ours) << c.Code;
        }
    }
}
