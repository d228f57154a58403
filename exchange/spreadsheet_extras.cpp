#include "exchange/spreadsheet_extras.h"

#include <orcus/sax_parser.hpp>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>

#include <algorithm>
#include <functional>
#include <cstdlib>
#include <map>

#include "platform/exceptions.h"

namespace qv {

namespace {

// Element handlers over orcus's plain XML reader: attributes arrive before
// their element starts, and are collected for it.
class TXmlWalk {
public:
    using TAttrs = std::map<std::string, std::string>;
    std::function<void(const std::string&, const TAttrs&)> OnStart;
    std::function<void(const std::string&)> OnEnd;
    std::function<void(std::string_view)> OnText;

    void doctype(const orcus::sax::doctype_declaration&) {}
    void start_declaration(std::string_view) {}
    void end_declaration(std::string_view) { FAttrs.clear(); }
    void start_element(const orcus::sax::parser_element& E) {
        if (OnStart) OnStart(std::string(E.name), FAttrs);
        FAttrs.clear();
    }
    void end_element(const orcus::sax::parser_element& E) {
        if (OnEnd) OnEnd(std::string(E.name));
    }
    void characters(std::string_view V, bool) {
        if (OnText) OnText(V);
    }
    void attribute(const orcus::sax::parser_attribute& A) {
        FAttrs[std::string(A.name)] = std::string(A.value);
    }
    void Parse(const std::vector<unsigned char>& Xml) {
        orcus::sax_parser<TXmlWalk> p(reinterpret_cast<const char*>(Xml.data()), Xml.size(), *this);
        p.parse();
    }

private:
    TAttrs FAttrs;
};

std::string Attr(const TXmlWalk::TAttrs& A, const char* Name) {
    auto it = A.find(Name);
    return it == A.end() ? std::string() : it->second;
}

// Target of a relationship, as a member name: relative to the folder of the
// part that names it, or from the package's root when it starts with '/'.
std::string Resolve(const std::string& Folder, const std::string& Target) {
    std::string path = Target.size() && Target[0] == '/' ? Target.substr(1) : Folder + Target;
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= path.size()) {
        const size_t slash = std::min(path.find('/', at), path.size());
        const std::string part = path.substr(at, slash - at);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        at = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts) out += (out.empty() ? "" : "/") + p;
    return out;
}

// Relationship ids to their targets, and the target of the first of a type.
std::map<std::string, std::string> Relations(const orcus::zip_archive& Zip, const std::string& Member,
                                             const std::string& Folder, const std::string& TypeEnd,
                                             std::string& OfType) {
    std::map<std::string, std::string> out;
    std::vector<unsigned char> xml;
    if (!Zip.read_file_entry(Member, xml)) return out;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        if (E != "Relationship") return;
        const std::string target = Resolve(Folder, Attr(A, "Target"));
        out[Attr(A, "Id")] = target;
        const std::string type = Attr(A, "Type");
        if (OfType.empty() && type.size() >= TypeEnd.size() &&
            type.compare(type.size() - TypeEnd.size(), std::string::npos, TypeEnd) == 0)
            OfType = target;
    };
    w.Parse(xml);
    return out;
}

void Alignments(const orcus::zip_archive& Zip, const std::string& Member, TStagedExtras& Extras) {
    std::vector<unsigned char> xml;
    if (!Zip.read_file_entry(Member, xml)) return;
    bool inCellXfs = false;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        if (E == "cellXfs") inCellXfs = true;
        if (!inCellXfs) return;
        if (E == "xf") Extras.Alignments.emplace_back();
        if (E == "alignment" && !Extras.Alignments.empty()) {
            const std::string wrap = Attr(A, "wrapText"), indent = Attr(A, "indent");
            Extras.Alignments.back().Wrap = wrap == "1" || wrap == "true";
            if (!indent.empty()) Extras.Alignments.back().Indent = std::clamp(std::atoi(indent.c_str()), 0, 250);
        }
    };
    w.OnEnd = [&](const std::string& E) {
        if (E == "cellXfs") inCellXfs = false;
    };
    w.Parse(xml);
}

