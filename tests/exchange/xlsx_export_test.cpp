#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

#include "cells/boolean_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/xlsx_export.h"
#include "exchange/xlsx_formats.h"
#include "exchange/xlsx_package.h"
#include "exchange/openpyxl_runner.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/date_time.h"
#include "platform/exceptions.h"
#include "platform/font.h"

using namespace qv;

namespace {

std::string TempPath(const std::string& Name) { return test::TempPathOf("qv_xlsx_test_", Name); }

// openpyxl, an independent reader, over File: what Program prints.
std::string ReadBack(const std::string& File, const std::string& Program) {
    return test::RunOpenpyxl("import sys, openpyxl\nwb = openpyxl.load_workbook(sys.argv[1])\nws = wb.active\n" + Program,
                             File);
}

TQvCell* Put(TQvSheet& S, int32_t X, int32_t Y, TClass Cls) {
    TPoint local;
    const TQvSectionKind kind = S.MapCoord(X, Y, local);
    return S.Sections(kind)->NeedCellOfClass(local, Cls);
}

}  // namespace

TEST(XlsxExport, AnIndependentReaderSeesValuesFormatsAndLayout) {
    TQvSheet s;
    s.SetColCount(6);
    s.SetRowCount(6);
    Put(s, 0, -1, TQvCString::StaticClass())->SetAsString("Item");
    Put(s, -1, 0, TQvCString::StaticClass())->SetAsString("1");
    TQvCell* n = Put(s, 0, 0, TQvCInteger::StaticClass());
    n->SetAsInteger(1234567);
    n->SetFormat("#,##0");
    TQvCell* d = Put(s, 1, 0, TQvCDouble::StaticClass());
    d->SetAsFloat(3.14159);
    d->SetFormat("0.00 'kg'");
    d->Font()->SetStyle({fsBold});
    d->Font()->SetColor(clBlue);
    TQvCell* when = Put(s, 2, 0, TQvCDateTime::StaticClass());
    when->SetAsDateTime(EncodeDate(2024, 2, 29));
    when->SetFormat("yyyy-mm-dd");
    Put(s, 3, 0, TQvCBoolean::StaticClass())->SetAsBoolean(true);
    TQvCell* wrapped = Put(s, 4, 0, TQvCString::StaticClass());
    wrapped->SetAsString("wrapped text");
    wrapped->SetWrapMode(wmWrapWords);
    wrapped->SetHAlign(haCenter);
    wrapped->SetHint("a note");

    TQvCellRange(s, {1, 2, 4, 4})->Merge();
    Put(s, 1, 2, TQvCString::StaticClass())->SetAsString("merged");
    TQvCellRange boxed(s, {0, 1, 1, 2});
    boxed->SetBorder(liLeft, {lsMedium, clRed});
    boxed->SetBorder(liBottom, {lsDouble, clGreen});
    boxed->SetColor(clYellow);
    s.SetSize(2, axCols, 120);
    s.SetSize(4, axRows, 0);

    const std::string file = TempPath("sheet.xlsx");
    ExportXlsx(s, file);
    // One title row and column: client (0, 0) is B2.
    const std::string out = ReadBack(file, R"(
print(ws.freeze_panes, ws['B1'].value, ws['A2'].value)
print(repr(ws['B2'].value), ws['B2'].number_format)
c = ws['C2']; print(c.value, c.number_format, c.font.b, c.font.color.rgb)
print(ws['D2'].value, ws['D2'].number_format, ws['E2'].value)
f = ws['F2']; print(f.value, f.alignment.wrap_text, f.alignment.horizontal, f.comment.text if f.comment else None)
print([str(r) for r in ws.merged_cells.ranges], ws['C4'].value)
b = ws['B3']; print(b.border.left.style, b.border.left.color.rgb, b.border.bottom.style, b.fill.fgColor.rgb)
print(round(ws.column_dimensions['D'].width, 2), ws.row_dimensions[6].hidden)
)");
    EXPECT_EQ(out,
              "B2 Item 1\n"
              "1234567 #,##0\n"
              "3.14159 0.00 \"kg\" True FF0000FF\n"
              "2024-02-29 00:00:00 yyyy-mm-dd True\n"
              "wrapped text True center a note\n"
              "['C4:E5'] merged\n"
              "medium FFFF0000 double FFFFFF00\n"
              "17.14 True\n");
    std::remove(file.c_str());
}

