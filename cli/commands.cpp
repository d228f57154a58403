#include "cli/commands.h"

#include <QPageSize>
#include <QString>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>

#include "cli/progress.h"
#include "exchange/atomic_file.h"
#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/spreadsheet_import.h"
#include "exchange/value_text.h"
#include "exchange/xlsx_export.h"
#include "grids/base_style.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/sheet_stream.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "platform/exceptions.h"
#include "platform/filer.h"
#include "platform/font.h"
#include "platform/stream.h"
#include "print/sheet_printer.h"

namespace qv::cli {

namespace {

std::string Extension(const std::string& Name) {
    const size_t dot = Name.find_last_of('.');
    const size_t slash = Name.find_last_of('/');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string e = Name.substr(dot);
    std::transform(e.begin(), e.end(), e.begin(), [](unsigned char c) { return std::tolower(c); });
    return e;
}

std::string Lower(std::string S) {
    std::transform(S.begin(), S.end(), S.begin(), [](unsigned char c) { return std::tolower(c); });
    return S;
}

// "-" names standard input or output.
bool IsStdio(const std::string& Name) { return Name == "-"; }
std::string InputName(const std::string& Name) { return IsStdio(Name) ? "standard input" : Name; }

// The type of a file (".csv"): the option's word, else the name's extension.
std::string InputType(const std::string& Name, const std::string& From) {
    if (!From.empty()) return "." + Lower(From);
    if (IsStdio(Name)) throw EReadError("standard input: name its type with --from (qvf, csv, xlsx or ods)");
    return Extension(Name);
}
std::string OutputType(const std::string& Name, const std::string& To) {
    if (!To.empty()) return "." + Lower(To);
    if (IsStdio(Name)) throw EWriteError("standard output: name its type with --to (qvf, csv, xlsx, pdf or png)");
    return Extension(Name);
}

std::string ReadStandardInput() {
    std::string bytes((std::istreambuf_iterator<char>(std::cin)), {});
    if (std::cin.bad()) throw EReadError("standard input: cannot be read");
    return bytes;
}

// Where output for standard output goes first: the writers that name their
// file write a temporary one, copied out and removed when done.
class TStdoutFile {
public:
    explicit TStdoutFile(const std::string& Type) {
        std::string pattern = (std::filesystem::temp_directory_path() / "qvsheet-XXXXXX").string() + Type;
        const int fd = ::mkstemps(pattern.data(), static_cast<int>(Type.size()));
        if (fd < 0) throw EWriteError("standard output: no room for a temporary file");
        ::close(fd);
        FName = pattern;
    }
    ~TStdoutFile() { std::remove(FName.c_str()); }
    const std::string& Name() const { return FName; }
    void CopyOut() const {
        std::ifstream in(FName, std::ios::binary);
        std::cout << in.rdbuf();
        std::cout.flush();
        if (!in || !std::cout) throw EWriteError("standard output: cannot be written");
    }

private:
    std::string FName;
};

// Sheet coordinates of a section-local point.
TPoint SheetPoint(const TQvSheet& S, TQvSectionKind Kind, TPoint Local) {
    const bool titleCol = Kind == skRowTitles || Kind == skCorner;
    const bool titleRow = Kind == skColTitles || Kind == skCorner;
    return {titleCol ? Local.X - S.TitleCols() : Local.X, titleRow ? Local.Y - S.TitleRows() : Local.Y};
}

// Text on one line: tabs, line ends and backslashes escaped.
std::string OneLine(const std::string& S) {
    std::string r;
    for (char c : S) {
        switch (c) {
            case '\t': r += "\\t"; break;
            case '\n': r += "\\n"; break;
            case '\r': r += "\\r"; break;
            case '\\': r += "\\\\"; break;
            default: r += c;
        }
    }
    return r;
}

std::string FontText(TFont& F) {
    std::string s = F.Name() + " " + std::to_string(F.Size()) + "pt";
    if (F.Style().Contains(fsBold)) s += " bold";
    if (F.Style().Contains(fsItalic)) s += " italic";
    if (F.Style().Contains(fsUnderline)) s += " underline";
    if (F.Style().Contains(fsStrikeOut)) s += " strike-out";
    return s + " " + ColorToString(F.Color());
}

void RequireQvf(const std::string& FileName) {
    if (!IsStdio(FileName) && Extension(FileName) != ".qvf")
        throw EReadError(FileName + ": not a sheet file (the name must end in .qvf)");
}

void LoadQvf(TQvSheet& Sheet, const std::string& FileName, const std::string* Bytes = nullptr) {
    try {
        if (IsStdio(FileName)) {
            TMemoryStream in(Bytes ? *Bytes : ReadStandardInput());
            Sheet.LoadFromStream(in);
            return;
        }
        Sheet.LoadFromFile(FileName);
    } catch (const EFOpenError&) {
        throw;  // the message names the file already
    } catch (const Exception& e) {
        throw EReadError(InputName(FileName) + ": " + e.Message());
    }
}

}  // namespace

bool NeedsWidgets(const std::string& OutName, const TConvertOptions& Options) {
    std::string e;
    try {
        e = OutputType(OutName, Options.To);
    } catch (const Exception&) {
        return false;  // Convert names the fault
    }
    return e == ".pdf" || e == ".png";
}

// One sheet of a spreadsheet file: by name, else (a number that names no
// sheet) by number from 1. Warnings and what became of formulas go to
// standard error.
TSpreadsheetImportResult LoadSpreadsheet(TQvSheet& Sheet, const std::string& FileName, const std::string& Which) {
    const std::string bytes = IsStdio(FileName) ? ReadStandardInput() : std::string();
    auto load = [&](const TSpreadsheetImportOptions& O) {
        return IsStdio(FileName) ? ImportSpreadsheet(Sheet, bytes, "standard input", O)
                                 : ImportSpreadsheetFile(Sheet, FileName, O);
    };
    TSpreadsheetImportResult r;
    const bool number = !Which.empty() && Which.find_first_not_of("0123456789") == std::string::npos && Which.size() < 9;
    try {
        r = load({Which, 0});
    } catch (const EReadError&) {
        if (!number || std::stoi(Which) < 1) throw;
        r = load({"", std::stoi(Which) - 1});
    }
    for (const std::string& w : r.Warnings) std::cerr << "qvsheet: warning: " << w << "\n";
    if (!r.Formulas.empty())
        std::cerr << "qvsheet: note: " << InputName(FileName) << ": " << r.Formulas.size()
                  << (r.Formulas.size() == 1 ? " formula" : " formulas")
                  << " read as the values the file cached\n";
    return r;
}

void LoadSheet(TQvSheet& Sheet, const std::string& FileName, const TConvertOptions& Options) {
    const std::string e = InputType(FileName, Options.From);
    if (e == ".qvf") {
        LoadQvf(Sheet, FileName);
    } else if (e == ".csv") {
        TProgressBar bar("reading " + InputName(FileName));
        TCsvOptions o;
        o.Separator = Options.Separator;
        o.Progress = [&](int64_t Done, int64_t Total) { bar.Update(Done, Total); };
        TCsvImportResult r;
        if (IsStdio(FileName)) {
            TMemoryStream in(ReadStandardInput());
            r = ImportCsv(Sheet, in, o, "standard input");
        } else {
            r = ImportCsvFile(Sheet, FileName, o);
        }
        for (const std::string& w : r.Warnings) std::cerr << "qvsheet: warning: " << w << "\n";
    } else if (e == ".xlsx" || e == ".ods") {
        LoadSpreadsheet(Sheet, FileName, Options.Sheet);
    } else {
        throw EReadError(InputName(FileName) + ": unknown input type '" + e + "' (use .qvf, .csv, .xlsx or .ods)");
    }
}

void Info(const std::string& FileName, std::ostream& Out, const std::string& Sheet) {
    TQvSheet sheet;
    const std::string e = IsStdio(FileName) ? std::string() : Extension(FileName);
    TSpreadsheetImportResult book;
    const bool spreadsheet = e == ".xlsx" || e == ".ods";
    if (spreadsheet) {
        book = LoadSpreadsheet(sheet, FileName, Sheet);
    } else {
        RequireQvf(FileName);
        LoadQvf(sheet, FileName);
    }
    Out << "file:          " << InputName(FileName) << "\n";
    if (spreadsheet) {
        std::string names;
        for (const std::string& n : book.SheetNames) names += (names.empty() ? "" : ", ") + n;
        Out << "sheets:        " << names << "\n";
        Out << "sheet read:    " << book.SheetName << " (number " << book.SheetIndex + 1 << ")\n";
        Out << "formulas:      " << book.Formulas.size() << " (read as their cached values)\n";
    }
    Out << "columns:       " << sheet.ColCount() << " + " << sheet.TitleCols() << " title, default width "
        << sheet.ColDefWidth() << ", maximum " << sheet.ColMaxWidth() << "\n";
    Out << "rows:          " << sheet.RowCount() << " + " << sheet.TitleRows() << " title, default height "
        << sheet.RowDefHeight() << ", maximum " << sheet.RowMaxHeight() << "\n";
    Out << "read only:     " << (sheet.ReadOnly() ? "yes" : "no") << "\n";

    std::map<std::string, int64_t> classes;
    std::map<std::string, int64_t> styles;
    int64_t cells = 0;
    size_t merged = 0;
    for (TQvSectionKind k : AllSectionKinds) {
        TQvSection* s = sheet.Sections(k);
        merged += s->Unions().size();
        // Counted as stored: packed cells need no objects to be counted.
        s->ForEach([&](int32_t, TObject* r) {
            static_cast<TQvRow*>(r)->ForEachStored([&](int32_t, TObject* o, const TQvPackedCell* p) {
                ++cells;
                if (!o) {
                    ++classes[PackedForm(p->Form).Class->Name];
                    return;
                }
                auto* c = static_cast<TQvCell*>(o);
                ++classes[c->ClassName()];
                if (TQvStyle* st = c->GetStyle()) ++styles[st->Name()];
            });
            return false;
        });
    }
    Out << "cells:         " << cells << "\n";
    for (const auto& [name, n] : classes) Out << "  " << name << ": " << n << "\n";
    Out << "merged ranges: " << merged << "\n";
    Out << "styles:\n";
    Out << "  client base: " << FontText(*sheet.BaseClientStyle()->Font()) << ", fill "
        << ColorToString(sheet.BaseClientStyle()->Color()) << "\n";
    Out << "  title base:  " << FontText(*sheet.BaseTitleStyle()->Font()) << ", fill "
        << ColorToString(sheet.BaseTitleStyle()->Color()) << "\n";
    if (sheet.Styler()) Out << "  styler:      " << sheet.Styler()->Name() << "\n";
    for (const auto& [name, n] : styles) Out << "  named style " << name << ": " << n << " cells\n";
}

void Dump(const std::string& FileName, std::ostream& Out) {
    RequireQvf(FileName);
    // Standard input is read once and serves both passes.
    const std::string bytes = IsStdio(FileName) ? ReadStandardInput() : std::string();
    {
        std::unique_ptr<TStream> f;
        if (IsStdio(FileName)) f = std::make_unique<TMemoryStream>(bytes);
        else f = std::make_unique<TFileStream>(FileName, fmOpenRead);
        try {
            Out << ComponentStreamToText(*f);
        } catch (const Exception& e) {
            throw EReadError(InputName(FileName) + ": " + e.Message());
        }
    }
    TQvSheet sheet;
    LoadQvf(sheet, FileName, &bytes);
    Out << "\n";
    // Title rows first, then the client rows; within a row, left to right.
    struct TLine {
        TPoint At;
        std::string Text;
    };
    std::vector<TLine> lines;
    for (TQvSectionKind k : AllSectionKinds) {
        sheet.Sections(k)->ForAllCells([&](TQvCell* c) {
            const TPoint at = SheetPoint(sheet, k, {c->Col(), c->Row()->Index()});
            lines.push_back({at, std::to_string(at.Y) + "\t" + std::to_string(at.X) + "\t" + c->ClassName() + "\t" +
                                     OneLine(CellValueText(c, false))});
        });
    }
    std::stable_sort(lines.begin(), lines.end(), [](const TLine& A, const TLine& B) {
        return A.At.Y != B.At.Y ? A.At.Y < B.At.Y : A.At.X < B.At.X;
    });
    for (const TLine& l : lines) Out << l.Text << "\n";
}

void Convert(const std::string& In, const std::string& OutName, const TConvertOptions& Options) {
    const std::string e = OutputType(OutName, Options.To);
    const std::string shown = IsStdio(OutName) ? "standard output" : OutName;
    if (e != ".qvf" && e != ".csv" && e != ".xlsx" && e != ".pdf" && e != ".png")
        throw EWriteError(shown + ": unknown output type '" + e + "' (use .qvf, .csv, .xlsx, .pdf or .png)");
    // A scale of 0 or less would still paint: a speck, or nothing at all.
    if ((e == ".pdf" || e == ".png") && (Options.Scale < 25 || Options.Scale > 500))
        throw EConvertError("scale " + std::to_string(Options.Scale) + " is outside 25..500");
    TQvSheet sheet;
    LoadSheet(sheet, In, Options);
    if (e == ".png" && !Options.Range.IsEmpty() &&
        (Options.Range.Right > sheet.ColCount() || Options.Range.Bottom > sheet.RowCount()))
        throw EConvertError("the range " + Options.RangeText + " lies past the sheet's " +
                            std::to_string(sheet.ColCount()) + " columns and " + std::to_string(sheet.RowCount()) +
                            " rows");

    std::unique_ptr<TStdoutFile> out;
    if (IsStdio(OutName)) out = std::make_unique<TStdoutFile>(e);
    const std::string target = out ? out->Name() : OutName;
    TProgressBar bar("writing " + shown);
    auto progress = [&](int64_t Done, int64_t Total) { bar.Update(Done, Total); };
    try {
        if (e == ".qvf") {
            // Made in memory, with room for all of it first: the data is
            // written in place and never copied as it grows.
            TMemoryStream m;
            m.Reserve(EstimatePayloadSize(sheet));
            sheet.SaveToStream(m);
            TAtomicFile file(target);
            file.Write(m.Memory(), m.Bytes().size());
            file.Commit();
        } else if (e == ".csv") {
            TCsvOptions o;
            o.Separator = Options.Separator;
            o.RawValues = Options.Raw;
            o.Encoding = Options.Bom ? ceUtf8Bom : ceUtf8;
            o.Progress = progress;
            ExportCsvFile(sheet, target, o);
        } else if (e == ".xlsx") {
            TXlsxOptions o;
            o.Progress = progress;
            ExportXlsx(sheet, target, o);
        } else {
            TQvSheetPrinter printer(sheet);
            printer.Setup().AutoTitles = Options.AutoTitles;
            if (e == ".pdf") {
                const QPageSize size = [&] {
                    for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
                        const auto p = static_cast<QPageSize::PageSizeId>(id);
                        if (QPageSize::key(p).compare(QString::fromStdString(Options.PageSize), Qt::CaseInsensitive) ==
                            0)
                            return QPageSize(p);
                    }
                    throw EConvertError("unknown page size '" + Options.PageSize + "' (A4, A3, Letter, Legal, ...)");
                }();
                printer.Setup().PageSize = size;
                printer.Setup().Orientation = Options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
                printer.Setup().FitToWidth = Options.FitToWidth;
                printer.Setup().Scale = Options.Scale;
                printer.OnProgress = [&](int Done, int Total) { bar.Update(Done, Total); };
                printer.PrintToPdf(QString::fromStdString(target));
            } else {
                printer.SaveImage(QString::fromStdString(target), Options.Range, Options.Scale);
            }
        }
    } catch (const Exception& x) {
        if (!out) throw;
        // The temporary file is no name the user knows.
        std::string m = x.Message();
        for (size_t at; (at = m.find(target)) != std::string::npos;) m.replace(at, target.size(), shown);
        throw EWriteError(m);
    }
    if (out) out->CopyOut();
}

}  // namespace qv::cli