void Comments(const orcus::zip_archive& Zip, const std::string& Member, TStagedExtras& Extras) {
    std::vector<unsigned char> xml;
    if (!Zip.read_file_entry(Member, xml)) return;
    bool inComment = false, inText = false;
    TStagedHint hint;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        if (E == "comment") {
            inComment = ParseCellRef(Attr(A, "ref"), hint.Row, hint.Col);
            hint.Text.clear();
        } else if (E == "t" && inComment) {
            inText = true;
        }
    };
    w.OnEnd = [&](const std::string& E) {
        if (E == "t") inText = false;
        if (E == "comment" && inComment) {
            Extras.Hints.push_back(hint);
            inComment = false;
        }
    };
    w.OnText = [&](std::string_view V) {
        if (inText) hint.Text += V;
    };
    w.Parse(xml);
}

// The default sizes, from the sheet's format properties, which come before
// its data: read from the text directly, without a second parse.
void DefaultSizes(std::string_view text, TStagedExtras& Extras) {
    const size_t data = text.find("<sheetData");
    const size_t at = text.substr(0, data).find("<sheetFormatPr");
    if (at == std::string_view::npos) return;
    const std::string_view element = text.substr(at, text.find('>', at) - at);
    auto number = [&](const char* Name) {
        const std::string key = std::string(" ") + Name + "=\"";
        const size_t k = element.find(key);
        if (k == std::string_view::npos) return -1.0;
        const std::string value(element.substr(k + key.size(), 32));
        const double v = std::strtod(value.c_str(), nullptr);
        return v > 0 && v < 10000 ? v : -1.0;
    };
    Extras.DefaultRowPoints = number("defaultRowHeight");
    Extras.DefaultColChars = number("defaultColWidth");
}

// Rows and columns hidden with the word "true", which the parser misses.
void HiddenTrue(const std::vector<unsigned char>& Xml, TStagedExtras& Extras) {
    static const std::string word = "hidden=\"true\"";
    if (std::search(Xml.begin(), Xml.end(), word.begin(), word.end()) == Xml.end()) return;
    int64_t row = 0;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        const bool hidden = Attr(A, "hidden") == "true";
        if (E == "row") {
            const std::string r = Attr(A, "r");
            row = r.empty() ? row + 1 : std::atoll(r.c_str());
            if (hidden && row >= 1 && row <= 1048576) Extras.HiddenRows.push_back(static_cast<int32_t>(row - 1));
        } else if (E == "col" && hidden) {
            const int64_t from = std::max<int64_t>(1, std::atoll(Attr(A, "min").c_str()));
            const int64_t to = std::min<int64_t>(16384, std::atoll(Attr(A, "max").c_str()));
            for (int64_t c = from; c <= to; ++c) Extras.HiddenCols.push_back(static_cast<int32_t>(c - 1));
        }
    };
    w.Parse(Xml);
}

void InlineTexts(const std::vector<unsigned char>& xml, TStagedExtras& Extras) {
    // Most sheets have none: a look for the word spares the second reading.
    static const std::string word = "inlineStr";
    if (std::search(xml.begin(), xml.end(), word.begin(), word.end()) == xml.end()) return;
    bool inCell = false, inText = false;
    int depth = 0;  // inside <is>; phonetic runs (<rPh>) are not the text
    TStagedHint text;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        if (E == "c") {
            inCell = Attr(A, "t") == "inlineStr" && ParseCellRef(Attr(A, "r"), text.Row, text.Col);
            text.Text.clear();
        } else if (inCell && E == "is") {
            depth = 1;
        } else if (inCell && depth > 0) {
            if (E == "rPh") depth = -1;
            if (E == "t" && depth > 0) inText = true;
        }
    };
    w.OnEnd = [&](const std::string& E) {
        if (E == "t") inText = false;
        if (E == "rPh" && inCell) depth = 1;
        if (E == "c" && inCell) {
            Extras.InlineTexts.push_back(text);
            inCell = false;
            depth = 0;
        }
    };
    w.OnText = [&](std::string_view V) {
        if (inText) text.Text += V;
    };
    w.Parse(xml);
}

