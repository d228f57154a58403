#include "exchange/text_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <memory>
#include <new>
#include <unordered_set>
#include <utility>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/base_style.h"
#include "grids/cell_batch.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_snapshot.h"
#include "platform/compact_string.h"
#include "platform/exceptions.h"
#include "platform/font.h"

namespace qv {

namespace {

// Collects the fields of a table, row by row.
class TTableBuilder {
public:
    explicit TTableBuilder(bool DetectTypes) : FDetect(DetectTypes) {}

    void Add(int32_t Row, int32_t Col, std::string Text) {
        FTable.Rows = std::max(FTable.Rows, Row + 1);
        FTable.Cols = std::max(FTable.Cols, Col + 1);
        if (Text.empty()) return;
        TTextTableCell c;
        c.Row = Row;
        c.Col = Col;
        if (FDetect) c.Value = DetectTextValue(Text);
        c.Text = std::move(Text);
        FTable.Cells.push_back(std::move(c));
    }
    void AddRow(int32_t Row) { FTable.Rows = std::max(FTable.Rows, Row + 1); }
    TTextTable Take() { return std::move(FTable); }

private:
    bool FDetect;
    TTextTable FTable;
};

// --- HTML reading -----------------------------------------------------------

constexpr int32_t HtmlMaxCols = 16384;

// Which columns the row spans of earlier rows still cover: for each column,
// the last row a span reaches. A span marks its columns in one step and the
// next free column is found by one descent, each costing the logarithm of
// the column count however wide the spans are.
class TSpanCover {
public:
    TSpanCover() : FMin(2 * Size, -1), FLazy(2 * Size, -1) {}
    // Columns [From, To) are covered down to row Last.
    void Cover(int32_t From, int32_t To, int32_t Last) { Update(1, 0, Size, From, To, Last); }
    // The first column from From on that row Row finds free; Size for none.
    int32_t FreeFrom(int32_t From, int32_t Row) const { return Find(1, 0, Size, From, Row, -1); }

private:
    static constexpr int32_t Size = HtmlMaxCols;
    // FMin[N]: the lowest last row over node N's columns, counting the raises
    // made at N and below; FLazy[N]: a raise of all of N's columns not
    // passed down.
    void Update(size_t N, int32_t Lo, int32_t Hi, int32_t From, int32_t To, int32_t Last) {
        if (To <= Lo || Hi <= From) return;
        if (From <= Lo && Hi <= To) {
            FMin[N] = std::max(FMin[N], Last);
            FLazy[N] = std::max(FLazy[N], Last);
            return;
        }
        const int32_t mid = (Lo + Hi) / 2;
        Update(2 * N, Lo, mid, From, To, Last);
        Update(2 * N + 1, mid, Hi, From, To, Last);
        FMin[N] = std::max(FLazy[N], std::min(FMin[2 * N], FMin[2 * N + 1]));
    }
    int32_t Find(size_t N, int32_t Lo, int32_t Hi, int32_t From, int32_t Row, int32_t Above) const {
        if (Hi <= From || std::max(Above, FMin[N]) >= Row) return Size;
        if (Hi - Lo == 1) return Lo;
        const int32_t mid = (Lo + Hi) / 2;
        const int32_t raised = std::max(Above, FLazy[N]);
        const int32_t left = Find(2 * N, Lo, mid, From, Row, raised);
        return left < Size ? left : Find(2 * N + 1, mid, Hi, From, Row, raised);
    }
    std::vector<int32_t> FMin, FLazy;
};

bool StartsWithNoCase(std::string_view S, size_t At, std::string_view What) {
    if (At + What.size() > S.size()) return false;
    for (size_t i = 0; i < What.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(S[At + i])) != What[i]) return false;
    return true;
}

void AppendUtf8(std::string& Out, uint32_t Cp) {
    if (Cp == 0 || Cp > 0x10FFFF || (Cp >= 0xD800 && Cp <= 0xDFFF)) Cp = 0xFFFD;
    if (Cp < 0x80) {
        Out += static_cast<char>(Cp);
    } else if (Cp < 0x800) {
        Out += static_cast<char>(0xC0 | (Cp >> 6));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    } else if (Cp < 0x10000) {
        Out += static_cast<char>(0xE0 | (Cp >> 12));
        Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Cp >> 18));
        Out += static_cast<char>(0x80 | ((Cp >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Cp >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Cp & 0x3F));
    }
}

