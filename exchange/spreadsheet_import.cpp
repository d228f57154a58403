#include "exchange/spreadsheet_import.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <limits>
#include <unordered_map>

#include "cells/boolean_cell.h"
#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/orcus_adapter.h"
#include "exchange/relation_targets.h"
#include "exchange/spreadsheet_extras.h"
#include "exchange/value_text.h"
#include "exchange/xlsx_formats.h"
#include "exchange/zip_guard.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/shared_font.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/exceptions.h"
#include "platform/font.h"
#include "platform/format_float.h"
#include "platform/stream.h"

namespace qv {

namespace {

constexpr TRect Everything{0, 0, std::numeric_limits<int32_t>::max(), std::numeric_limits<int32_t>::max()};
// What spreading the fills of merged ranges may cost, as the sheet loader allows.
constexpr int64_t FillBudget = int64_t(64) << 20;

TColor ToColor(int32_t Rgb) { return RGB(uint8_t(Rgb >> 16), uint8_t(Rgb >> 8), uint8_t(Rgb)); }

// What one cell format of the file gives a cell, worked out once per format.
struct TLook {
    bool Ready = false;
    bool HasFont = false;
    TQvSharedFont Font;
    bool HasLayout = false;
    TQvLayout Layout;
    TQvLine Fill = 0;
    TQvLine Edges[4] = {0, 0, 0, 0};
    TFileFormatKind Kind = ffNumber;
    bool Translated = true;  // false: the code has no equivalent
    std::string Format;      // in the format language
    bool HasFormat = false;
    bool Plain() const { return !HasFont && !HasLayout && !HasFormat; }
};

class TBookWriter {
public:
    TBookWriter(TQvSheet& Sheet, TStagedBook& Book, const TStagedExtras& Extras, const std::string& Name,
                TSpreadsheetImportResult& Result)
        : FSheet(Sheet), FBook(Book), FExtras(Extras), FName(Name), FResult(Result) {}

    // Sorts the staged cells and works out the counts; nothing is written.
    void Prepare() {
        auto& cells = FBook.Cells;
        if (FExtras.HasLayout) FBook.ColSizes = FExtras.ColSizes;
        for (int32_t r : FExtras.HiddenRows) FBook.RowSizes.push_back({r, -1, true});
        for (int32_t c : FExtras.HiddenCols) FBook.ColSizes.push_back({c, -1, true});
        if (FExtras.HasLayout) {
            FBook.Merges.insert(FBook.Merges.end(), FExtras.Merges.begin(), FExtras.Merges.end());
            if (FBook.FrozenCols == 0 && FBook.FrozenRows == 0) {
                FBook.FrozenCols = FExtras.FrozenCols;
                FBook.FrozenRows = FExtras.FrozenRows;
            }
        }
        for (const TStagedHint& t : FExtras.InlineTexts) {
            FBook.Strings.push_back(t.Text);
            TStagedCell c;
            c.Row = t.Row;
            c.Col = t.Col;
            c.Kind = scText;
            c.Text = static_cast<uint32_t>(FBook.Strings.size() - 1);
            cells.push_back(c);
        }
        const auto before = [](const TStagedCell& A, const TStagedCell& B) {
            return A.Row != B.Row ? A.Row < B.Row : A.Col < B.Col;
        };
        // Files write their cells in order, mostly: no sort then.
        if (!std::is_sorted(cells.begin(), cells.end(), before)) std::stable_sort(cells.begin(), cells.end(), before);
        // One entry per position: the last value reported, the last format.
        size_t out = 0;
        for (size_t i = 0; i < cells.size(); ++i) {
            if (out > 0 && cells[out - 1].Row == cells[i].Row && cells[out - 1].Col == cells[i].Col) {
                TStagedCell& into = cells[out - 1];
                if (cells[i].Kind != scNone) {
                    const uint32_t xf = into.Xf;
                    into = cells[i];
                    if (into.Xf == UINT32_MAX) into.Xf = xf;
                } else if (cells[i].Xf != UINT32_MAX) {
                    into.Xf = cells[i].Xf;
                }
                continue;
            }
            cells[out++] = cells[i];
        }
        cells.resize(out);
        for (const TStagedCell& c : cells) Extend(c.Row, c.Col);
        for (const TStagedRange& m : FBook.Merges) Extend(m.Bottom, m.Right);
        for (const TStagedHint& h : FExtras.Hints) Extend(h.Row, h.Col);
        FTitleRows = std::min(FBook.FrozenRows, FRows);
        FTitleCols = std::min(FBook.FrozenCols, FCols);
        FLooks.resize(FBook.Xfs.size());
    }

