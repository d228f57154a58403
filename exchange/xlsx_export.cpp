#include "exchange/xlsx_export.h"

#include <xlsxwriter.h>

#include <locale.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <unordered_map>
#include <vector>

#include "cells/boolean_cell.h"
#include "cells/currency_cell.h"
#include "cells/date_time_cell.h"
#include "cells/number_cell.h"
#include "cells/picture_cell.h"
#include "cells/qv_picture.h"
#include "exchange/atomic_file.h"
#include "exchange/value_text.h"
#include "exchange/xlsx_formats.h"
#include "exchange/xlsx_package.h"
#include "grids/base_style.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/union.h"
#include "lists/int_slist.h"
#include "lists/list_slist.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/graphic.h"

namespace qv {

namespace {

// Rows and columns a spreadsheet file holds.
constexpr int64_t MaxFileRows = 1048576;
constexpr int64_t MaxFileCols = 16384;
// Days before 1 March 1900 count differently in the file format (it counts
// a 29 February 1900 that never was); such dates go out as text.
constexpr double FirstSafeSerial = 61.0;
// A section whose base look (the title fill, a frame of the base style)
// shows on every position has it written on every position only up to this
// many, one title column down every row the file holds; past it, on the
// positions that hold something else (a cell, a fill, a line).
constexpr int64_t DenseLimit = MaxFileRows;

lxw_color_t FileColor(TColor C) {
    const TColor rgb = ColorToRGB(C);
    const lxw_color_t c = (lxw_color_t(GetRValue(rgb)) << 16) | (lxw_color_t(GetGValue(rgb)) << 8) | GetBValue(rgb);
    // The library reads 0 as "no colour": black has a value of its own.
    return c == 0 ? lxw_color_t(LXW_COLOR_BLACK) : c;
}

uint8_t FileBorder(TQvLine Line) {
    switch (UnpackLine(Line).Style) {
        case lsSingle: return LXW_BORDER_THIN;
        case lsMedium: return LXW_BORDER_MEDIUM;
        case lsDouble: return LXW_BORDER_DOUBLE;
        default: return LXW_BORDER_NONE;
    }
}

// The border edges (left, top, right, bottom) that stand for a
// three-dimensional frame: the lit and the shaded side as the grid paints
// them, flat frames thin, deep ones medium, and bevels, a groove or ridge
// all round, double in their darker colour.
void FrameEdges(int32_t Frame, TQvLine Edges[4]) {
    auto set = [&](uint8_t Style, TColor TopLeft, TColor BottomRight) {
        Edges[0] = Edges[1] = PackLine(Style, TopLeft);
        Edges[2] = Edges[3] = PackLine(Style, BottomRight);
    };
    switch (Frame) {
        case frFlatUp: set(lsSingle, clBtnHighlight, clBtnShadow); break;
        case frFlatDown: set(lsSingle, cl3DDkShadow, cl3DLight); break;
        case frDeepUp: set(lsMedium, clBtnHighlight, cl3DDkShadow); break;
        case frDeepDown: set(lsMedium, clBtnShadow, clBtnHighlight); break;
        case frBevelUp: set(lsDouble, cl3DDkShadow, cl3DDkShadow); break;
        case frBevelDown: set(lsDouble, clBtnShadow, clBtnShadow); break;
        default: Edges[0] = Edges[1] = Edges[2] = Edges[3] = 0; break;
    }
}

// Everything one cell format holds, packed into a key for sharing formats.
struct TCellLook {
    const TFont* Font = nullptr;
    TQvLayout Layout;
    TQvLine Fill = 0;
    TQvLine Edges[4] = {0, 0, 0, 0};  // left, top, right, bottom
    std::string NumFormat;

    std::string Key() const {
        std::string k;
        k.reserve(64 + NumFormat.size());
        auto put = [&](const void* P, size_t N) { k.append(static_cast<const char*>(P), N); };
        const uint32_t layout = Layout.Pack();
        put(&layout, 4);
        put(&Fill, 4);
        put(Edges, sizeof Edges);
        if (Font) {
            const int32_t h = Font->Height();
            const TColor c = Font->Color();
            const uint8_t s = Font->Style().Bits();
            put(&h, 4);
            put(&c, 4);
            put(&s, 1);
            k += Font->Name();
        }
        k += '\0';
        k += NumFormat;
        return k;
    }
};

class TXlsxWriter {
public:
    TXlsxWriter(TQvSheet& Sheet, const std::string& FileName, const TXlsxOptions& Options)
        : FSheet(Sheet), FFileName(FileName), FOptions(Options) {}

