// Spreadsheet files from strangers: each ends with an error naming the file
// and the fault, with the sheet as it was, or loads what is sound and says
// what it dropped. What reading them costs is measured in
// tests/grids/load_budget_test.cpp.
#include <gtest/gtest.h>

#include "exchange/hostile_spreadsheets.h"
#include "exchange/spreadsheet_import.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"

using namespace qv;
using namespace qv::test;

namespace {

// The error an import raises, or "" when it loads; a failed one must leave
// the sheet as it was.
std::string ImportError(const std::string& Bytes, TSpreadsheetImportResult* Result = nullptr, TQvSheet* Into = nullptr) {
    TQvSheet own;
    TQvSheet& s = Into ? *Into : own;
    s.SetCellValue(0, 0, TVariant(std::string("before")));
    const TQvSheetSnapshot before = TakeSnapshot(s);
    try {
        TSpreadsheetImportResult r = ImportSpreadsheet(s, Bytes, "hostile.xlsx");
        if (Result) *Result = r;
    } catch (const EReadError& e) {
        EXPECT_TRUE(TakeSnapshot(s) == before) << e.what();
        return e.what();
    }
    for (TQvSectionKind k : AllSectionKinds) EXPECT_EQ(s.Sections(k)->CheckIntegrity(), "");
    return "";
}

bool Contains(const std::vector<std::string>& Lines, const std::string& Part) {
    for (const std::string& l : Lines)
        if (l.find(Part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(SpreadsheetHostile, ZipBombsAreRefusedOrCutAtTheirDeclaredSize) {
    // Told honestly, the directory's sizes refuse the package unread.
    EXPECT_EQ(ImportError(ZipBomb(600, true)),
              "hostile.xlsx: member xl/worksheets/sheet1.xml would inflate to 601 MB, more than the 512 MB a member "
              "may take");
    // A kilobyte claimed for 300 MB: inflating stops past the claim.
    EXPECT_EQ(ImportError(ZipBomb(300, false)),
              "hostile.xlsx: member xl/worksheets/sheet1.xml inflates past the 1024 bytes it declares");
}

TEST(SpreadsheetHostile, EntitiesAreNotExpanded) {
    TSpreadsheetImportResult r;
    TQvSheet s;
    const std::string error = ImportError(EntityBomb(), &r, &s);
    if (error.empty()) {
        // Loaded: the text is what the file wrote, never a billion lols.
        EXPECT_LT(s.CellValue(0, 0).AsString().size(), 100u);
    } else {
        EXPECT_EQ(error.find("hostile.xlsx: "), 0u) << error;
    }
}

TEST(SpreadsheetHostile, WhatPointsNowhereIsDroppedAndTheRestLoads) {
    // A dimension of the whole file over three cells, references past the
    // file's rows and columns, a shared string and styles that do not exist.
    const std::string sheet =
        "<dimension ref=\"A1:XFD1048576\"/><sheetData>"
        "<row r=\"1\"><c r=\"A1\"><v>1</v></c><c r=\"B1\" t=\"s\"><v>0</v></c><c r=\"C1\" t=\"s\"><v>99</v></c>"
        "<c r=\"D1\" s=\"57\"><v>4</v></c><c r=\"E1\" s=\"1\"><v>5</v></c></row>"
        "<row r=\"7\"><c r=\"XFE7\"><v>2</v></c><c r=\"C7\"><v>6</v></c></row>"
        "<row r=\"2000000\"><c r=\"A2000000\"><v>3</v></c></row>"
        "</sheetData><mergeCells count=\"2\"><mergeCell ref=\"A3:XFE4\"/><mergeCell ref=\"B3:C4\"/></mergeCells>";
    const std::string styles =
        "<cellXfs count=\"2\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
        "<xf numFmtId=\"0\" fontId=\"99\" fillId=\"98\" borderId=\"97\"/></cellXfs>";
    TSpreadsheetImportResult r;
    TQvSheet s;
    s.SetTitleCols(0);
    s.SetTitleRows(0);
    const std::string error = ImportError(WorkbookFile(sheet, "<si><t>shared</t></si>", styles), &r, &s);
    ASSERT_EQ(error, "");
    EXPECT_EQ(s.CellValue(0, 0).AsInteger(), 1);
    EXPECT_EQ(s.CellValue(1, 0).AsString(), "shared");
    EXPECT_EQ(s.FindCell(2, 0), nullptr);
    EXPECT_EQ(s.CellValue(3, 0).AsInteger(), 4);
    EXPECT_EQ(s.CellValue(4, 0).AsInteger(), 5);
    EXPECT_EQ(s.CellValue(2, 6).AsInteger(), 6);
    // The claimed dimension sets nothing: the extent is what the cells reach.
    EXPECT_EQ(s.ColCount(), 5);
    EXPECT_EQ(s.RowCount(), 7);
    ASSERT_EQ(s.Sections(skClient)->Unions().size(), 1u);
    EXPECT_EQ(s.Sections(skClient)->Unions()[0]->Rect(), (TRect{1, 2, 3, 4}));
    EXPECT_TRUE(Contains(r.Warnings, "naming a shared string the file does not hold")) << ::testing::PrintToString(r.Warnings);
    EXPECT_TRUE(Contains(r.Warnings, "styles the file does not hold")) << ::testing::PrintToString(r.Warnings);
    EXPECT_TRUE(Contains(r.Warnings, "past the rows and columns")) << ::testing::PrintToString(r.Warnings);
}

TEST(SpreadsheetHostile, BrokenPackagesAndOtherFilesAreNamedAsSuch) {
    const std::string good = WorkbookFile("<sheetData><row r=\"1\"><c r=\"A1\"><v>1</v></c></row></sheetData>");
    ASSERT_EQ(ImportError(good), "");
    EXPECT_EQ(ImportError(good.substr(0, good.size() / 2)),
              "hostile.xlsx: the package is truncated (its directory is missing)");
    // The directory kept, a member cut short.
    std::string cut = good;
    cut.erase(cut.size() / 3, 40);
    EXPECT_EQ(ImportError(cut).find("hostile.xlsx: "), 0u);
    EXPECT_EQ(ImportError("name,amount\napples,3\npears,4\nplums,5\n"), "hostile.xlsx: not a spreadsheet file (no zip package)");
    EXPECT_EQ(ImportError(Zip({Deflated("readme.txt", {"hello"})})),
              "hostile.xlsx: not a spreadsheet file (a zip package, but neither .xlsx nor .ods)");
    // A member that stops inside a tag, its checksum right: the parser
    // would read past its end.
    std::vector<TZipMember> open = Workbook("");
    open.back() = Deflated("xl/worksheets/sheet1.xml", {"<?xml version=\"1.0\"?><worksheet><sheetData><row r=\"1\"><c r=\"A1"});
    EXPECT_EQ(ImportError(Zip(open)),
              "hostile.xlsx: member xl/worksheets/sheet1.xml is damaged (its XML stops inside its markup)");
    // A cell whose reference names another row than its own.
    EXPECT_EQ(ImportError(WorkbookFile("<sheetData><row r=\"2\"><c r=\"A9\"><v>1</v></c></row></sheetData>")),
              "hostile.xlsx: the file is damaged (row numbers differ! (current=1))");
    // A workbook whose sheet part is missing loads as an empty sheet or
    // fails by name; it never crashes.
    std::vector<TZipMember> noSheet = Workbook("");
    noSheet.pop_back();
    const std::string e = ImportError(Zip(noSheet));
    EXPECT_TRUE(e.empty() || e.find("hostile.xlsx: ") == 0) << e;
}
