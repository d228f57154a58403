#include "exchange/orcus_adapter.h"

#include <orcus/exception.hpp>
#include <orcus/format_detection.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>
#include <orcus/spreadsheet/import_interface_view.hpp>
#include <orcus/zip_archive.hpp>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>
#include <cstring>
#include <unordered_map>

#include "exchange/spreadsheet_extras.h"
#include "grids/types.h"
#include "platform/exceptions.h"

namespace qv {

namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

// The rows and columns a spreadsheet file holds.
constexpr int32_t FileRows = 1048576;
constexpr int32_t FileCols = 16384;

int32_t Rgb(ss::color_elem_t R, ss::color_elem_t G, ss::color_elem_t B) {
    return (int32_t(R) << 16) | (int32_t(G) << 8) | int32_t(B);
}

bool InFile(ss::row_t Row, ss::col_t Col) { return Row >= 0 && Col >= 0 && Row < FileRows && Col < FileCols; }

// Pixels at 96 dpi of a length. A column width in characters (padding
// included) counts seven pixels a digit, in steps of 1/256 character, as the
// file format defines it.
double ToPixels(double V, orcus::length_unit_t Unit) {
    switch (Unit) {
        case orcus::length_unit_t::xlsx_column_digit: return std::trunc((256 * V + 18) / 256 * 7);
        case orcus::length_unit_t::point: return V * 96 / 72;
        case orcus::length_unit_t::twip: return V * 96 / 1440;
        case orcus::length_unit_t::inch: return V * 96;
        case orcus::length_unit_t::centimeter: return V * 96 / 2.54;
        case orcus::length_unit_t::millimeter: return V * 96 / 25.4;
        case orcus::length_unit_t::pixel: return V;
        default: return -1;
    }
}

uint8_t LineStyle(ss::border_style_t S) {
    switch (S) {
        case ss::border_style_t::unknown:
        case ss::border_style_t::none: return lsNone;
        case ss::border_style_t::medium:
        case ss::border_style_t::medium_dashed:
        case ss::border_style_t::medium_dash_dot:
        case ss::border_style_t::medium_dash_dot_dot:
        case ss::border_style_t::slant_dash_dot:
        case ss::border_style_t::thick: return lsMedium;
        case ss::border_style_t::double_border:
        case ss::border_style_t::double_thin: return lsDouble;
        default: return lsSingle;
    }
}

int EdgeIndex(ss::border_direction_t D) {
    switch (D) {
        case ss::border_direction_t::left: return 0;
        case ss::border_direction_t::top: return 1;
        case ss::border_direction_t::right: return 2;
        case ss::border_direction_t::bottom: return 3;
        default: return -1;  // diagonals
    }
}

class TGlobalSettings : public iface::import_global_settings {
public:
    explicit TGlobalSettings(TStagedBook& Book) : FBook(Book) {}
    void set_origin_date(int Year, int Month, int Day) override {
        TDateTime d;
        if (TryEncodeDate(Year, Month, Day, d)) {
            FBook.Origin = d;
            FBook.Date1904 = Year == 1904;
        }
    }
    void set_default_formula_grammar(ss::formula_grammar_t G) override { FGrammar = G; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return FGrammar; }
    void set_character_set(orcus::character_set_t) override {}

private:
    TStagedBook& FBook;
    ss::formula_grammar_t FGrammar = ss::formula_grammar_t::unknown;
};

class TSharedStrings : public iface::import_shared_strings {
public:
    explicit TSharedStrings(TStagedBook& Book) : FBook(Book) {}
    size_t append(std::string_view S) override {
        FBook.Strings.emplace_back(S);
        FBook.SharedStrings = FBook.Strings.size();
        return FBook.Strings.size() - 1;
    }
    size_t add(std::string_view S) override {
        auto it = FIndex.find(std::string(S));
        if (it != FIndex.end()) return it->second;
        const size_t i = append(S);
        FIndex.emplace(std::string(S), i);
        return i;
    }
    // Rich text is kept as its plain text.
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view S) override { FSegments += S; }
    size_t commit_segments() override {
        const size_t i = append(FSegments);
        FSegments.clear();
        return i;
    }

private:
    TStagedBook& FBook;
    std::unordered_map<std::string, size_t> FIndex;
    std::string FSegments;
};