TEST(XlsxExport, AFailedExportLeavesTheEarlierFile) {
    const std::string file = TempPath("kept.xlsx");
    std::ofstream(file) << "earlier";
    TQvSheet s;
    // Past the 16,384 columns a spreadsheet file holds.
    s.SetColCount(20000);
    s.SetCellValue(16390, 0, TVariant(int32_t(1)));
    try {
        ExportXlsx(s, file);
        FAIL() << "no error";
    } catch (const EWriteError& e) {
        EXPECT_NE(std::string(e.what()).find("row 2, column 16392 lies past"), std::string::npos) << e.what();
    }
    std::ifstream in(file);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "earlier");
    for (const auto& e : std::filesystem::directory_iterator(std::filesystem::temp_directory_path()))
        EXPECT_EQ(e.path().string().find(std::filesystem::path(file).filename().string() + ".qvtmp-"), std::string::npos);
    std::remove(file.c_str());
}

TEST(XlsxFormats, NumberAndDateFormatsTranslate) {
    std::string out;
    const std::pair<const char*, const char*> numbers[] = {
        {"", "General"},
        {"0.00", "0.00"},
        {"#,##0.00", "#,##0.00"},
        {"0,", "#,##0"},           // the flag holds wherever it stands
        {"0.0%", "0.0\"%\""},       // a literal per cent does not scale
        {"0.00E+00", "0.00E+00"},
        {"0.00;(0.00);'zero'", "0.00;(0.00);\"zero\""},
        {"0.00;;0", "0.00;-0.00;0"},  // an empty section takes the first
    };
    for (auto [in, want] : numbers) {
        EXPECT_TRUE(TranslateNumberFormat(in, out)) << in;
        EXPECT_EQ(out, want) << in;
    }
    EXPECT_FALSE(TranslateNumberFormat("0.00 'open", out));

    TFormatSettings fs = DefaultFormatSettings();
    const std::pair<const char*, const char*> dates[] = {
        {"dd/mm/yyyy", "dd/mm/yyyy"},
        {"hh:nn:ss.zzz", "hh:mm:ss.000"},
        {"d mmm yy h:nn am/pm", "d mmm yy h:mm AM/PM"},
        {"", "mm/dd/yyyy hh:mm:ss"},
        {"ddddd 'at' t", "mm/dd/yyyy \"at\" hh:mm"},
    };
    for (auto [in, want] : dates) {
        EXPECT_TRUE(TranslateDateFormat(in, out, fs)) << in;
        EXPECT_EQ(out, want) << in;
    }
}

TEST(XlsxExport, ValuesWithoutAFileEquivalentGoAsTheirDisplayText) {
    TQvSheet s;
    s.SetTitleCols(0);
    s.SetTitleRows(0);
    TQvCell* early = Put(s, 0, 0, TQvCDateTime::StaticClass());
    early->SetAsDateTime(EncodeDate(1900, 1, 15));  // before the file format's calendar is right
    early->SetFormat("yyyy-mm-dd");
    TQvCell* odd = Put(s, 1, 0, TQvCDouble::StaticClass());
    odd->SetAsFloat(2.5);
    odd->SetFormat("0.0 'open");  // an unclosed literal translates to nothing
    s.SetSize(2, axCols, 0);
    Put(s, 2, 0, TQvCString::StaticClass())->SetAsString("in a hidden column");

    const std::string file = TempPath("text.xlsx");
    ExportXlsx(s, file);
    const std::string out = ReadBack(file, R"(
print(repr(ws['A1'].value), repr(ws['B1'].value), ws.column_dimensions['C'].hidden, ws.freeze_panes)
)");
    EXPECT_EQ(out, "'1900-01-15' '2.5 open' True None\n");
    std::remove(file.c_str());
}