    void Write() {
        FSheet.BeginUpdate();
        struct TEnd {
            TQvSheet& Sheet;
            ~TEnd() { Sheet.EndUpdate(); }
        } end{FSheet};
        for (TQvSectionKind k : AllSectionKinds) Empty(*FSheet.Sections(k));
        // Counts of 0 drop every individual size.
        FSheet.SetColCount(0);
        FSheet.SetRowCount(0);
        FSheet.SetTitleCols(0);
        FSheet.SetTitleRows(0);
        FSheet.SetTitleCols(FTitleCols);
        FSheet.SetTitleRows(FTitleRows);
        FSheet.SetColCount(FCols - FTitleCols);
        FSheet.SetRowCount(FRows - FTitleRows);
        // Maxima that let every size stand, then the file's default sizes.
        const int32_t defRow =
            FExtras.DefaultRowPoints > 0 ? static_cast<int32_t>(std::lround(FExtras.DefaultRowPoints * 96 / 72)) : -1;
        const int32_t defCol = FExtras.DefaultColChars > 0
                                   ? static_cast<int32_t>(std::trunc((256 * FExtras.DefaultColChars + 18) / 256 * 7))
                                   : -1;
        int32_t widest = defCol, tallest = defRow;
        for (const TStagedSize& s : FBook.ColSizes) widest = std::max(widest, PixelsOf(s));
        for (const TStagedSize& s : FBook.RowSizes) tallest = std::max(tallest, PixelsOf(s));
        if (FSheet.ColMaxWidth() > 0 && widest > FSheet.ColMaxWidth()) FSheet.SetColMaxWidth(widest);
        if (FSheet.RowMaxHeight() > 0 && tallest > FSheet.RowMaxHeight()) FSheet.SetRowMaxHeight(tallest);
        if (defRow >= 0) FSheet.SetRowDefHeight(defRow);
        if (defCol >= 0) FSheet.SetColDefWidth(defCol);
        Sizes(axCols, FBook.ColSizes, FTitleCols, FCols);
        Sizes(axRows, FBook.RowSizes, FTitleRows, FRows);
        Cells();
        Merges();
        Hints();
    }

private:
    void Extend(int32_t Row, int32_t Col) {
        FRows = std::max(FRows, Row + 1);
        FCols = std::max(FCols, Col + 1);
    }

    static void Empty(TQvSection& S) {
        // Ranges first: a range refers to its top-left cell.
        S.RemoveUnionsIn(Everything);
        S.FreeCells(Everything);
        S.Clear();
        for (TQvSectionTable t : {tbVertLines, tbHorzLines, tbBias1, tbBias2, tbFill, tbFrames}) S.Tables(t)->Clear();
    }

    // The section of a file position, and the position inside it.
    TQvSectionKind Map(int32_t Row, int32_t Col, TPoint& Local) const {
        const bool titleRow = Row < FTitleRows, titleCol = Col < FTitleCols;
        Local = {titleCol ? Col : Col - FTitleCols, titleRow ? Row : Row - FTitleRows};
        if (titleRow) return titleCol ? skCorner : skColTitles;
        return titleCol ? skRowTitles : skClient;
    }

    // The size an entry takes, or -1 for the default.
    static int32_t PixelsOf(const TStagedSize& S) {
        if (S.Hidden) return 0;
        return S.Pixels >= 0 ? static_cast<int32_t>(std::lround(std::min(S.Pixels, 1e5))) : -1;
    }

    void Sizes(TQvAxis Axis, const std::vector<TStagedSize>& Sizes, int32_t Titles, int32_t Count) {
        for (const TStagedSize& s : Sizes) {
            if (s.Index >= Count) continue;  // sizes past the data (a whole row's style) set nothing
            const int32_t size = PixelsOf(s);
            if (size < 0) continue;
            // Title entries are addressed as -1 - entry.
            const int32_t index = s.Index < Titles ? -1 - s.Index : s.Index - Titles;
            FSheet.SetSize(Axis, index, size);
        }
    }

    const std::string* NumberCode(size_t Id) const {
        for (size_t i = FBook.NumFormats.size(); i-- > 0;)
            if (FBook.NumFormats[i].first == Id) return &FBook.NumFormats[i].second;
        return nullptr;
    }