// A length of a document ("0.8299in", "2.258cm", "12pt") in pixels at 96
// dpi; -1 when it is none.
double DocumentLength(const std::string& V) {
    char* end = nullptr;
    const double n = std::strtod(V.c_str(), &end);
    if (end == V.c_str() || !(n >= 0 && n < 1e6)) return -1;
    const std::string unit(end);
    if (unit == "in") return n * 96;
    if (unit == "cm") return n * 96 / 2.54;
    if (unit == "mm") return n * 96 / 25.4;
    if (unit == "pt") return n * 96 / 72;
    if (unit == "pc") return n * 16;
    if (unit == "px") return n;
    return -1;
}

int64_t Count(const TXmlWalk::TAttrs& A, const char* Name, int64_t Limit) {
    const std::string v = Attr(A, Name);
    if (v.empty()) return 1;
    const long long n = std::atoll(v.c_str());
    return n < 1 ? 1 : std::min<int64_t>(n, Limit);
}

constexpr int32_t FileRows = 1048576, FileCols = 16384;

// The layout of sheet number Sheet; returns the sheet's name.
std::string OdsContent(const std::vector<unsigned char>& Xml, int32_t Sheet, TStagedExtras& Extras) {
    std::string sheetName;
    std::map<std::string, double> widths;  // column styles
    std::string style;                      // the column style being read
    int32_t table = -1;
    bool inTable = false;
    int64_t row = 0, col = 0;
    int64_t rowRepeat = 1;
    int annotation = 0;   // depth inside a comment
    bool percent = false; // the cell's display text is wanted
    bool inCellText = false, inNote = false;
    TStagedHint note, shown;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        if (E == "style") style = Attr(A, "family") == "table-column" ? Attr(A, "name") : std::string();
        if (E == "table-column-properties" && !style.empty()) widths[style] = DocumentLength(Attr(A, "column-width"));
        if (E == "table") {
            inTable = ++table == Sheet;
            if (inTable) sheetName = Attr(A, "name");
            row = col = 0;
        }
        if (!inTable) return;
        if (E == "table-column") {
            const int64_t n = Count(A, "number-columns-repeated", FileCols);
            auto it = widths.find(Attr(A, "style-name"));
            const double px = it == widths.end() ? -1 : it->second;
            const bool hidden = Attr(A, "visibility") == "collapse" || Attr(A, "visibility") == "filter";
            for (int64_t k = 0; k < n && col < FileCols; ++k, ++col)
                if (px >= 0 || hidden) Extras.ColSizes.push_back({static_cast<int32_t>(col), px, hidden});
        } else if (E == "table-row") {
            col = 0;
            rowRepeat = Count(A, "number-rows-repeated", FileRows);
            const std::string v = Attr(A, "visibility");
            if (v == "collapse" || v == "filter")
                for (int64_t k = 0; k < rowRepeat && row + k < FileRows; ++k)
                    Extras.HiddenRows.push_back(static_cast<int32_t>(row + k));
        } else if ((E == "table-cell" || E == "covered-table-cell") && annotation == 0) {
            const int64_t spanCols = Count(A, "number-columns-spanned", FileCols);
            const int64_t spanRows = Count(A, "number-rows-spanned", FileRows);
            if (E == "table-cell" && (spanCols > 1 || spanRows > 1) && row < FileRows && col < FileCols)
                Extras.Merges.push_back({static_cast<int32_t>(row), static_cast<int32_t>(col),
                                         static_cast<int32_t>(std::min<int64_t>(row + spanRows, FileRows) - 1),
                                         static_cast<int32_t>(std::min<int64_t>(col + spanCols, FileCols) - 1)});
            percent = E == "table-cell" && Attr(A, "value-type") == "percentage";
            shown = {static_cast<int32_t>(row), static_cast<int32_t>(col), {}};
            note = shown;
            col += Count(A, "number-columns-repeated", FileCols);
        } else if (E == "annotation") {
            ++annotation;
        } else if (E == "p") {
            if (annotation > 0) {
                if (!note.Text.empty()) note.Text += '\n';
                inNote = true;
            } else if (percent) {
                inCellText = true;
            }
        }
    };
    w.OnEnd = [&](const std::string& E) {
        if (E == "table") inTable = false;
        if (!inTable) return;
        if (E == "p") inNote = inCellText = false;
        if (E == "annotation" && --annotation == 0 && row < FileRows && note.Col < FileCols)
            Extras.Hints.push_back(note);
        if (E == "table-cell" && annotation == 0 && percent) {
            if (row < FileRows && shown.Col < FileCols) Extras.InlineTexts.push_back(shown);
            percent = false;
        }
        if (E == "table-row") row += rowRepeat;
    };
    w.OnText = [&](std::string_view V) {
        if (inNote) note.Text += V;
        if (inCellText) shown.Text += V;
    };
    w.Parse(Xml);
    return sheetName;
}