// Numbers that need all 17 digits, times and date-times read back as the
// very same doubles; an infinity, which the file has no number for, goes as
// its display text.
TEST(XlsxExport, NumbersReadBackAsTheSameDoubles) {
    TQvSheet s;
    s.SetTitleCols(0);
    s.SetTitleRows(0);
    const double values[] = {1.7976931348623157e308, 0.1, 1.0 / 3, -2.2250738585072014e-308, 123456789.12345679};
    for (int i = 0; i < 5; ++i) Put(s, i, 0, TQvCDouble::StaticClass())->SetAsFloat(values[i]);
    TQvCell* time = Put(s, 0, 1, TQvCDateTime::StaticClass());
    time->SetAsDateTime(EncodeTime(12, 30, 0, 0));
    time->SetFormat("hh:nn:ss");
    TQvCell* when = Put(s, 1, 1, TQvCDateTime::StaticClass());
    when->SetAsDateTime(EncodeDateTime(2024, 4, 2, 12, 30, 0, 0));
    when->SetFormat("yyyy-mm-dd hh:nn:ss");
    Put(s, 2, 1, TQvCDouble::StaticClass())->SetAsFloat(HUGE_VAL);

    const std::string file = TempPath("exact.xlsx");
    ExportXlsx(s, file);
    const std::string out = ReadBack(file, R"(
print([repr(ws.cell(1, c).value) for c in range(1, 6)])
print(ws['A2'].value, ws['B2'].value, type(ws['C2'].value).__name__)
)");
    EXPECT_EQ(out,
              "['1.7976931348623157e+308', '0.1', '0.3333333333333333', '-2.2250738585072014e-308', "
              "'123456789.12345679']\n"
              "12:30:00 2024-04-02 12:30:00 str\n");
    std::remove(file.c_str());
}

// Title cells carry the title fill and its raised frame; framed cells carry
// their frame as borders, under any border of their own, and a merged range
// is framed around its outline only (black lines stay black).
TEST(XlsxExport, TitleFillAndFramesGoOutAsFillsAndBorders) {
    TQvSheet s;  // one title row and column: client (0, 0) is B2
    s.SetColCount(4);
    s.SetRowCount(6);
    TQvCellRange(s, {1, 0, 2, 1}, skColTitles)->SetColor(clYellow);
    TQvCellRange(s, {0, 0, 1, 1})->SetFrame(frDeepDown);
    TQvCellRange own(s, {1, 0, 2, 1});
    own->SetFrame(frFlatUp);
    own->SetBorder(liLeft, {lsMedium, clRed});
    TQvCellRange merged(s, {0, 2, 3, 5});
    merged->Merge();
    merged->SetFrame(frBevelUp);

    const std::string file = TempPath("frames.xlsx");
    ExportXlsx(s, file);
    const std::string out = ReadBack(file, R"(
def side(c, k):
    b = getattr(ws[c].border, k)
    return '%s:%s' % (b.style, b.color.rgb[2:] if b.style else '-')
def look(c):
    return ' '.join([c, ws[c].fill.fgColor.rgb[2:] if ws[c].fill.fill_type else '-'] +
                    [side(c, k) for k in ('left', 'top', 'right', 'bottom')])
for c in ('A1', 'B1', 'C1', 'A7', 'B2', 'C2', 'C4', 'B5', 'D6', 'C5', 'E2'): print(look(c))
)");
    EXPECT_EQ(out,
              "A1 C0C0C0 thin:FFFFFF thin:FFFFFF thin:808080 thin:808080\n"
              "B1 C0C0C0 thin:FFFFFF thin:FFFFFF thin:808080 thin:808080\n"
              "C1 FFFF00 thin:FFFFFF thin:FFFFFF thin:808080 thin:808080\n"
              "A7 C0C0C0 thin:FFFFFF thin:FFFFFF thin:808080 thin:808080\n"
              "B2 - medium:808080 medium:808080 medium:FF0000 medium:FFFFFF\n"
              "C2 - medium:FF0000 thin:FFFFFF thin:808080 thin:808080\n"
              "C4 - None:- double:000000 None:- None:-\n"
              "B5 - double:000000 None:- None:- None:-\n"
              "D6 - None:- None:- double:000000 double:000000\n"
              "C5 - None:- None:- None:- None:-\n"
              "E2 - None:- None:- None:- None:-\n");
    std::remove(file.c_str());
}