// Decodes the entity at S[I] ('&') into Out and returns the length used, or
// 0 when it is no entity (the '&' is then plain text).
size_t DecodeEntity(std::string_view S, size_t I, std::string& Out) {
    // No entity is longer than 12 bytes: the search for its end stops
    // there, so that text full of '&' reads in one pass.
    const size_t end = S.substr(0, std::min(S.size(), I + 13)).find(';', I);
    if (end == std::string_view::npos) return 0;
    const std::string_view name = S.substr(I + 1, end - I - 1);
    static const std::pair<std::string_view, uint32_t> named[] = {
        {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}, {"nbsp", 0xA0}};
    for (const auto& [n, cp] : named)
        if (name == n) {
            AppendUtf8(Out, cp);
            return end - I + 1;
        }
    if (name.size() < 2 || name[0] != '#') return 0;
    const bool hex = name[1] == 'x' || name[1] == 'X';
    const std::string digits(name.substr(hex ? 2 : 1));
    if (digits.empty() || digits.size() > 8) return 0;
    for (char c : digits)
        if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
            return 0;
    AppendUtf8(Out, static_cast<uint32_t>(std::stoul(digits, nullptr, hex ? 16 : 10)));
    return end - I + 1;
}

// The value of attribute Name inside a tag's text, or Default.
int32_t TagNumber(std::string_view Tag, std::string_view Name, int32_t Default) {
    for (size_t i = 0; (i = Tag.find_first_of("rcRC", i)) != std::string_view::npos; ++i) {
        if (!StartsWithNoCase(Tag, i, Name) || (i > 0 && std::isalnum(static_cast<unsigned char>(Tag[i - 1]))))
            continue;
        size_t k = i + Name.size();
        while (k < Tag.size() && std::isspace(static_cast<unsigned char>(Tag[k]))) ++k;
        if (k >= Tag.size() || Tag[k] != '=') continue;
        ++k;
        while (k < Tag.size() && (std::isspace(static_cast<unsigned char>(Tag[k])) || Tag[k] == '"' || Tag[k] == '\''))
            ++k;
        int64_t v = 0;
        size_t digits = 0;
        while (k < Tag.size() && std::isdigit(static_cast<unsigned char>(Tag[k])) && digits < 6) {
            v = v * 10 + (Tag[k++] - '0');
            ++digits;
        }
        return digits ? static_cast<int32_t>(std::clamp<int64_t>(v, 1, 1000)) : Default;
    }
    return Default;
}

// Collapses blanks as a browser shows text: runs of white space become one
// blank, none at the ends of a line.
std::string Collapse(const std::string& S) {
    std::string out;
    bool blank = false;
    for (size_t i = 0; i < S.size(); ++i) {
        char c = S[i];
        // A non-breaking space reads as a blank in a cell's value.
        if (c == '\xC2' && i + 1 < S.size() && S[i + 1] == '\xA0') {
            c = ' ';
            ++i;
        }
        if (c == '\n') {
            while (!out.empty() && out.back() == ' ') out.pop_back();
            out += '\n';
            blank = false;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\f') {
            blank = true;
        } else {
            if (blank && !out.empty() && out.back() != '\n') out += ' ';
            blank = false;
            out += c;
        }
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    size_t start = 0;
    while (start < out.size() && out[start] == '\n') ++start;
    return out.substr(start);
}

// --- writing ----------------------------------------------------------------

std::string QuoteTabField(const std::string& S) {
    if (S.find_first_of("\t\r\n\"") == std::string::npos) return S;
    std::string q = "\"";
    for (char c : S) {
        if (c == '"') q += '"';
        q += c;
    }
    return q + '"';
}

std::string HtmlEscape(const std::string& S) {
    std::string out;
    for (char c : S) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            case '\n': out += "<br>"; break;
            case '\r': break;
            default: out += c;
        }
    }
    return out;
}