class TStyles : public iface::import_styles {
public:
    explicit TStyles(TStagedBook& Book) : FBook(Book) {}

    // Counts are the file's claims: nothing is reserved by them.
    void set_font_count(size_t) override {}
    void set_font_bold(bool B) override { FFont.Bold = B; }
    void set_font_italic(bool B) override { FFont.Italic = B; }
    void set_font_name(std::string_view S) override { FFont.Name = S; }
    void set_font_size(double P) override { FFont.Points = P; }
    void set_font_underline(ss::underline_t E) override { FFont.Underline = E != ss::underline_t::none; }
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_font_color(ss::color_elem_t, ss::color_elem_t R, ss::color_elem_t G, ss::color_elem_t B) override {
        FFont.Color = Rgb(R, G, B);
    }
    void set_strikethrough_style(ss::strikethrough_style_t S) override {
        FFont.Strike = S != ss::strikethrough_style_t::none;
    }
    void set_strikethrough_type(ss::strikethrough_type_t T) override {
        if (T != ss::strikethrough_type_t::unknown) FFont.Strike = T != ss::strikethrough_type_t::none;
    }
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override {
        FBook.Fonts.push_back(std::move(FFont));
        FFont = {};
        return FBook.Fonts.size() - 1;
    }

    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t P) override { FPattern = P; }
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t R, ss::color_elem_t G, ss::color_elem_t B) override {
        FFg = Rgb(R, G, B);
    }
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t R, ss::color_elem_t G, ss::color_elem_t B) override {
        FBg = Rgb(R, G, B);
    }
    size_t commit_fill() override {
        // A patterned fill shows its foreground colour, the solid one above all.
        int32_t c = -1;
        if (FPattern != ss::fill_pattern_t::none) c = FFg >= 0 ? FFg : FBg;
        FBook.Fills.push_back(c);
        FPattern = ss::fill_pattern_t::none;
        FFg = FBg = -1;
        return FBook.Fills.size() - 1;
    }

    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t D, ss::border_style_t S) override {
        if (const int e = EdgeIndex(D); e >= 0) FBorder.Edges[e].Style = LineStyle(S);
    }
    void set_border_color(ss::border_direction_t D, ss::color_elem_t, ss::color_elem_t R, ss::color_elem_t G,
                          ss::color_elem_t B) override {
        if (const int e = EdgeIndex(D); e >= 0) FBorder.Edges[e].Color = Rgb(R, G, B);
    }
    void set_border_width(ss::border_direction_t D, double Width, orcus::length_unit_t Unit) override {
        // Documents give a solid line and its width: thin up to a point,
        // medium above (a thin line in a spreadsheet file is 0.75 pt, a
        // medium one 1.5 to 1.8 pt).
        const int e = EdgeIndex(D);
        if (e < 0) return;
        const double px = ToPixels(Width, Unit);
        uint8_t& style = FBorder.Edges[e].Style;
        if ((style == lsNone || style == lsSingle) && px > 0) style = px > 96.0 / 72 ? lsMedium : lsSingle;
    }
    size_t commit_border() override {
        FBook.Borders.push_back(FBorder);
        FBorder = {};
        return FBook.Borders.size() - 1;
    }

    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return FProtections++; }

    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t Id) override { FNumId = Id; }
    void set_number_format_code(std::string_view S) override { FNumCode = S; }
    size_t commit_number_format() override {
        // Formats without an id of their own (as some readers give them)
        // are numbered by position, past the built-in ones.
        const size_t id = FNumId == SIZE_MAX ? 1000 + FBook.NumFormats.size() : FNumId;
        FBook.NumFormats.emplace_back(id, std::move(FNumCode));
        FNumId = SIZE_MAX;
        FNumCode.clear();
        return id;
    }

    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t I) override { FXf.Font = I; }
    void set_xf_fill(size_t I) override { FXf.Fill = I; }
    void set_xf_border(size_t I) override { FXf.Border = I; }
    void set_xf_protection(size_t) override {}
    void set_xf_number_format(size_t I) override { FXf.NumFormat = I; }
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t A) override {
        switch (A) {
            case ss::hor_alignment_t::left: FXf.HAlign = haLeft; break;
            case ss::hor_alignment_t::center: FXf.HAlign = haCenter; break;
            case ss::hor_alignment_t::right: FXf.HAlign = haRight; break;
            case ss::hor_alignment_t::justified:
            case ss::hor_alignment_t::distributed:
            case ss::hor_alignment_t::filled: FXf.HAlign = haLeft; break;
            default: break;
        }
    }
    void set_xf_vertical_alignment(ss::ver_alignment_t A) override {
        switch (A) {
            case ss::ver_alignment_t::top: FXf.VAlign = vaTop; break;
            case ss::ver_alignment_t::middle: FXf.VAlign = vaCenter; break;
            case ss::ver_alignment_t::bottom: FXf.VAlign = vaBottom; break;
            case ss::ver_alignment_t::justified:
            case ss::ver_alignment_t::distributed: FXf.VAlign = vaCenter; break;
            default: break;
        }
    }
    // Cell formats are what cells name; style formats and differential ones
    // (conditional formatting) are read and dropped.
    size_t commit_cell_xf() override {
        FBook.Xfs.push_back(FXf);
        FXf = {};
        return FBook.Xfs.size() - 1;
    }
    size_t commit_cell_style_xf() override {
        FXf = {};
        return FStyleXfs++;
    }
    size_t commit_dxf() override {
        FXf = {};
        return FDxfs++;
    }

    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return FCellStyles++; }