// The worksheet is corrected a piece at a time: thousands of such numbers,
// spread over many pieces, all come back.
TEST(XlsxExport, EveryNumberOfALargeSheetReadsBack) {
    TQvSheet s;
    s.SetTitleCols(0);
    s.SetTitleRows(0);
    s.SetColCount(2);
    s.SetRowCount(4000);
    int lossy = 0;
    for (int i = 0; i < 4000; ++i) {
        const double a = (i + 1) / 7.0 * 1e300, b = 45384 + (i % 1440) / 1440.0;
        Put(s, 0, i, TQvCDouble::StaticClass())->SetAsFloat(a);
        Put(s, 1, i, TQvCDouble::StaticClass())->SetAsFloat(b);
        lossy += LosesDigits(a) + LosesDigits(b);
    }
    EXPECT_GT(lossy, 2000);
    const std::string file = TempPath("many.xlsx");
    ExportXlsx(s, file);
    EXPECT_EQ(ReadBack(file, R"(
bad = [r for r in range(1, 4001) if ws.cell(r, 1).value != r / 7.0 * 1e300 or
       ws.cell(r, 2).value != 45384 + ((r - 1) % 1440) / 1440.0]
print(ws.max_row, bad[:3])
)"),
              "4000 []\n");
    std::remove(file.c_str());
}

// The title look goes on every title position only while they are few: a
// sheet of 20,000 title columns by 200,000 rows (3.3 G such positions within
// the file's limits) exports its one cell at once.
TEST(XlsxExport, HugeTitleAreasExportAtOnce) {
    TQvSheet s;
    s.SetTitleCols(10000);
    s.SetRowCount(200000);
    s.SetCellValue(0, 0, TVariant(int32_t(7)));
    const std::string file = TempPath("huge.xlsx");
    const auto start = std::chrono::steady_clock::now();
    ExportXlsx(s, file);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
    EXPECT_EQ(ReadBack(file, "print(ws.cell(2, 10001).value)\n"), "7\n");
    std::remove(file.c_str());
}

// A program whose locale writes decimal commas (a Qt program takes the
// user's) still writes numbers, sizes and margins the file format reads.
TEST(XlsxExport, ADecimalCommaLocaleLeavesTheFileIntact) {
    const std::string dir = TempPath("locales");
    std::filesystem::create_directories(dir);
    if (std::system(("localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "no localedef to make a German locale with";
    setenv("LOCPATH", dir.c_str(), 1);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);
    TQvSheet s;
    s.SetTitleCols(0);
    s.SetTitleRows(0);
    Put(s, 0, 0, TQvCDouble::StaticClass())->SetAsFloat(2.5);
    s.SetSize(0, axCols, 67);
    const std::string file = TempPath("comma.xlsx");
    ExportXlsx(s, file);
    std::setlocale(LC_NUMERIC, "C");
    unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
    EXPECT_EQ(ReadBack(file, "print(ws['A1'].value, round(ws.column_dimensions['A'].width, 2))\n"), "2.5 9.57\n");
    std::remove(file.c_str());
}