std::string CssColor(TColor C) {
    const TColor rgb = ColorToRGB(C);
    char buf[8];
    std::snprintf(buf, sizeof buf, "#%02x%02x%02x", GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
    return buf;
}

std::string CssBorder(TQvLine Line) {
    const TQvLineInfo l = UnpackLine(Line);
    const char* style = l.Style == lsMedium ? "2px solid" : l.Style == lsDouble ? "3px double" : "1px solid";
    return std::string(style) + " " + CssColor(l.Color);
}

std::string CellText(TQvCell* Cell) {
    if (!Cell || !Cell->Showing()) return {};
    return CellValueText(Cell, false);
}

const TFont* FontOf(TQvCell* Cell, TQvSection& Section) {
    if (Cell) {
        if (const TFont* own = Cell->OwnFont()) return own;
        if (TQvPro* source = Cell->FindSource(piFont); source && source != Cell) return source->Font();
    }
    return Section.BaseStyle() ? Section.BaseStyle()->Font() : nullptr;
}

}  // namespace

namespace {

TTextTable TabText(std::string_view Text, bool DetectTypes) {
    TTableBuilder b(DetectTypes);
    int32_t row = 0, col = 0;
    std::string field;
    size_t i = 0;
    const size_t n = Text.size();
    bool lineOpen = false;  // something of the present line was read
    while (i < n) {
        lineOpen = true;
        if (Text[i] == '"' && field.empty()) {
            // A quoted field: up to the closing quote, doubled quotes inside.
            ++i;
            while (i < n) {
                if (Text[i] == '"') {
                    if (i + 1 < n && Text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += Text[i++];
            }
            // Anything after the closing quote up to the separator belongs
            // to the field as it stands.
            while (i < n && Text[i] != '\t' && Text[i] != '\n' && Text[i] != '\r') field += Text[i++];
            continue;
        }
        const char c = Text[i];
        if (c == '\t') {
            b.Add(row, col++, std::move(field));
            field.clear();
            ++i;
        } else if (c == '\n' || c == '\r') {
            b.Add(row, col, std::move(field));
            field.clear();
            i += (c == '\r' && i + 1 < n && Text[i + 1] == '\n') ? 2 : 1;
            ++row;
            col = 0;
            lineOpen = false;
        } else {
            field += c;
            ++i;
        }
    }
    if (lineOpen) b.Add(row, col, std::move(field));
    return b.Take();
}

TTextTable HtmlTable(std::string_view Html, bool DetectTypes) {
    TTableBuilder b(DetectTypes);
    size_t i = 0;
    const size_t n = Html.size();
    // Find the first table; without one there is nothing.
    for (;; ++i) {
        i = Html.find('<', i);
        if (i == std::string_view::npos) return b.Take();
        if (StartsWithNoCase(Html, i, "<table")) break;
    }
    i = std::min(Html.find('>', i), n);
    ++i;
    int32_t row = -1, col = 0;
    // Positions taken by row spans of earlier rows; made at the first span.
    std::unique_ptr<TSpanCover> taken;
    bool inCell = false;
    int32_t cellRow = 0, cellCol = 0;
    std::string text;
    int depth = 0;  // nested tables inside a cell are read as its text
    const auto endCell = [&]() {
        if (!inCell) return;
        b.Add(cellRow, cellCol, Collapse(text));
        text.clear();
        inCell = false;
    };
    while (i < n) {
        if (Html[i] == '<') {
            size_t close = Html.find('>', i);
            if (close == std::string_view::npos) close = n - 1;
            const std::string_view tag = Html.substr(i, close - i + 1);
            if (StartsWithNoCase(Html, i, "<!--")) {
                const size_t e = Html.find("-->", i + 4);
                i = e == std::string_view::npos ? n : e + 3;
                continue;
            }
            const auto is = [&](std::string_view Name) {
                if (!StartsWithNoCase(tag, 0, Name)) return false;
                const char next = tag.size() > Name.size() ? tag[Name.size()] : '>';
                return !std::isalnum(static_cast<unsigned char>(next));
            };
            i = close + 1;
            if (is("<table")) {
                ++depth;
            } else if (is("</table")) {
                if (depth-- == 0) break;
            } else if (depth > 0) {
                if (inCell && (is("<tr") || is("</tr") || is("</td") || is("</th"))) text += ' ';
            } else if (is("<tr")) {
                endCell();
                ++row;
                col = 0;
                b.AddRow(row);
            } else if (is("</tr")) {
                endCell();
            } else if (is("<td") || is("<th")) {
                endCell();
                if (row < 0) {
                    row = 0;
                    b.AddRow(0);
                }
                if (taken) col = std::max(col, taken->FreeFrom(col, row));
                // Cells past the widest sheet a spreadsheet file holds are
                // dropped, which also bounds what the spans cost.
                if (col >= HtmlMaxCols) continue;
                const int32_t rs = TagNumber(tag, "rowspan", 1);
                const int32_t cs = std::min(TagNumber(tag, "colspan", 1), HtmlMaxCols - col);
                // The rows below see the span; this row moves on past it.
                if (rs > 1) {
                    if (!taken) taken = std::make_unique<TSpanCover>();
                    taken->Cover(col, col + cs, row + rs - 1);
                    b.AddRow(row + rs - 1);
                }
                inCell = true;
                cellRow = row;
                cellCol = col;
                b.Add(row, col + cs - 1, {});
                col += cs;
            } else if (is("</td") || is("</th")) {
                endCell();
            } else if (inCell && (is("<br") || is("</p") || is("</div") || is("</li"))) {
                text += '\n';
            }
            continue;
        }
        if (!inCell) {
            ++i;
            continue;
        }
        if (Html[i] == '&') {
            if (const size_t used = DecodeEntity(Html, i, text)) {
                i += used;
                continue;
            }
        }
        text += Html[i] == '\n' ? ' ' : Html[i];
        ++i;
    }
    endCell();
    return b.Take();
}

[[noreturn]] void OutOfMemory(const char* What, size_t Bytes) {
    throw EReadError(std::string("Not enough memory to read ") + What + " of " + std::to_string(Bytes) + " bytes");
}

}  // namespace

TTextTable ParseTabText(std::string_view Text, bool DetectTypes) {
    try {
        return TabText(Text, DetectTypes);
    } catch (const std::bad_alloc&) {
        OutOfMemory("the tab-separated text", Text.size());  // what was read is freed by now
    }
}

TTextTable ParseHtmlTable(std::string_view Html, bool DetectTypes) {
    try {
        return HtmlTable(Html, DetectTypes);
    } catch (const std::bad_alloc&) {
        OutOfMemory("the HTML table", Html.size());
    }
}

std::string RangeToTabText(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R) {
    TQvSection& s = *Sheet.Sections(Kind);
    std::string out;
    for (int32_t y = R.Top; y < R.Bottom; ++y) {
        for (int32_t x = R.Left; x < R.Right; ++x) {
            if (x > R.Left) out += '\t';
            if (s.FindUnionAt({x, y}, false)) continue;
            TQvRow* row = s.Rows(y);
            out += QuoteTabField(CellText(row ? row->Cells(x) : nullptr));
        }
        out += '\n';
    }
    return out;
}

std::string RangeToHtml(TQvSheet& Sheet, TQvSectionKind Kind, const TRect& R) {
    TQvSection& s = *Sheet.Sections(Kind);
    const TQvSizeList* cols = Sheet.Sizes(axCols, ColPartOf(Kind));
    const TQvSizeList* rows = Sheet.Sizes(axRows, RowPartOf(Kind));
    std::string out =
        "<html><head><meta charset=\"utf-8\"></head><body>\n"
        "<table style=\"border-collapse:collapse\">\n";
    for (int32_t x = R.Left; x < R.Right; ++x) out += "<col style=\"width:" + std::to_string(cols->Size(x)) + "px\">";
    out += "\n";
    for (int32_t y = R.Top; y < R.Bottom; ++y) {
        out += "<tr style=\"height:" + std::to_string(rows->Size(y)) + "px\">";
        for (int32_t x = R.Left; x < R.Right; ++x) {
            TRect span{x, y, x + 1, y + 1};
            if (const TQvUnion* u = s.FindUnionAt({x, y}, true)) {
                // A range cut by the rectangle shows the part inside it.
                span = u->Rect().Intersected(R);
                if (span.TopLeft() != TPoint{x, y}) continue;
            }
            TQvCell* cell = s.FindCell({x, y});
            std::string style;
            bool uniform;
            if (const TQvLine fill = s.GetLine(tbFill, y, x, x, uniform))
                style += "background-color:" + CssColor(LineColor(fill)) + ";";
            const TQvLine edges[4] = {s.GetLine(tbVertLines, span.Left, y, y, uniform),
                                      s.GetLine(tbHorzLines, y, x, x, uniform),
                                      s.GetLine(tbVertLines, span.Right, y, y, uniform),
                                      s.GetLine(tbHorzLines, span.Bottom, x, x, uniform)};
            static const char* const sides[4] = {"left", "top", "right", "bottom"};
            for (int e = 0; e < 4; ++e)
                if (edges[e]) style += std::string("border-") + sides[e] + ":" + CssBorder(edges[e]) + ";";
            if (const TFont* f = FontOf(cell, s)) {
                style += "font-family:'" + HtmlEscape(f->Name()) + "';font-size:" + std::to_string(f->Size()) + "pt;";
                if (f->Color() != clNone) style += "color:" + CssColor(f->Color()) + ";";
                const TFontStyles fs = f->Style();
                if (fs.Contains(fsBold)) style += "font-weight:bold;";
                if (fs.Contains(fsItalic)) style += "font-style:italic;";
                if (fs.Contains(fsUnderline) || fs.Contains(fsStrikeOut))
                    style += std::string("text-decoration:") + (fs.Contains(fsUnderline) ? " underline" : "") +
                             (fs.Contains(fsStrikeOut) ? " line-through" : "") + ";";
            }
            const TQvLayout l = cell ? cell->Layout() : s.BaseStyle() ? s.BaseStyle()->Layout() : TQvLayout{};
            style += l.HAlign == haRight ? "text-align:right;" : l.HAlign == haCenter ? "text-align:center;" : "";
            style += l.VAlign == vaBottom ? "vertical-align:bottom;"
                     : l.VAlign == vaCenter ? "vertical-align:middle;"
                                            : "vertical-align:top;";
            if (l.Indent > 0) style += "padding-left:" + std::to_string(l.Indent) + "px;";
            style += l.WrapMode == wmWrapWords ? "white-space:normal;" : "white-space:nowrap;";
            out += "<td width=\"" + std::to_string(cols->Span(span.Left, span.Right)) + "\"";
            if (span.Width() > 1) out += " colspan=\"" + std::to_string(span.Width()) + "\"";
            if (span.Height() > 1) out += " rowspan=\"" + std::to_string(span.Height()) + "\"";
            out += " style=\"" + style + "\">" + HtmlEscape(CellText(cell)) + "</td>";
        }
        out += "</tr>\n";
    }
    out += "</table>\n</body></html>\n";
    return out;
}

TQvPasteResult PasteTextTable(const TTextTable& Table, TQvSheet& Target, TQvSectionKind Kind, TPoint At) {
    if (Kind > skClient) throw EQvGridError("Invalid section kind " + std::to_string(int(Kind)));
    TQvPasteResult res;
    TQvSection& sec = *Target.Sections(Kind);
    const int32_t cols = Target.Count(axCols, ColPartOf(Kind)), rows = Target.Count(axRows, RowPartOf(Kind));
    const int32_t w = At.X < 0 ? 0 : std::clamp(cols - At.X, 0, Table.Cols);
    const int32_t h = At.Y < 0 ? 0 : std::clamp(rows - At.Y, 0, Table.Rows);
    res.CutCols = Table.Cols - w;
    res.CutRows = Table.Rows - h;
    if (w == 0 || h == 0) return res;
    res.Area = {At.X, At.Y, At.X + w, At.Y + h};

    // Protection is read before anything changes. Only the top-left of a
    // merged range takes a value.
    // Both are taken before anything changes; without the memory for them
    // nothing changes at all.
    std::unique_ptr<const TQvPasteGuard> guardOf;
    std::unique_ptr<TQvAreaSnapshot> before;
    try {
        guardOf = std::make_unique<const TQvPasteGuard>(sec, res.Area);
        before = std::make_unique<TQvAreaSnapshot>(Target, Kind, res.Area);
    } catch (const std::bad_alloc&) {
        throw EQvGridError(PasteOutOfMemory(Table.Cells.size()));
    }
    const TQvPasteGuard& guard = *guardOf;
    res.Skipped = guard.Count();
    const auto key = [](TPoint P) { return (uint64_t(uint32_t(P.Y)) << 32) | uint32_t(P.X); };
    std::unordered_set<uint64_t> filled;
    const TCompactString dateFormat(IsoDateFormat), dateTimeFormat(IsoDateTimeFormat);
    Target.BeginUpdate();
    try {
        {
            TQvCellBatch batch(sec);
            for (const TTextTableCell& f : Table.Cells) {
                const TPoint at{At.X + f.Col, At.Y + f.Row};
                if (f.Col >= w || f.Row >= h || guard.Protected(at) || sec.FindUnionAt(at, false)) continue;
                filled.insert(key(at));
                switch (f.Value.Kind) {
                    case tvInteger:
                        batch.Add(at, TQvCInteger::StaticClass())->SetAsInteger(f.Value.Integer);
                        break;
                    case tvDouble:
                        batch.Add(at, TQvCDouble::StaticClass())->SetAsFloat(f.Value.Number);
                        break;
                    case tvDate:
                    case tvDateTime: {
                        TQvCell* c = batch.Add(at, TQvCDateTime::StaticClass());
                        c->SetFormatText(f.Value.Kind == tvDate ? dateFormat : dateTimeFormat);
                        c->SetAsDateTime(f.Value.Number);
                        break;
                    }
                    default:
                        batch.Add(at, TQvCString::StaticClass())->SetAsString(f.Text);
                        break;
                }
            }
        }
        // Empty fields: the cells at their positions go.
        std::vector<TPoint> empty;
        sec.ForEachIn(res.Area.Top, res.Area.Bottom - 1, [&](int32_t y, TObject* obj) {
            static_cast<TQvRow*>(obj)->ForEachIn(res.Area.Left, res.Area.Right - 1, [&](int32_t x, TObject*) {
                if (!filled.count(key({x, y})) && !guard.Protected({x, y})) empty.push_back({x, y});
                return false;
            });
            return false;
        });
        for (const TPoint p : empty) sec.FreeCells({p.X, p.Y, p.X + 1, p.Y + 1});
    } catch (const std::bad_alloc&) {
        Target.EndUpdate();
        before->Restore();
        throw EQvGridError(PasteOutOfMemory(Table.Cells.size()));
    } catch (...) {
        Target.EndUpdate();
        before->Restore();
        throw;
    }
    Target.EndUpdate();
    Target.SetModified(true);
    return res;
}

}  // namespace qv