private:
    TStagedBook& FBook;
    TStagedFont FFont;
    ss::fill_pattern_t FPattern = ss::fill_pattern_t::none;
    int32_t FFg = -1, FBg = -1;
    TStagedBorder FBorder;
    size_t FNumId = SIZE_MAX;
    std::string FNumCode;
    TStagedXf FXf;
    size_t FProtections = 0, FStyleXfs = 0, FDxfs = 0, FCellStyles = 0;
};

void PutCell(TStagedBook& Book, ss::row_t Row, ss::col_t Col, TStagedKind Kind, double Number, uint32_t Text = 0) {
    if (!InFile(Row, Col)) {
        ++Book.OutOfRange;
        return;
    }
    TStagedCell c;
    c.Row = Row;
    c.Col = Col;
    c.Kind = Kind;
    c.Number = Number;
    c.Text = Text;
    Book.Cells.push_back(c);
}

// Array formulas: their text on the top-left cell, their results as values.
class TArrayFormula : public iface::import_array_formula {
public:
    explicit TArrayFormula(TStagedBook& Book) : FBook(Book) {}
    void set_range(const ss::range_t& R) override {
        FRange = R;
        FText.clear();
    }
    void set_formula(ss::formula_grammar_t, std::string_view F) override {
        FText = F;
        if (!FText.empty() && FText[0] == '=') FText.erase(0, 1);
    }
    void set_result_string(ss::row_t Row, ss::col_t Col, std::string_view V) override {
        FBook.Strings.emplace_back(V);
        PutCell(FBook, FRange.first.row + Row, FRange.first.column + Col, scText, 0,
                static_cast<uint32_t>(FBook.Strings.size() - 1));
    }
    void set_result_value(ss::row_t Row, ss::col_t Col, double V) override {
        PutCell(FBook, FRange.first.row + Row, FRange.first.column + Col, scNumber, V);
    }
    void set_result_bool(ss::row_t Row, ss::col_t Col, bool V) override {
        PutCell(FBook, FRange.first.row + Row, FRange.first.column + Col, scBool, V ? 1 : 0);
    }
    void set_result_empty(ss::row_t, ss::col_t) override {}
    void commit() override {
        if (InFile(FRange.first.row, FRange.first.column))
            FBook.Formulas.push_back({FRange.first.row, FRange.first.column, FText, -1, true});
    }

private:
    TStagedBook& FBook;
    ss::range_t FRange{};
    std::string FText;
};