// Frozen panes from the view settings of the sheet named Name.
void OdsSettings(const std::vector<unsigned char>& Xml, const std::string& SheetName, TStagedExtras& Extras) {
    int depth = 0, tables = 0, entry = 0;
    bool ours = false;
    std::string item, text;
    int hMode = 0, vMode = 0, hPos = 0, vPos = 0;
    TXmlWalk w;
    w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
        ++depth;
        if (E == "config-item-map-named" && Attr(A, "name") == "Tables") tables = depth;
        if (tables && E == "config-item-map-entry" && depth == tables + 1) {
            entry = depth;
            ours = Attr(A, "name") == SheetName;
        }
        if (E == "config-item") {
            item = Attr(A, "name");
            text.clear();
        }
    };
    w.OnEnd = [&](const std::string& E) {
        if (E == "config-item" && ours && entry) {
            const int v = std::atoi(text.c_str());
            if (item == "HorizontalSplitMode") hMode = v;
            if (item == "VerticalSplitMode") vMode = v;
            if (item == "HorizontalSplitPosition") hPos = v;
            if (item == "VerticalSplitPosition") vPos = v;
        }
        if (E == "config-item-map-entry" && depth == entry) entry = 0, ours = false;
        if (E == "config-item-map-named" && depth == tables) tables = 0;
        --depth;
    };
    w.OnText = [&](std::string_view V) { text += V; };
    w.Parse(Xml);
    // Mode 2 is frozen; 1 a split, which scrolls with the sheet.
    if (hMode == 2) Extras.FrozenCols = std::clamp(hPos, 0, FileCols - 1);
    if (vMode == 2) Extras.FrozenRows = std::clamp(vPos, 0, FileRows - 1);
}

}  // namespace

void CheckOdsStyles(std::string_view Bytes, const std::string& Name) {
    orcus::zip_archive_stream_blob blob(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
    orcus::zip_archive zip(&blob);
    try {
        zip.load();
    } catch (const std::exception& e) {
        throw EReadError(Name + ": the package is damaged (" + EscapeBytes(e.what(), 200) + ")");
    }
    for (const char* member : {"content.xml", "styles.xml"}) {
        std::vector<unsigned char> xml;
        if (!zip.read_file_entry(member, xml)) continue;
        int depth = 0, styleDepth = 0;
        std::string family;
        auto fail = [&](const std::string& Why) {
            throw EReadError(Name + ": member " + member + " is damaged (" + Why + ")");
        };
        TXmlWalk w;
        w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
            ++depth;
            if (E == "style" || E == "default-style") {
                if (styleDepth) fail("a style inside a style");
                styleDepth = depth;
                family = Attr(A, "family");
            }
            const char* wanted = E == "table-column-properties" ? "table-column"
                                 : E == "table-row-properties"  ? "table-row"
                                 : E == "table-cell-properties" ? "table-cell"
                                                                : nullptr;
            if (wanted && (!styleDepth || family != wanted)) fail(E + " outside a style of the family " + wanted);
        };
        w.OnEnd = [&](const std::string& E) {
            if ((E == "style" || E == "default-style") && depth == styleDepth) styleDepth = 0;
            --depth;
        };
        try {
            w.Parse(xml);
        } catch (const EReadError&) {
            throw;
        } catch (const std::exception& e) {
            fail(EscapeBytes(e.what(), 200));
        }
    }
}