    void Write(const std::string& Path) {
        lxw_workbook_options wo{};
        wo.constant_memory = LXW_FALSE;
        FBook = workbook_new_opt(Path.c_str(), &wo);
        if (!FBook) Fail("cannot create the file");
        FWorksheet = workbook_add_worksheet(FBook, FOptions.SheetName.empty() ? nullptr : FOptions.SheetName.c_str());
        if (!FWorksheet) Fail("the sheet name \"" + FOptions.SheetName + "\" is not allowed");
        Sizes();
        // Every section's positions first, so that progress has its total.
        std::vector<uint64_t> positions[4];
        for (TQvSectionKind k : AllSectionKinds) {
            positions[k] = Positions(*FSheet.Sections(k));
            FTotal += static_cast<int64_t>(positions[k].size());
        }
        for (TQvSectionKind k : {skCorner, skColTitles, skRowTitles, skClient})
            Section(*FSheet.Sections(k), positions[k]);
        if (FSheet.TitleRows() > 0 || FSheet.TitleCols() > 0)
            worksheet_freeze_panes(FWorksheet,
                                   static_cast<lxw_row_t>(std::min<int64_t>(FSheet.TitleRows(), MaxFileRows - 1)),
                                   static_cast<lxw_col_t>(std::min<int64_t>(FSheet.TitleCols(), MaxFileCols - 1)));
        const lxw_error err = workbook_close(FBook);
        FBook = nullptr;
        if (err != LXW_NO_ERROR) Fail(lxw_strerror(err));
        // The only worksheet of the package.
        RewriteNumberCells(Path, FFileName, "xl/worksheets/sheet1.xml", std::move(FExact));
    }

    ~TXlsxWriter() {
        // An export that failed halfway still releases the workbook; its
        // file is the temporary one, removed by the caller.
        if (FBook) workbook_close(FBook);
    }

private:
    [[noreturn]] void Fail(const std::string& Why) const {
        throw EWriteError("Cannot write \"" + FFileName + "\": " + Why);
    }
    void Check(lxw_error E, int64_t Row, int64_t Col) const {
        if (E != LXW_NO_ERROR)
            Fail("row " + std::to_string(Row + 1) + ", column " + std::to_string(Col + 1) + ": " + lxw_strerror(E));
    }

    // File row and column of a section-local point.
    int64_t FileRow(const TQvSection& S, int32_t Y) const {
        return (S.Kind() == skColTitles || S.Kind() == skCorner) ? Y : int64_t(FSheet.TitleRows()) + Y;
    }
    int64_t FileCol(const TQvSection& S, int32_t X) const {
        return (S.Kind() == skRowTitles || S.Kind() == skCorner) ? X : int64_t(FSheet.TitleCols()) + X;
    }

    // Column widths and row heights, titles first; size 0 hides.
    void Sizes() {
        std::vector<int32_t> widths;
        // Within the columns and rows the file holds, however many the sheet has.
        for (int32_t i = 0; i < FSheet.TitleCols() && int64_t(widths.size()) < MaxFileCols; ++i)
            widths.push_back(FSheet.Sizes(axCols, spTitle)->Size(i));
        for (int32_t i = 0; i < FSheet.ColCount() && int64_t(widths.size()) < MaxFileCols; ++i)
            widths.push_back(FSheet.Sizes(axCols, spClient)->Size(i));
        if (int64_t(widths.size()) > MaxFileCols) widths.resize(MaxFileCols);
        for (size_t a = 0; a < widths.size();) {
            size_t b = a;
            while (b + 1 < widths.size() && widths[b + 1] == widths[a]) ++b;
            lxw_row_col_options o{};
            o.hidden = widths[a] == 0;
            worksheet_set_column_pixels_opt(FWorksheet, static_cast<lxw_col_t>(a), static_cast<lxw_col_t>(b),
                                            static_cast<uint32_t>(std::max(widths[a], 0)), nullptr, &o);
            a = b + 1;
        }
        const int32_t def = FSheet.RowDefHeight();
        worksheet_set_default_row(FWorksheet, def * 0.75, LXW_FALSE);
        auto row = [&](int64_t FileRowIndex, int32_t Height) {
            if (FileRowIndex >= MaxFileRows) return;
            lxw_row_col_options o{};
            o.hidden = Height == 0;
            worksheet_set_row_pixels_opt(FWorksheet, static_cast<lxw_row_t>(FileRowIndex),
                                         static_cast<uint32_t>(std::max(Height, 0)), nullptr, &o);
        };
        const TQvSizeList* titles = FSheet.Sizes(axRows, spTitle);
        for (int32_t i = 0; i < FSheet.TitleRows() && i < MaxFileRows; ++i) row(i, titles->Size(i));
        const TQvSizeList* rows = FSheet.Sizes(axRows, spClient);
        // Only rows with a size of their own; the rest take the default.
        rows->ForEach([&](int32_t I, int32_t) {
            if (I < FSheet.RowCount() && rows->Size(I) != def) row(int64_t(FSheet.TitleRows()) + I, rows->Size(I));
            return false;
        });
    }

