#include "cli/commands.h"

#include <QPageSize>
#include <QString>
#include <algorithm>
#include <cctype>
#include <iostream>
#include <map>

#include "cli/progress.h"
#include "exchange/atomic_file.h"
#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/value_text.h"
#include "exchange/xlsx_export.h"
#include "grids/base_style.h"
#include "grids/row.h"
#include "grids/section.h"
#include "grids/sheet.h"
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
    if (Extension(FileName) != ".qvf")
        throw EReadError(FileName + ": not a sheet file (the name must end in .qvf)");
}

void LoadQvf(TQvSheet& Sheet, const std::string& FileName) {
    try {
        Sheet.LoadFromFile(FileName);
    } catch (const EFOpenError&) {
        throw;  // the message names the file already
    } catch (const Exception& e) {
        throw EReadError(FileName + ": " + e.Message());
    }
}

}  // namespace

bool NeedsWidgets(const std::string& OutName) {
    const std::string e = Extension(OutName);
    return e == ".pdf" || e == ".png";
}

void LoadSheet(TQvSheet& Sheet, const std::string& FileName, const TConvertOptions& Options) {
    const std::string e = Extension(FileName);
    if (e == ".qvf") {
        LoadQvf(Sheet, FileName);
    } else if (e == ".csv") {
        TProgressBar bar("reading " + FileName);
        TCsvOptions o;
        o.Separator = Options.Separator;
        o.Progress = [&](int64_t Done, int64_t Total) { bar.Update(Done, Total); };
        const TCsvImportResult r = ImportCsvFile(Sheet, FileName, o);
        for (const std::string& w : r.Warnings) std::cerr << "qvsheet: warning: " << w << "\n";
    } else {
        throw EReadError(FileName + ": unknown input type '" + e + "' (use .qvf or .csv)");
    }
}

void Info(const std::string& FileName, std::ostream& Out) {
    RequireQvf(FileName);
    TQvSheet sheet;
    LoadQvf(sheet, FileName);
    Out << "file:          " << FileName << "\n";
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
        s->ForAllCells([&](TQvCell* c) {
            ++cells;
            ++classes[c->ClassName()];
            if (TQvStyle* st = c->GetStyle()) ++styles[st->Name()];
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
    {
        TFileStream f(FileName, fmOpenRead);
        try {
            Out << ComponentStreamToText(f);
        } catch (const Exception& e) {
            throw EReadError(FileName + ": " + e.Message());
        }
    }
    TQvSheet sheet;
    LoadQvf(sheet, FileName);
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
    const std::string e = Extension(OutName);
    if (e != ".qvf" && e != ".csv" && e != ".xlsx" && e != ".pdf" && e != ".png")
        throw EWriteError(OutName + ": unknown output type '" + e + "' (use .qvf, .csv, .xlsx, .pdf or .png)");
    TQvSheet sheet;
    LoadSheet(sheet, In, Options);
    TProgressBar bar("writing " + OutName);
    auto progress = [&](int64_t Done, int64_t Total) { bar.Update(Done, Total); };
    if (e == ".qvf") {
        TAtomicFile file(OutName);
        {
            TFileStream out(file.TempName(), fmCreate);
            sheet.SaveToStream(out);
        }
        file.Commit();
    } else if (e == ".csv") {
        TCsvOptions o;
        o.Separator = Options.Separator;
        o.RawValues = Options.Raw;
        o.Encoding = Options.Bom ? ceUtf8Bom : ceUtf8;
        o.Progress = progress;
        ExportCsvFile(sheet, OutName, o);
    } else if (e == ".xlsx") {
        TXlsxOptions o;
        o.Progress = progress;
        ExportXlsx(sheet, OutName, o);
    } else {
        TQvSheetPrinter printer(sheet);
        if (e == ".pdf") {
            const QPageSize size = [&] {
                for (int id = 0; id <= QPageSize::LastPageSize; ++id) {
                    const auto p = static_cast<QPageSize::PageSizeId>(id);
                    if (QPageSize::key(p).compare(QString::fromStdString(Options.PageSize), Qt::CaseInsensitive) == 0)
                        return QPageSize(p);
                }
                throw EConvertError("unknown page size '" + Options.PageSize + "' (A4, A3, Letter, Legal, ...)");
            }();
            printer.Setup().PageSize = size;
            printer.Setup().Orientation = Options.Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
            printer.Setup().FitToWidth = Options.FitToWidth;
            printer.Setup().Scale = Options.Scale;
            printer.OnProgress = [&](int Done, int Total) { bar.Update(Done, Total); };
            printer.PrintToPdf(QString::fromStdString(OutName));
        } else {
            if (Options.Scale < 25 || Options.Scale > 500)
                throw EConvertError("scale " + std::to_string(Options.Scale) + " is outside 25..500");
            printer.SaveImage(QString::fromStdString(OutName), Options.Range, Options.Scale);
        }
    }
}

}  // namespace qv::cli