    TQvLine Edge(const TStagedEdge& E) const {
        return E.Style == lsNone ? 0 : PackLine(E.Style, E.Color >= 0 ? ToColor(E.Color) : clBlack);
    }

    const TLook& LookOf(uint32_t Xf) {
        static const TLook none;
        if (Xf == UINT32_MAX) return none;
        if (Xf >= FLooks.size()) {
            ++FBadStyles;
            return none;
        }
        TLook& l = FLooks[Xf];
        if (l.Ready) return l;
        l.Ready = true;
        const TStagedXf& x = FBook.Xfs[Xf];
        // The workbook's default font is the sheet's own: only others are kept.
        if (x.Font != 0 && x.Font < FBook.Fonts.size()) {
            const TStagedFont& f = FBook.Fonts[x.Font];
            const TStagedFont* base = FBook.Fonts.empty() ? nullptr : &FBook.Fonts[0];
            const bool same = base && f.Name == base->Name && f.Points == base->Points && f.Bold == base->Bold &&
                              f.Italic == base->Italic && f.Underline == base->Underline && f.Strike == base->Strike &&
                              f.Color == base->Color;
            if (!same) {
                TFont font;
                if (!f.Name.empty()) font.SetName(f.Name);
                if (f.Points > 0) font.SetHeight(-static_cast<int32_t>(std::lround(std::min(f.Points, 1000.0) * 96 / 72)));
                if (f.Color >= 0) font.SetColor(ToColor(f.Color));
                TFontStyles st;
                if (f.Bold) st.Include(fsBold);
                if (f.Italic) st.Include(fsItalic);
                if (f.Underline) st.Include(fsUnderline);
                if (f.Strike) st.Include(fsStrikeOut);
                font.SetStyle(st);
                l.Font = TQvSharedFont::Make(&font);
                l.HasFont = true;
            }
        } else if (x.Font >= FBook.Fonts.size() && x.Font != 0) {
            ++FBadStyles;
        }
        if (x.Fill < FBook.Fills.size()) {
            if (FBook.Fills[x.Fill] >= 0) l.Fill = PackLine(lsSingle, ToColor(FBook.Fills[x.Fill]));
        } else if (x.Fill != 0) {
            ++FBadStyles;
        }
        if (x.Border < FBook.Borders.size()) {
            for (int k = 0; k < 4; ++k) l.Edges[k] = Edge(FBook.Borders[x.Border].Edges[k]);
        } else if (x.Border != 0) {
            ++FBadStyles;
        }
        const TStagedAlignment* extra = Xf < FExtras.Alignments.size() ? &FExtras.Alignments[Xf] : nullptr;
        if (x.HAlign >= 0 || x.VAlign >= 0 || (extra && (extra->Wrap || extra->Indent > 0))) {
            l.HasLayout = true;
            if (x.HAlign >= 0) l.Layout.HAlign = static_cast<uint8_t>(x.HAlign);
            if (x.VAlign >= 0) l.Layout.VAlign = static_cast<uint8_t>(x.VAlign);
            if (extra && extra->Wrap) l.Layout.WrapMode = wmWrapWords;
            // One indent level is about nine pixels.
            if (extra) l.Layout.Indent = static_cast<uint16_t>(std::min(250, extra->Indent) * 9);
        }
        const std::string* code = NumberCode(x.NumFormat);
        const char* builtin = code ? nullptr : BuiltinFileFormat(x.NumFormat);
        if (code || builtin) {
            l.Translated = TranslateFileFormat(code ? *code : std::string(builtin), l.Format, l.Kind);
            l.HasFormat = l.Translated && !l.Format.empty();
            if (!l.Translated) ++FUntranslated;
        }
        return l;
    }

    // A serial number of the file as a date: in the 1900 system, days
    // before 1 March 1900 count one more (the file format counts a
    // 29 February 1900 that never was).
    TDateTime FromSerial(double V) const {
        if (FBook.Date1904 || FExtras.Date1904) return V + 1462;
        if (FBook.Origin == 0 && V < 61 && V >= 1) return V < 60 ? V + 1 : 60;
        return FBook.Origin + V;
    }