// The sheet chosen: every callback stages what it reports.
class TSheet : public iface::import_sheet,
               iface::import_sheet_properties,
               iface::import_sheet_view,
               iface::import_formula {
public:
    explicit TSheet(TStagedBook& Book) : FBook(Book), FArray(Book) {}

    iface::import_sheet_view* get_sheet_view() override { return this; }
    iface::import_sheet_properties* get_sheet_properties() override { return this; }
    iface::import_formula* get_formula() override { return this; }
    iface::import_array_formula* get_array_formula() override { return &FArray; }

    // --- values ----------------------------------------------------------
    void set_auto(ss::row_t Row, ss::col_t Col, std::string_view S) override {
        // Text the file left untyped: a number when all of it reads as one.
        if (!S.empty()) {
            std::string t(S);
            char* end = nullptr;
            const double v = std::strtod(t.c_str(), &end);
            if (end == t.c_str() + t.size() && std::isfinite(v) && !std::isspace(static_cast<unsigned char>(t[0]))) {
                Put(Row, Col, scNumber, v);
                return;
            }
        }
        FBook.Strings.emplace_back(S);
        Put(Row, Col, scText, 0, static_cast<uint32_t>(FBook.Strings.size() - 1));
    }
    void set_string(ss::row_t Row, ss::col_t Col, ss::string_id_t I) override { Put(Row, Col, scText, 0, I); }
    void set_value(ss::row_t Row, ss::col_t Col, double V) override { Put(Row, Col, scNumber, V); }
    void set_bool(ss::row_t Row, ss::col_t Col, bool V) override { Put(Row, Col, scBool, V ? 1 : 0); }
    void set_date_time(ss::row_t Row, ss::col_t Col, int Year, int Month, int Day, int Hour, int Minute,
                       double Second) override {
        TDateTime d, t;
        const int sec = static_cast<int>(Second);
        const int ms = static_cast<int>(std::lround((Second - sec) * 1000));
        if (!TryEncodeDate(Year, Month, Day, d) ||
            !TryEncodeTime(Hour, Minute, sec, std::min(ms, 999), t)) {
            ++FBook.BadDates;
            return;
        }
        Put(Row, Col, scDate, ComposeDateTime(d, t));
    }
    void set_format(ss::row_t Row, ss::col_t Col, size_t Xf) override {
        if (!InFile(Row, Col)) {
            ++FBook.OutOfRange;
            return;
        }
        // Mostly right after the value of the same position.
        if (!FBook.Cells.empty() && FBook.Cells.back().Row == Row && FBook.Cells.back().Col == Col) {
            FBook.Cells.back().Xf = static_cast<uint32_t>(std::min<size_t>(Xf, UINT32_MAX - 1));
            return;
        }
        TStagedCell c;
        c.Row = Row;
        c.Col = Col;
        c.Xf = static_cast<uint32_t>(std::min<size_t>(Xf, UINT32_MAX - 1));
        FBook.Cells.push_back(c);
    }
    // Formats of whole rows, columns or blocks: they style the positions
    // without cells, which a sheet keeps as it was (its base style).
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t Row, ss::col_t Col, ss::row_t Count) override {
        // Copies of one cell below it; found among what is staged so far.
        const TStagedCell* source = nullptr;
        for (size_t i = FBook.Cells.size(); i-- > 0;)
            if (FBook.Cells[i].Row == Row && FBook.Cells[i].Col == Col) {
                source = &FBook.Cells[i];
                break;
            }
        if (!source || Count <= 0) return;
        const TStagedCell model = *source;
        for (ss::row_t r = 1; r <= Count && Row + r < FileRows; ++r) {
            TStagedCell c = model;
            c.Row = Row + r;
            FBook.Cells.push_back(c);
        }
    }
    ss::range_size_t get_sheet_size() const override { return {FileRows, FileCols}; }

    // --- sizes and merged ranges -------------------------------------------
    void set_column_width(ss::col_t Col, double Width, orcus::length_unit_t Unit) override {
        if (Col >= 0 && Col < FileCols) Size(FBook.ColSizes, Col).Pixels = ToPixels(Width, Unit);
    }
    void set_column_hidden(ss::col_t Col, bool Hidden) override {
        if (Col >= 0 && Col < FileCols) Size(FBook.ColSizes, Col).Hidden = Hidden;
    }
    void set_row_height(ss::row_t Row, double Height, orcus::length_unit_t Unit) override {
        if (Row >= 0 && Row < FileRows) Size(FBook.RowSizes, Row).Pixels = ToPixels(Height, Unit);
    }
    void set_row_hidden(ss::row_t Row, bool Hidden) override {
        if (Row >= 0 && Row < FileRows) Size(FBook.RowSizes, Row).Hidden = Hidden;
    }
    void set_merge_cell_range(const ss::range_t& R) override {
        if (!InFile(R.first.row, R.first.column) || !InFile(R.last.row, R.last.column) || R.last.row < R.first.row ||
            R.last.column < R.first.column) {
            ++FBook.OutOfRange;
            return;
        }
        FBook.Merges.push_back({R.first.row, R.first.column, R.last.row, R.last.column});
    }

    // --- view ----------------------------------------------------------------
    void set_sheet_active() override {}
    void set_split_pane(double, double, const ss::address_t&, ss::sheet_pane_t) override {}
    void set_frozen_pane(ss::col_t Cols, ss::row_t Rows, const ss::address_t&, ss::sheet_pane_t) override {
        FBook.FrozenCols = std::clamp<ss::col_t>(Cols, 0, FileCols - 1);
        FBook.FrozenRows = std::clamp<ss::row_t>(Rows, 0, FileRows - 1);
    }
    void set_selected_range(ss::sheet_pane_t, ss::range_t) override {}

    // --- formulas: the text for later, the cached result as the value --------
    void set_position(ss::row_t Row, ss::col_t Col) override {
        FFormula = {};
        FFormula.Row = Row;
        FFormula.Col = Col;
        FResult = scNone;
    }
    void set_formula(ss::formula_grammar_t, std::string_view F) override {
        FFormula.Text = F;
        if (!FFormula.Text.empty() && FFormula.Text[0] == '=') FFormula.Text.erase(0, 1);
    }
    void set_shared_formula_index(size_t I) override {
        FFormula.SharedIndex = static_cast<int32_t>(std::min<size_t>(I, INT32_MAX));
    }
    void set_result_string(std::string_view V) override {
        FBook.Strings.emplace_back(V);
        FResult = scText;
        FResultText = static_cast<uint32_t>(FBook.Strings.size() - 1);
    }
    void set_result_value(double V) override {
        // An empty cached value reads as not-a-number: no result.
        if (std::isnan(V)) return;
        FResult = scNumber;
        FResultNumber = V;
    }
    void set_result_bool(bool V) override {
        FResult = scBool;
        FResultNumber = V ? 1 : 0;
    }
    void set_result_empty() override { FResult = scNone; }
    void commit() override {
        if (!InFile(FFormula.Row, FFormula.Col)) {
            ++FBook.OutOfRange;
            return;
        }
        const bool hasText = !FFormula.Text.empty() || FFormula.SharedIndex >= 0;
        if (hasText) FBook.Formulas.push_back(FFormula);
        // The parser drops cached booleans (or gives them as numbers); a
        // boolean typed in by hand is written by some programs as the
        // formula TRUE() or FALSE().
        if (FFormula.Text == "TRUE()" || FFormula.Text == "FALSE()") {
            FResult = scBool;
            FResultNumber = FFormula.Text[0] == 'T' ? 1 : 0;
        }
        Put(FFormula.Row, FFormula.Col, FResult, FResultNumber, FResultText);
        if (!FBook.Cells.empty()) FBook.Cells.back().HasFormula = hasText;
        FResult = scNone;
    }