void StageOdsExtras(std::string_view Bytes, int32_t Sheet, TStagedExtras& Extras, std::vector<std::string>& Warnings,
                    const std::string& Name) {
    try {
        orcus::zip_archive_stream_blob blob(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
        orcus::zip_archive zip(&blob);
        zip.load();
        std::vector<unsigned char> xml;
        if (!zip.read_file_entry("content.xml", xml)) return;
        const std::string sheetName = OdsContent(xml, Sheet, Extras);
        Extras.HasLayout = true;
        xml.clear();
        if (!sheetName.empty() && zip.read_file_entry("settings.xml", xml)) OdsSettings(xml, sheetName, Extras);
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        Warnings.push_back(Name + ": column widths, merged ranges and comments left out (" + EscapeBytes(e.what(), 200) + ")");
        Extras = {};
    }
}

bool ParseCellRef(std::string_view Ref, int32_t& Row, int32_t& Col) {
    size_t i = 0;
    int64_t col = 0, row = 0;
    while (i < Ref.size() && Ref[i] == '$') ++i;
    const size_t letters = i;
    for (; i < Ref.size() && std::isalpha(static_cast<unsigned char>(Ref[i])) && i - letters < 4; ++i)
        col = col * 26 + (std::toupper(static_cast<unsigned char>(Ref[i])) - 'A' + 1);
    if (i == letters) return false;
    if (i < Ref.size() && Ref[i] == '$') ++i;
    const size_t digits = i;
    for (; i < Ref.size() && std::isdigit(static_cast<unsigned char>(Ref[i])) && i - digits < 8; ++i)
        row = row * 10 + (Ref[i] - '0');
    if (i == digits || i != Ref.size() || row < 1 || row > 1048576 || col > 16384) return false;
    Row = static_cast<int32_t>(row - 1);
    Col = static_cast<int32_t>(col - 1);
    return true;
}

void StageXlsxExtras(std::string_view Bytes, int32_t Sheet, TStagedExtras& Extras, std::vector<std::string>& Warnings,
                     const std::string& Name, const TZipFacts* Facts) {
    try {
        orcus::zip_archive_stream_blob blob(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
        orcus::zip_archive zip(&blob);
        zip.load();
        std::string none;
        const auto book = Relations(zip, "xl/_rels/workbook.xml.rels", "xl/", "/styles", none);
        if (!none.empty()) Alignments(zip, none, Extras);
        // The chosen sheet's part: the workbook lists sheets in order.
        std::vector<unsigned char> xml;
        if (!zip.read_file_entry("xl/workbook.xml", xml)) return;
        std::vector<std::string> ids;
        TXmlWalk w;
        w.OnStart = [&](const std::string& E, const TXmlWalk::TAttrs& A) {
            if (E == "sheet") ids.push_back(Attr(A, "id"));
            if (E == "workbookPr") {
                const std::string d = Attr(A, "date1904");
                Extras.Date1904 = d == "1" || d == "true";
            }
        };
        w.Parse(xml);
        if (Sheet < 0 || size_t(Sheet) >= ids.size()) return;
        const auto it = book.find(ids[Sheet]);
        if (it == book.end()) return;
        const std::string& part = it->second;
        const size_t slash = part.rfind('/');
        const std::string folder = slash == std::string::npos ? "" : part.substr(0, slash + 1);
        const std::string rels = folder + "_rels/" + part.substr(slash == std::string::npos ? 0 : slash + 1) + ".rels";
        std::string comments;
        Relations(zip, rels, folder, "/comments", comments);
        if (!comments.empty()) Comments(zip, comments, Extras);
        // The check of the package noted the sheet's first bytes and the
        // words that call for reading it whole.
        const TZipMemberFacts* facts = Facts ? Facts->Find(part) : nullptr;
        if (facts) DefaultSizes(facts->Prefix, Extras);
        if (!facts || facts->Holds[0] || facts->Holds[1]) {
            std::vector<unsigned char> sheet;
            if (zip.read_file_entry(part, sheet)) {
                if (!facts) DefaultSizes({reinterpret_cast<const char*>(sheet.data()), sheet.size()}, Extras);
                InlineTexts(sheet, Extras);
                HiddenTrue(sheet, Extras);
            }
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        Warnings.push_back(Name + ": wrap, indent and comments left out (" + EscapeBytes(e.what(), 200) + ")");
        Extras = {};
    }
}

}  // namespace qv