    void Cells() {
        TQvCellBatch* batches[4] = {nullptr, nullptr, nullptr, nullptr};
        std::unique_ptr<TQvCellBatch> owned[4];
        const TQvCellClass integerClass = TQvCInteger::StaticClass(), doubleClass = TQvCDouble::StaticClass(),
                           dateClass = TQvCDateTime::StaticClass(), stringClass = TQvCString::StaticClass(),
                           boolClass = TQvCBoolean::StaticClass();
        std::string body;
        const TCompactString isoDate(IsoDateFormat), isoDateTime(IsoDateTimeFormat);
        // Per section: the packed form (plus one; 0 for none yet) of each
        // cell format and class.
        std::unordered_map<uint64_t, int> forms[4];
        for (const TStagedCell& s : FBook.Cells) {
            TPoint at;
            const TQvSectionKind kind = Map(s.Row, s.Col, at);
            TQvSection& section = *FSheet.Sections(kind);
            if (!batches[kind]) {
                owned[kind] = std::make_unique<TQvCellBatch>(section);
                batches[kind] = owned[kind].get();
            }
            TQvCellBatch& batch = *batches[kind];
            const TLook& look = LookOf(s.Xf);
            // Position attributes: fill and border edges (an edge is shared
            // with the neighbour, and a set one is never cleared by it).
            if (look.Fill) section.SetLine(tbFill, at.Y, at.X, at.X, look.Fill);
            if (look.Edges[0]) section.SetLine(tbVertLines, at.X, at.Y, at.Y, look.Edges[0]);
            if (look.Edges[1]) section.SetLine(tbHorzLines, at.Y, at.X, at.X, look.Edges[1]);
            if (look.Edges[2]) section.SetLine(tbVertLines, at.X + 1, at.Y, at.Y, look.Edges[2]);
            if (look.Edges[3]) section.SetLine(tbHorzLines, at.Y + 1, at.X, at.X, look.Edges[3]);

            TQvCellClass cls = stringClass;
            std::string text;
            double number = s.Number;
            bool hasValue = true;
            switch (s.Kind) {
                case scNumber:
                    if (look.Kind == ffDate) {
                        cls = dateClass;
                        number = FromSerial(number);
                        if (!(number >= MinDateTime && number <= MaxDateTime)) {
                            cls = doubleClass;
                            number = s.Number;
                        }
                    } else if (look.Kind == ffPercent && look.Translated) {
                        text = FormatFloat(look.Format, number * 100);
                    } else if (std::nearbyint(number) == number && std::fabs(number) < 2147483648.0) {
                        cls = integerClass;
                    } else {
                        cls = doubleClass;
                    }
                    break;
                case scDate: cls = dateClass; break;
                case scBool: cls = boolClass; break;
                case scText:
                case scError:
                    if (s.Text >= FBook.Strings.size()) {
                        ++FBadStrings;
                        hasValue = false;
                    } else {
                        text = FBook.Strings[s.Text];
                    }
                    break;
                default:
                    hasValue = false;
                    break;
            }
            if (!hasValue) {
                // A position with a look but no value: a cell only where the
                // look is one a cell carries (a font, a layout, a format).
                if (look.Plain()) continue;
                cls = look.Kind == ffDate ? dateClass : look.HasFormat ? doubleClass : stringClass;
            }
            const bool dated = cls == dateClass;
            if (look.Plain() && hasValue && !dated) {
                // The body first: it is read when the call is made.
                bool set = false, packable = true;
                if (cls == integerClass)
                    set = TQvCInteger::PlainBody(static_cast<int32_t>(number), body);
                else if (cls == doubleClass)
                    set = TQvCDouble::PlainBody(number, body);
                else if (cls == stringClass)
                    set = TQvCString::PlainBody(text, body);
                else
                    packable = false;
                const bool packed = packable && batch.AddPlain(at, cls, set, body);
                if (packed) {
                    ++FResult.Cells;
                    continue;
                }
            }
            // A value whose look is its format alone: the first cell of each
            // format and class is made and packed, and its form serves the
            // rest, which are never made.
            const bool formOnly = hasValue && !look.HasFont && !look.HasLayout &&
                                  (cls == dateClass || cls == doubleClass || cls == integerClass);
            const uint64_t formKey = (uint64_t(s.Xf) << 8) | (cls == dateClass ? 1 : cls == doubleClass ? 2 : 3);
            int* form = nullptr;
            if (formOnly) {
                form = &forms[kind][formKey];
                if (*form > 0) {
                    const bool set = cls == dateClass     ? TQvCDateTime::PlainBody(number, body)
                                     : cls == doubleClass ? TQvCDouble::PlainBody(number, body)
                                                          : TQvCInteger::PlainBody(static_cast<int32_t>(number), body);
                    if (batch.AddPacked(at, *form - 1, set, body)) {
                        ++FResult.Cells;
                        continue;
                    }
                }
            }
            TQvCell* c = batch.Add(at, cls);
            if (!c) continue;
            ++FResult.Cells;
            if (look.HasFont) c->ShareFont(look.Font);
            if (look.HasLayout) c->SetLayout(look.Layout);
            if (dated) {
                if (look.Kind == ffDate && look.HasFormat)
                    c->SetFormat(look.Format);
                else
                    c->SetFormatText(number == std::floor(number) ? isoDate : isoDateTime);
            } else if (look.HasFormat && (cls == doubleClass || cls == integerClass)) {
                c->SetFormat(look.Format);
            }
            if (!hasValue) continue;
            if (cls == integerClass)
                c->SetAsInteger(static_cast<int32_t>(number));
            else if (cls == doubleClass)
                c->SetAsFloat(number);
            else if (dated)
                c->SetAsDateTime(number);
            else if (cls == boolClass)
                c->SetAsBoolean(number != 0);
            else
                c->SetAsString(text);
            if (batch.Pack(c) && form && *form == 0) *form = batch.PackedForm() + 1;
        }
    }