private:
    void Put(ss::row_t Row, ss::col_t Col, TStagedKind Kind, double Number, uint32_t Text = 0) {
        PutCell(FBook, Row, Col, Kind, Number, Text);
    }
    // The entry of Index, the last one made when it is the same (the file
    // gives a row's height and hiding one after the other).
    static TStagedSize& Size(std::vector<TStagedSize>& Sizes, int32_t Index) {
        if (Sizes.empty() || Sizes.back().Index != Index) Sizes.push_back({Index, -1, false});
        return Sizes.back();
    }

    TStagedBook& FBook;
    TStagedFormula FFormula;
    TStagedKind FResult = scNone;
    double FResultNumber = 0;
    uint32_t FResultText = 0;
    TArrayFormula FArray;
};

// Sheets other than the chosen one: read by the parser, kept nowhere.
class TDiscardSheet : public iface::import_sheet {
public:
    void set_auto(ss::row_t, ss::col_t, std::string_view) override {}
    void set_string(ss::row_t, ss::col_t, ss::string_id_t) override {}
    void set_value(ss::row_t, ss::col_t, double) override {}
    void set_bool(ss::row_t, ss::col_t, bool) override {}
    void set_date_time(ss::row_t, ss::col_t, int, int, int, int, int, double) override {}
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {FileRows, FileCols}; }
};