    // The rows and columns of section S within the counts.
    TSize Extent(const TQvSection& S) const {
        const bool titleCols = S.Kind() == skRowTitles || S.Kind() == skCorner;
        const bool titleRows = S.Kind() == skColTitles || S.Kind() == skCorner;
        return {titleCols ? FSheet.TitleCols() : FSheet.ColCount(), titleRows ? FSheet.TitleRows() : FSheet.RowCount()};
    }

    // Every position of S with a cell, a fill or a border edge, in row
    // then column order.
    std::vector<uint64_t> Positions(TQvSection& S) const {
        const int32_t cols = Extent(S).Width;
        const int32_t rows = Extent(S).Height;
        std::vector<uint64_t> positions;
        if (cols <= 0 || rows <= 0) return positions;
        auto add = [&](int32_t X, int32_t Y) {
            if (X >= 0 && Y >= 0 && X < cols && Y < rows)
                positions.push_back((uint64_t(uint32_t(Y)) << 32) | uint32_t(X));
        };
        // The base look on every position: the title fill, which blank
        // cells in the file would not show, or a frame of the base style.
        // Within the rows and columns the file holds; past them only cells
        // count, and they all hold something other than attributes alone.
        const int64_t fileCols = std::min<int64_t>(cols, MaxFileCols - FileCol(S, 0));
        const int64_t fileRows = std::min<int64_t>(rows, MaxFileRows - FileRow(S, 0));
        const bool dense = (BaseFill(S) != 0 || BaseFrame(S) != 0) && fileCols * fileRows <= DenseLimit;
        if (dense) {
            positions.reserve(static_cast<size_t>(std::max<int64_t>(0, fileCols * fileRows)));
            for (int32_t y = 0; y < fileRows; ++y)
                for (int32_t x = 0; x < fileCols; ++x) add(x, y);
        }
        S.ForEach([&](int32_t Y, TObject* R) {
            static_cast<TQvRow*>(R)->ForEach([&](int32_t X, TObject*) {
                add(X, Y);
                return false;
            });
            return false;
        });
        if (const TListSList* fills = S.Tables(tbFill))
            fills->ForEach([&](int32_t Y, TObject* L) {
                static_cast<TSList*>(L)->ForEach([&](int32_t X, int32_t) {
                    add(X, Y);
                    return false;
                });
                return false;
            });
        if (const TListSList* vert = S.Tables(tbVertLines))
            vert->ForEach([&](int32_t X, TObject* L) {
                static_cast<TSList*>(L)->ForEach([&](int32_t Y, int32_t) {
                    add(X, Y);
                    add(X - 1, Y);
                    return false;
                });
                return false;
            });
        if (const TListSList* horz = S.Tables(tbHorzLines))
            horz->ForEach([&](int32_t Y, TObject* L) {
                static_cast<TSList*>(L)->ForEach([&](int32_t X, int32_t) {
                    add(X, Y);
                    add(X, Y - 1);
                    return false;
                });
                return false;
            });
        // Frames of their own, and the outlines of framed merged ranges.
        if (const TListSList* frames = S.Tables(tbFrames); frames && !dense)
            frames->ForEach([&](int32_t Y, TObject* L) {
                const auto* list = static_cast<const TIntSList*>(L);
                if (list->Default() != 0) {
                    for (int32_t x = 0; x < fileCols; ++x) add(x, Y);
                } else {
                    list->ForEach([&](int32_t X, int32_t V) {
                        if (V != 0) add(X, Y);
                        return false;
                    });
                }
                return false;
            });
        for (const auto& u : S.Unions()) {
            const TRect r = u->Rect().Intersected({0, 0, static_cast<int32_t>(std::max<int64_t>(0, fileCols)),
                                                   static_cast<int32_t>(std::max<int64_t>(0, fileRows))});
            if (dense || r.IsEmpty() || (S.AreaValue(u->Rect().Left, u->Rect().Top) & 0x7F) == 0) continue;
            for (int32_t x = r.Left; x < r.Right; ++x) {
                add(x, r.Top);
                add(x, r.Bottom - 1);
            }
            for (int32_t y = r.Top; y < r.Bottom; ++y) {
                add(r.Left, y);
                add(r.Right - 1, y);
            }
        }
        std::sort(positions.begin(), positions.end());
        positions.erase(std::unique(positions.begin(), positions.end()), positions.end());
        return positions;
    }