    void Merges() {
        for (TQvSectionKind k : AllSectionKinds) FSheet.Sections(k)->SetFillBudget(FillBudget);
        for (const TStagedRange& m : FBook.Merges) {
            TPoint a, b;
            const TQvSectionKind ka = Map(m.Top, m.Left, a), kb = Map(m.Bottom, m.Right, b);
            if (ka != kb) {
                ++FCutMerges;  // across the frozen panes: the parts cannot be one range
                continue;
            }
            TQvSection& s = *FSheet.Sections(ka);
            const TRect r{a.X, a.Y, b.X + 1, b.Y + 1};
            if (r.Right - r.Left == 1 && r.Bottom - r.Top == 1) continue;
            if (s.FindIntersecting(r, nullptr)) {
                ++FCutMerges;  // overlapping another: a damaged file
                continue;
            }
            // What the covered positions hold is hidden by the range: gone.
            if (r.Right - r.Left > 1) s.FreeCells({r.Left + 1, r.Top, r.Right, r.Top + 1});
            if (r.Bottom - r.Top > 1) s.FreeCells({r.Left, r.Top + 1, r.Right, r.Bottom});
            TQvCell* cell = s.FindCell(a);
            if (!cell) cell = s.NeedCell(a);
            s.AddUnion(r, cell);
        }
        for (TQvSectionKind k : AllSectionKinds) {
            TQvSection& s = *FSheet.Sections(k);
            s.TidyRanges();
            const std::string overspent = s.Overspent();
            s.SetFillBudget(-1);
            if (!overspent.empty()) FResult.Warnings.push_back(FName + ": " + overspent);
        }
    }