// Cell references of the A1 kind as the parser meets them (merged ranges,
// the sheet's dimension, formulas' positions). One that names no cell of a
// file comes back as row and column -1, which the sheet drops.
class TResolver : public iface::import_reference_resolver {
public:
    ss::src_address_t resolve_address(std::string_view A) override {
        const size_t bang = A.rfind('!');
        if (bang != std::string_view::npos) A.remove_prefix(bang + 1);
        int32_t row, col;
        if (ParseCellRef(A, row, col)) return {0, row, col};
        // Past the file's rows or columns: the row as written where it has
        // one (the parser checks it against the row the cell is in), and
        // no column, so that the cell is dropped and the rest reads on.
        size_t i = 0;
        while (i < A.size() && (A[i] == '$' || std::isalpha(static_cast<unsigned char>(A[i])))) ++i;
        int64_t r = 0;
        size_t digits = 0;
        for (; i < A.size() && std::isdigit(static_cast<unsigned char>(A[i])) && digits < 10; ++i, ++digits)
            r = r * 10 + (A[i] - '0');
        const bool rowOk = digits > 0 && i == A.size() && r >= 1 && r <= INT32_MAX;
        return {0, rowOk ? static_cast<ss::row_t>(r - 1) : -1, -1};
    }
    ss::src_range_t resolve_range(std::string_view R) override {
        const size_t bang = R.rfind('!');
        if (bang != std::string_view::npos) R.remove_prefix(bang + 1);
        const size_t colon = R.find(':');
        if (colon == std::string_view::npos) {
            const ss::src_address_t a = resolve_address(R);
            return {a, a};
        }
        return {resolve_address(R.substr(0, colon)), resolve_address(R.substr(colon + 1))};
    }
};

