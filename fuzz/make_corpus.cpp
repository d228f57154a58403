// Writes the seed corpus of the fuzz targets with the project's own writers:
//   qv_make_corpus <fuzz/corpus folder>
// Each fuzz target takes a leading selector byte; the seeds carry the byte
// that routes them to the reader that wrote them.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/range_record.h"
#include "exchange/xlsx_export.h"
#include "exchange/text_table.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/graphic.h"
#include "platform/picture.h"
#include "platform/stream.h"
#include "tests/platform/test_images.h"

using namespace qv;
namespace fs = std::filesystem;

namespace {

void Put(const fs::path& Dir, const std::string& Name, char Selector, const std::string& Bytes) {
    fs::create_directories(Dir);
    TMemoryStream s(std::string(1, Selector) + Bytes);
    s.SaveToFile((Dir / Name).string());
}

void ListSeeds(const fs::path& Dir) {
    TSList plain;
    plain.SetCount(40);
    for (int i : {0, 3, 17, 39}) plain.SetItem(i, i * 11 + 1);
    TMemoryStream a;
    plain.SaveToStream(a);
    Put(Dir, "list", 0, a.Bytes());

    TIntSList sizes;
    sizes.SetDefault(60);
    sizes.SetValue(2, 80);
    sizes.SetValue(300, 0);
    TMemoryStream b;
    sizes.SaveToStream(b);
    Put(Dir, "int_list", 1, b.Bytes());

    TListSList table;
    auto* sub = new TIntSList;
    sub->SetDefault(1);
    sub->SetValue(5, 3);
    table.SetItem(2, sub);
    TMemoryStream c;
    table.SaveItems(c);
    Put(Dir, "nested_table", char(0x82), c.Bytes());
}

void GraphicSeeds(const fs::path& Dir) {
    Put(Dir, "bitmap", 0, test::MakeBmp(3, 2));
    Put(Dir, "icon", 1, test::MakeIco(16, 16));
    Put(Dir, "metafile", 2, test::MakeWmf(0, 0, 1440, 720, 1440));
    TPicture p;
    TBitmap bmp;
    bmp.LoadFromBytes(test::MakeBmp(2, 2));
    p.SetGraphic(&bmp);
    TMemoryStream s;
    p.WriteData(s);
    Put(Dir, "picture_data", 3, s.Bytes());
}

// Writes Bytes as the file Name (no selector byte).
void PutRaw(const fs::path& Dir, const std::string& Name, const std::string& Bytes) {
    fs::create_directories(Dir);
    TMemoryStream(Bytes).SaveToFile((Dir / Name).string());
}

void SheetSeeds(const fs::path& Root) {
    TQvSheet plain;
    TMemoryStream a;
    plain.WriteData(a);
    PutRaw(Root / "sheet_data", "default", a.Bytes());

    TQvSheet rich;
    rich.SetColCount(8);
    rich.SetSize(2, axCols, 80);
    rich.SetCellValue(0, 0, TVariant("text"));
    rich.Sections(skClient)->NeedCellOfClass({1, 1}, TQvCInteger::StaticClass())->SetAsInteger(7);
    rich.FindCell(0, 0)->SetHint("hint");
    rich.FindCell(0, 0)->SetColor(clYellow);
    rich.FindCell(0, 0)->SetBorder(liLeft, {lsDouble, clBlue});
    rich.FindCell(0, 0)->SetFrame(frDeepDown);
    rich.Sections(skClient)->Merge({2, 2, 4, 3});
    rich.SetCellValue(-1, 0, TVariant("title"));
    TMemoryStream b;
    rich.WriteData(b);
    PutRaw(Root / "sheet_data", "rich", b.Bytes());
    TMemoryStream c;
    rich.SaveToStream(c);
    PutRaw(Root / "sheet_file", "rich.qvf", c.Bytes());

    TQvStyler styler;
    styler.AddStyle("Heading")->SetColor(clAqua);
    styler.AddStyle("Money")->SetFormat("0.00");
    TMemoryStream d;
    styler.WriteStyles(d);
    PutRaw(Root / "styles", "two", d.Bytes());
}

// A copied range with cells, a style name, lines, a fill, a frame, a merged
// range and a size, as the clipboard carries it between grids, and the same
// as an HTML table; a spreadsheet's tab-separated text.
void RangeSeeds(const fs::path& Dir) {
    TQvStyler styler;
    styler.AddStyle("Heading");
    TQvSheet s;
    s.SetStyler(&styler);
    s.SetCellValue(1, 1, TVariant("text"));
    s.FindCell(1, 1)->SetStyle(styler.FindStyle("Heading"));
    s.FindCell(1, 1)->SetBorder(liLeft, {lsDouble, clBlue});
    s.FindCell(1, 1)->SetColor(clYellow);
    s.FindCell(1, 1)->SetFrame(frDeepDown);
    s.Sections(skClient)->NeedCellOfClass({2, 1}, TQvCInteger::StaticClass())->SetAsInteger(7);
    s.Sections(skClient)->Merge({1, 2, 3, 4});
    s.SetSize(2, axCols, 80);
    Put(Dir, "range", 0, RangeRecordBytes(s, skClient, {1, 1, 4, 4}));
    Put(Dir, "tab_text", 1, "1\t2.5\t\"two\nlines\"\r\n2024-02-29\t\t007\n");
    Put(Dir, "html", 2, RangeToHtml(s, skClient, {0, 0, 4, 4}));
}

}  // namespace

// A spreadsheet file from the export: numbers, text, a date, a merged range,
// a border, a fill, a hint and frozen title rows.
void SpreadsheetSeeds(const fs::path& Dir) {
    TQvSheet s;
    s.SetColCount(4);
    s.SetRowCount(4);
    s.SetCellValue(0, -1, TVariant(std::string("title")));
    s.SetCellValue(0, 0, TVariant(int32_t(42)));
    s.SetCellValue(1, 0, TVariant(std::string("text")));
    s.SetCellValue(2, 0, TVariant(2.5));
    s.Sections(skClient)->Merge({0, 1, 2, 3});
    s.Sections(skClient)->SetLine(tbHorzLines, 1, 0, 3, PackLine(lsMedium, clRed));
    s.Sections(skClient)->SetLine(tbFill, 3, 0, 1, PackLine(lsSingle, clYellow));
    s.FindCell(1, 0)->SetHint("a note");
    const fs::path file = fs::temp_directory_path() / "qv_make_corpus.xlsx";
    ExportXlsx(s, file.string());
    TMemoryStream bytes;
    bytes.LoadFromFile(file.string());
    fs::remove(file);
    Put(Dir, "export", 0, bytes.Bytes());
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const fs::path root = argv[1];
    ListSeeds(root / "lists");
    GraphicSeeds(root / "graphics");
    SheetSeeds(root);
    RangeSeeds(root / "range_record");
    SpreadsheetSeeds(root / "spreadsheet");
    return 0;
}