    void Hints() {
        for (const TStagedHint& h : FExtras.Hints) {
            TPoint at;
            TQvSection& s = *FSheet.Sections(Map(h.Row, h.Col, at));
            TQvCell* c = s.FindCell(at);
            if (!c) c = s.NeedCell(at);
            if (c) c->SetHint(h.Text);
        }
    }

public:
    void Report() {
        auto warn = [&](int64_t N, const std::string& What) {
            if (N > 0) FResult.Warnings.push_back(FName + ": " + std::to_string(N) + " " + What);
        };
        warn(FBook.OutOfRange, "cells or ranges past the rows and columns a spreadsheet file holds, dropped");
        warn(FBook.BadDates, "dates that name no day of the calendar, dropped");
        warn(FBadStrings, "cells naming a shared string the file does not hold, left empty");
        warn(FBadStyles, "references to styles the file does not hold, taken as the default");
        warn(FUntranslated, "number formats without an equivalent, shown with the default format");
        warn(FCutMerges, "merged ranges across the frozen panes or over another range, dropped");
        FResult.Rows = FRows;
        FResult.Cols = FCols;
    }

private:
    TQvSheet& FSheet;
    TStagedBook& FBook;
    const TStagedExtras& FExtras;
    const std::string& FName;
    TSpreadsheetImportResult& FResult;
    std::vector<TLook> FLooks;
    int32_t FRows = 0, FCols = 0, FTitleRows = 0, FTitleCols = 0;
    int64_t FBadStrings = 0, FBadStyles = 0, FUntranslated = 0, FCutMerges = 0;
};

std::string Lower(std::string S) {
    for (char& c : S) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return S;
}

}  // namespace

bool IsSpreadsheetFileName(const std::string& FileName) {
    const std::string n = Lower(FileName);
    auto ends = [&](const char* E) { return n.size() > std::strlen(E) && n.compare(n.size() - std::strlen(E), std::string::npos, E) == 0; };
    return ends(".xlsx") || ends(".ods");
}

TSpreadsheetImportResult ImportSpreadsheet(TQvSheet& Sheet, std::string_view Bytes, const std::string& Name,
                                           const TSpreadsheetImportOptions& Options) {
    if (Options.SheetName.empty() && Options.SheetIndex < 0)
        throw EReadError(Name + ": there is no sheet number " + std::to_string(Options.SheetIndex));
    // Both formats are zip packages: their directory is checked before the
    // parser inflates anything.
    TZipFacts facts;
    facts.Words = XlsxExtraWords();
    CheckZipPackage(Bytes, Name, &facts);
    std::string relative;
    if (MakeTargetsRelative(Bytes, Name, relative)) Bytes = relative;
    const TSpreadsheetKind kind = DetectSpreadsheet(Bytes);
    if (kind == sfUnknown) throw EReadError(Name + ": not a spreadsheet file (a zip package, but neither .xlsx nor .ods)");

    if (kind == sfOds) CheckOdsStyles(Bytes, Name);

    TSpreadsheetImportResult result;
    TStagedBook book;
    TStagedExtras extras;
    try {
        StageSpreadsheet(Bytes, kind, Name, Options.SheetName, Options.SheetIndex, book);
        if (book.Chosen < 0) {
            std::string names;
            for (const std::string& n : book.SheetNames) names += (names.empty() ? "" : ", ") + ("\"" + EscapeBytes(n) + "\"");
            if (book.SheetNames.empty()) throw EReadError(Name + ": the workbook holds no sheet");
            throw EReadError(Name + ": the workbook has no sheet " +
                             (Options.SheetName.empty() ? "number " + std::to_string(Options.SheetIndex)
                                                        : "named \"" + EscapeBytes(Options.SheetName) + "\"") +
                             " (it has " + names + ")");
        }
        // Facts name the members as they were: after a rewrite of targets
        // they still are, for only relationship parts change.
        if (kind == sfXlsx) StageXlsxExtras(Bytes, book.Chosen, extras, result.Warnings, Name, &facts);
        if (kind == sfOds) StageOdsExtras(Bytes, book.Chosen, extras, result.Warnings, Name);
    } catch (const std::bad_alloc&) {
        throw EReadError(Name + ": not enough memory to read it; the sheet is unchanged");
    }
    result.SheetNames = book.SheetNames;
    result.SheetIndex = book.Chosen;
    result.SheetName = book.SheetNames[book.Chosen];
    for (const TStagedFormula& f : book.Formulas)
        result.Formulas.push_back({f.Row, f.Col, f.Text, f.SharedIndex, f.Array});

    TBookWriter writer(Sheet, book, extras, Name, result);
    std::unique_ptr<TQvSheetSnapshot> before;
    try {
        writer.Prepare();
        before = std::make_unique<TQvSheetSnapshot>(TakeSnapshot(Sheet));
    } catch (const std::bad_alloc&) {
        throw EReadError(Name + ": not enough memory to import it; the sheet is unchanged");
    }
    try {
        writer.Write();
    } catch (const std::bad_alloc&) {
        RestoreSnapshot(Sheet, *before);
        throw EReadError(Name + ": not enough memory to import " + std::to_string(book.Cells.size()) +
                         " cells; the sheet is unchanged");
    } catch (...) {
        RestoreSnapshot(Sheet, *before);
        throw;
    }
    writer.Report();
    return result;
}

TSpreadsheetImportResult ImportSpreadsheetFile(TQvSheet& Sheet, const std::string& FileName,
                                               const TSpreadsheetImportOptions& Options) {
    std::string bytes;
    {
        TFileStream file(FileName, fmOpenRead);
        const int64_t size = file.Size();
        // The package is parsed in memory; past the limits it is refused unread.
        if (size > int64_t(ZipTotalLimit))
            throw EReadError(FileName + ": " + std::to_string(size >> 20) + " MB, more than a spreadsheet file may take");
        bytes.resize(static_cast<size_t>(size));
        if (size > 0) file.ReadBuffer(bytes.data(), size);
    }
    return ImportSpreadsheet(Sheet, bytes, FileName, Options);
}

}  // namespace qv