    void Section(TQvSection& S, const std::vector<uint64_t>& Positions) {
        const int32_t cols = Extent(S).Width;
        const int32_t rows = Extent(S).Height;
        if (cols <= 0 || rows <= 0) return;

        // Merged ranges first: the cells written afterwards keep their own
        // formats inside them.
        for (const auto& u : S.Unions()) {
            TRect r = u->Rect().Intersected({0, 0, cols, rows});
            if (r.IsEmpty() || (r.Right - r.Left == 1 && r.Bottom - r.Top == 1)) continue;
            const int64_t r0 = FileRow(S, r.Top), c0 = FileCol(S, r.Left);
            const int64_t r1 = FileRow(S, r.Bottom - 1), c1 = FileCol(S, r.Right - 1);
            if (r1 >= MaxFileRows || c1 >= MaxFileCols) continue;
            Check(worksheet_merge_range(FWorksheet, static_cast<lxw_row_t>(r0), static_cast<lxw_col_t>(c0),
                                        static_cast<lxw_row_t>(r1), static_cast<lxw_col_t>(c1), "", nullptr),
                  r0, c0);
        }

        for (uint64_t p : Positions) {
            const int32_t x = static_cast<int32_t>(p & 0xFFFFFFFFu);
            const int32_t y = static_cast<int32_t>(p >> 32);
            Position(S, x, y);
        }
    }