class TFactory : public iface::import_factory {
public:
    TFactory(TStagedBook& Book, const std::string& SheetName, int32_t SheetIndex)
        : FBook(Book), FSettings(Book), FStrings(Book), FStyles(Book), FSheet(Book), FSheetName(SheetName),
          FSheetIndex(SheetIndex) {
        // Day 0 of the 1900 date system, unless the file says otherwise.
        FBook.Origin = 0;
    }

    iface::import_global_settings* get_global_settings() override { return &FSettings; }
    iface::import_shared_strings* get_shared_strings() override { return &FStrings; }
    iface::import_styles* get_styles() override { return &FStyles; }
    iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override {
        return &FResolver;
    }

    iface::import_sheet* append_sheet(ss::sheet_t Index, std::string_view Name) override {
        const int32_t at = static_cast<int32_t>(FBook.SheetNames.size());
        FBook.SheetNames.emplace_back(Name);
        (void)Index;
        const bool chosen = FSheetName.empty() ? at == FSheetIndex : Name == FSheetName;
        if (chosen && FBook.Chosen < 0) {
            FBook.Chosen = at;
            return &FSheet;
        }
        return &FDiscard;
    }
    iface::import_sheet* get_sheet(std::string_view Name) override {
        for (size_t i = 0; i < FBook.SheetNames.size(); ++i)
            if (FBook.SheetNames[i] == Name) return int32_t(i) == FBook.Chosen ? static_cast<iface::import_sheet*>(&FSheet) : &FDiscard;
        return nullptr;
    }
    iface::import_sheet* get_sheet(ss::sheet_t Index) override {
        if (Index < 0 || size_t(Index) >= FBook.SheetNames.size()) return nullptr;
        return Index == FBook.Chosen ? static_cast<iface::import_sheet*>(&FSheet) : &FDiscard;
    }
    void finalize() override {}

private:
    TStagedBook& FBook;
    TGlobalSettings FSettings;
    TSharedStrings FStrings;
    TStyles FStyles;
    TSheet FSheet;
    TDiscardSheet FDiscard;
    TResolver FResolver;
    std::string FSheetName;
    int32_t FSheetIndex;
};

}  // namespace

TSpreadsheetKind DetectSpreadsheet(std::string_view Bytes) {
    const auto* p = reinterpret_cast<const unsigned char*>(Bytes.data());
    try {
        if (orcus::orcus_xlsx::detect(p, Bytes.size())) return sfXlsx;
        if (orcus::orcus_ods::detect(p, Bytes.size())) return sfOds;
    } catch (...) {
        // A damaged package is no spreadsheet of a kind we can tell.
    }
    return sfUnknown;
}

void StageSpreadsheet(std::string_view Bytes, TSpreadsheetKind Kind, const std::string& Name,
                      const std::string& SheetName, int32_t SheetIndex, TStagedBook& Book) {
    TFactory factory(Book, SheetName, SheetIndex);
    std::unique_ptr<orcus::iface::import_filter> filter;
    if (Kind == sfXlsx)
        filter = std::make_unique<orcus::orcus_xlsx>(&factory);
    else if (Kind == sfOds)
        filter = std::make_unique<orcus::orcus_ods>(&factory);
    else
        throw EReadError(Name + ": not a spreadsheet file (.xlsx or .ods)");
    try {
        filter->read_stream(Bytes);
        // The parser numbers a document's column entries, not its columns:
        // one entry that repeats (as every writer uses) shifts all after it.
        // No width is better than a wrong one.
        if (Kind == sfOds) Book.ColSizes.clear();
    } catch (const Exception&) {
        throw;
    } catch (const std::bad_alloc&) {
        throw EReadError(Name + ": not enough memory to read it; the sheet is unchanged");
    } catch (const orcus::zip_error& e) {
        throw EReadError(Name + ": the package is damaged (" + EscapeBytes(e.what(), 200) + ")");
    } catch (const std::exception& e) {
        throw EReadError(Name + ": the file is damaged (" + EscapeBytes(e.what(), 200) + ")");
    }
}

}  // namespace qv