    void Position(TQvSection& S, int32_t X, int32_t Y) {
        const int64_t row = FileRow(S, Y);
        const int64_t col = FileCol(S, X);
        TQvRow* r = S.Rows(Y);
        TQvCell* cell = r ? r->Cells(X) : nullptr;
        if (row >= MaxFileRows || col >= MaxFileCols) {
            if (!cell) return;  // attributes alone past the edge are dropped
            Fail("the cell at row " + std::to_string(row + 1) + ", column " + std::to_string(col + 1) +
                 " lies past the " + std::to_string(MaxFileRows) + " rows and " + std::to_string(MaxFileCols) +
                 " columns a spreadsheet file holds");
        }
        TCellLook look;
        bool uniform;
        look.Fill = S.GetLine(tbFill, Y, X, X, uniform);
        look.Edges[0] = S.GetLine(tbVertLines, X, Y, Y, uniform);
        look.Edges[1] = S.GetLine(tbHorzLines, Y, X, X, uniform);
        look.Edges[2] = S.GetLine(tbVertLines, X + 1, Y, Y, uniform);
        look.Edges[3] = S.GetLine(tbHorzLines, Y + 1, X, X, uniform);
        // A merged range shows the edges of its outline on every cell along
        // it; its own cell carries the outer edges of the whole range.
        const TQvUnion* u = S.FindUnionAt({X, Y}, true);
        if (u && cell) {
            const TRect ur = u->Rect();
            look.Edges[2] = S.GetLine(tbVertLines, ur.Right, Y, Y, uniform);
            look.Edges[3] = S.GetLine(tbHorzLines, ur.Bottom, X, X, uniform);
        }
        // Title cells without a fill of their own show the title fill.
        if (look.Fill == 0 && S.Kind() != skClient) look.Fill = BaseFill(S);
        // A frame goes out as the borders it stands for, where no border of
        // the cell's own is set; a merged range is framed once, around it.
        {
            const TRect outline = u ? u->Rect() : TRect{X, Y, X + 1, Y + 1};
            TQvLine frame[4];
            FrameEdges(S.AreaValue(outline.Left, outline.Top) & 0x7F, frame);
            const bool side[4] = {X == outline.Left, Y == outline.Top, X == outline.Right - 1, Y == outline.Bottom - 1};
            for (int k = 0; k < 4; ++k)
                if (!look.Edges[k] && side[k]) look.Edges[k] = frame[k];
        }

        enum { wNone, wNumber, wString, wBool } what = wNone;
        double number = 0;
        std::string text;
        const TQvCPicture* picture = nullptr;
        if (cell) {
            look.Font = CellFontOf(cell);
            look.Layout = cell->Layout();
            if (dynamic_cast<TQvCNumber*>(cell) || dynamic_cast<TQvCDateTime*>(cell)) {
                const bool date = dynamic_cast<TQvCDateTime*>(cell) != nullptr;
                number = date                                ? cell->AsDateTime()
                         : dynamic_cast<TQvCCurrency*>(cell) ? cell->AsCurrency().ToDouble()
                                                             : cell->AsFloat();
                const bool ok = date ? number >= FirstSafeSerial && TranslateDateFormat(cell->Format(), look.NumFormat)
                                     : TranslateNumberFormat(cell->Format(), look.NumFormat);
                if (cell->GetValue().IsEmpty()) {
                    what = wNone;  // no value: the look alone, its number format included
                } else if (ok && std::isfinite(number)) {  // infinities and NaN have no number form in the file
                    what = wNumber;
                } else {
                    look.NumFormat.clear();
                    text = CellValueText(cell, false);
                    what = wString;
                }
            } else if (auto* b = dynamic_cast<TQvCBoolean*>(cell)) {
                what = wBool;
                number = b->AsBoolean() ? 1 : 0;
            } else if ((picture = dynamic_cast<TQvCPicture*>(cell))) {
                what = wNone;
            } else {
                text = CellValueText(cell, false);
                what = wString;
            }
        }
        lxw_format* format = FormatFor(look);
        const auto fr = static_cast<lxw_row_t>(row);
        const auto fc = static_cast<lxw_col_t>(col);
        switch (what) {
            case wNumber:
                Check(worksheet_write_number(FWorksheet, fr, fc, number, format), row, col);
                if (LosesDigits(number)) FExact.push_back({fr, fc, number});
                break;
            case wBool: Check(worksheet_write_boolean(FWorksheet, fr, fc, number != 0, format), row, col); break;
            case wString:
                if (!text.empty()) {
                    Check(worksheet_write_string(FWorksheet, fr, fc, text.c_str(), format), row, col);
                    break;
                }
                [[fallthrough]];
            default:
                if (format) Check(worksheet_write_blank(FWorksheet, fr, fc, format), row, col);
                break;
        }
        if (picture) Picture(*picture, fr, fc);
        if (cell && !cell->Hint().empty()) worksheet_write_comment(FWorksheet, fr, fc, cell->Hint().c_str());
        ++FDone;
        if (FOptions.Progress && (FDone & 0x3FFF) == 0) FOptions.Progress(FDone, FTotal);
    }

    // The fill and frame every position of S shows unless it has its own.
    // The client's base fill is the window's, which blank file cells show
    // already; a title section's is its own.
    static TQvLine BaseFill(const TQvSection& S) {
        return S.Kind() != skClient && S.BaseStyle() ? PackLine(lsSingle, S.BaseStyle()->Color()) : 0;
    }
    static int32_t BaseFrame(const TQvSection& S) { return S.BaseStyle() ? S.BaseStyle()->Frame() & 0x7F : 0; }

    // The font the cell is shown with: its own, else its supplier's.
    static const TFont* CellFontOf(TQvCell* Cell) {
        if (const TFont* own = Cell->OwnFont()) return own;
        if (TQvPro* source = Cell->FindSource(piFont); source && source != Cell) return source->Font();
        return nullptr;
    }

    void Picture(const TQvCPicture& Cell, lxw_row_t Row, lxw_col_t Col) {
        const TGraphic* g = Cell.Picture() ? Cell.Picture()->Graphic() : nullptr;
        if (!g || g->Empty()) return;
        const std::string& bytes = g->Data();
        // The file format takes bitmaps, PNG and JPEG images; icons and
        // metafiles have no place in it.
        const bool known = bytes.compare(0, 2, "BM") == 0 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") == 0 ||
                           bytes.compare(0, 3, "\xFF\xD8\xFF") == 0;
        if (!known) return;
        lxw_image_options o{};
        o.x_offset = 1;
        o.y_offset = 1;
        worksheet_insert_image_buffer_opt(FWorksheet, Row, Col, reinterpret_cast<const unsigned char*>(bytes.data()),
                                          bytes.size(), &o);
    }

    lxw_format* FormatFor(const TCellLook& L) {
        if (!L.Font && L.Fill == 0 && !L.Edges[0] && !L.Edges[1] && !L.Edges[2] && !L.Edges[3] &&
            L.Layout == TQvLayout{} && L.NumFormat.empty())
            return nullptr;
        std::string key = L.Key();
        auto it = FFormats.find(key);
        if (it != FFormats.end()) return it->second;
        lxw_format* f = workbook_add_format(FBook);
        if (L.Font) {
            format_set_font_name(f, L.Font->Name().c_str());
            format_set_font_size(f, L.Font->Size());
            format_set_font_color(f, FileColor(L.Font->Color()));
            const TFontStyles s = L.Font->Style();
            if (s.Contains(fsBold)) format_set_bold(f);
            if (s.Contains(fsItalic)) format_set_italic(f);
            if (s.Contains(fsUnderline)) format_set_underline(f, LXW_UNDERLINE_SINGLE);
            if (s.Contains(fsStrikeOut)) format_set_font_strikeout(f);
        }
        if (L.Fill != 0) {
            format_set_pattern(f, LXW_PATTERN_SOLID);
            format_set_bg_color(f, FileColor(LineColor(L.Fill)));
        }
        if (L.Edges[0]) {
            format_set_left(f, FileBorder(L.Edges[0]));
            format_set_left_color(f, FileColor(UnpackLine(L.Edges[0]).Color));
        }
        if (L.Edges[1]) {
            format_set_top(f, FileBorder(L.Edges[1]));
            format_set_top_color(f, FileColor(UnpackLine(L.Edges[1]).Color));
        }
        if (L.Edges[2]) {
            format_set_right(f, FileBorder(L.Edges[2]));
            format_set_right_color(f, FileColor(UnpackLine(L.Edges[2]).Color));
        }
        if (L.Edges[3]) {
            format_set_bottom(f, FileBorder(L.Edges[3]));
            format_set_bottom_color(f, FileColor(UnpackLine(L.Edges[3]).Color));
        }
        switch (L.Layout.HAlign) {
            case haRight: format_set_align(f, LXW_ALIGN_RIGHT); break;
            case haCenter: format_set_align(f, LXW_ALIGN_CENTER); break;
            default: format_set_align(f, LXW_ALIGN_LEFT); break;
        }
        switch (L.Layout.VAlign) {
            case vaBottom: format_set_align(f, LXW_ALIGN_VERTICAL_BOTTOM); break;
            case vaCenter: format_set_align(f, LXW_ALIGN_VERTICAL_CENTER); break;
            default: format_set_align(f, LXW_ALIGN_VERTICAL_TOP); break;
        }
        // One indent level is about nine pixels.
        if (L.Layout.Indent > 0) format_set_indent(f, static_cast<uint8_t>(std::min(15, (L.Layout.Indent + 4) / 9)));
        if (L.Layout.WrapMode == wmWrapWords) format_set_text_wrap(f);
        if (!L.NumFormat.empty() && L.NumFormat != "General") format_set_num_format(f, L.NumFormat.c_str());
        FFormats.emplace(std::move(key), f);
        return f;
    }

    TQvSheet& FSheet;
    std::string FFileName;
    const TXlsxOptions& FOptions;
    lxw_workbook* FBook = nullptr;
    lxw_worksheet* FWorksheet = nullptr;
    std::unordered_map<std::string, lxw_format*> FFormats;
    // Number cells whose value the library prints with too few digits.
    std::vector<TXlsxExactNumber> FExact;
    int64_t FDone = 0;
    int64_t FTotal = 0;
};

// The library prints numbers, sizes and margins with the C library, in the
// calling thread's locale; a decimal comma there (a Qt program takes the
// user's locale) would corrupt the file. The export runs in the C locale,
// in this thread only.
class TCLocaleScope {
public:
    TCLocaleScope() : FC(newlocale(LC_ALL_MASK, "C", locale_t(0))), FOld(FC ? uselocale(FC) : locale_t(0)) {}
    ~TCLocaleScope() {
        if (!FC) return;
        uselocale(FOld);
        freelocale(FC);
    }
    TCLocaleScope(const TCLocaleScope&) = delete;
    TCLocaleScope& operator=(const TCLocaleScope&) = delete;

private:
    locale_t FC;
    locale_t FOld;
};

}  // namespace

void ExportXlsx(TQvSheet& Sheet, const std::string& FileName, const TXlsxOptions& Options) {
    TCLocaleScope cNumbers;
    TAtomicFile file(FileName);
    TXlsxWriter(Sheet, FileName, Options).Write(file.TempName());
    file.Commit();
}

}  // namespace qv
