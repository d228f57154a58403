// File exchange beside the libraries it stands on, in the same run:
//   CSV import of 1,000,000 cells (numbers, dates, text) into a sheet, beside
//   parsing the same bytes with libcsv alone (fields counted, nothing kept),
//   and beside what a Qt program would do: the same parse and type detection
//   into a QStandardItemModel, one item per field;
//   spreadsheet export of 100,000 formatted cells, beside libxlsxwriter
//   writing the same values with no formatting.
// Each benchmark reports cells/s; the ratios, printed at the end, compare
// CPU times, which a machine shared with other work disturbs least.
#include <QStandardItemModel>
#include <benchmark/benchmark.h>
#include <csv.h>
#include <xlsxwriter.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/csv_import.h"
#include "exchange/value_text.h"
#include "grids/cell_batch.h"
#include "exchange/xlsx_export.h"
#include "grids/cell_range.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/font.h"
#include "platform/stream.h"

using namespace qv;

namespace {

constexpr int CsvCols = 10;
constexpr int CsvRows = 100000;  // 1,000,000 cells
constexpr int XlsxCols = 10;
constexpr int XlsxRows = 10000;  // 100,000 cells

// Integers, decimals, dates and words in turn.
const std::string& CsvText() {
    static const std::string text = [] {
        std::string t;
        t.reserve(CsvRows * CsvCols * 9);
        const char* words[] = {"apple", "pear", "plum", "cherry", "quince"};
        for (int r = 0; r < CsvRows; ++r) {
            for (int c = 0; c < CsvCols; ++c) {
                if (c) t += ',';
                switch ((r + c) % 4) {
                    case 0: t += std::to_string(r * 7 + c); break;
                    case 1: t += std::to_string(r % 1000) + "." + std::to_string(c * 25); break;
                    case 2: t += "2024-0" + std::to_string(1 + c % 9) + "-1" + std::to_string(r % 10); break;
                    default: t += words[(r + c) % 5]; break;
                }
            }
            t += "\r\n";
        }
        return t;
    }();
    return text;
}

void BM_CsvParse_libcsv(benchmark::State& State) {
    const std::string& text = CsvText();
    for (auto _ : State) {
        csv_parser p;
        csv_init(&p, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
        size_t fields = 0;
        auto onField = [](void*, size_t, void* n) { ++*static_cast<size_t*>(n); };
        csv_parse(&p, text.data(), text.size(), onField, nullptr, &fields);
        csv_fini(&p, onField, nullptr, &fields);
        csv_free(&p);
        benchmark::DoNotOptimize(fields);
    }
    State.SetItemsProcessed(State.iterations() * CsvRows * CsvCols);
}

void BM_CsvImport_sheet(benchmark::State& State) {
    const std::string& text = CsvText();
    for (auto _ : State) {
        auto sheet = std::make_unique<TQvSheet>();
        TMemoryStream m(text);
        benchmark::DoNotOptimize(ImportCsv(*sheet, m).Cells);
        // Freeing the sheet is not part of the import.
        State.PauseTiming();
        sheet.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * CsvRows * CsvCols);
}

// The peer a Qt programmer would write: libcsv, the same type detection,
// and an item per field in a model sized up front.
void BM_CsvImport_QStandardItemModel(benchmark::State& State) {
    const std::string& text = CsvText();
    struct TTarget {
        QStandardItemModel* Model;
        int Row = 0, Col = 0;
    };
    for (auto _ : State) {
        auto model = std::make_unique<QStandardItemModel>(CsvRows, CsvCols);
        TTarget t{model.get()};
        csv_parser p;
        csv_init(&p, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
        auto onField = [](void* Data, size_t Size, void* Target) {
            auto* t = static_cast<TTarget*>(Target);
            const std::string_view s(static_cast<const char*>(Data), Size);
            const TTextValue v = DetectTextValue(s);
            QVariant value;
            switch (v.Kind) {
                case tvInteger: value = v.Integer; break;
                case tvText: value = QString::fromUtf8(s.data(), qsizetype(s.size())); break;
                default: value = v.Number; break;
            }
            auto* item = new QStandardItem;
            item->setData(value, Qt::EditRole);
            t->Model->setItem(t->Row, t->Col++, item);
        };
        auto onRecord = [](int, void* Target) {
            auto* t = static_cast<TTarget*>(Target);
            if (t->Col) ++t->Row;
            t->Col = 0;
        };
        csv_parse(&p, text.data(), text.size(), onField, onRecord, &t);
        csv_fini(&p, onField, onRecord, &t);
        csv_free(&p);
        State.PauseTiming();
        model.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * CsvRows * CsvCols);
}

// The floor under any import: making the same 1,000,000 cells (one object
// each) with their values, without reading any text, the fast way.
void BM_CellsOnly_sheet(benchmark::State& State) {
    for (auto _ : State) {
        auto sheet = std::make_unique<TQvSheet>();
        sheet->SetColCount(CsvCols);
        sheet->SetRowCount(CsvRows);
        sheet->BeginUpdate();
        {
            TQvCellBatch s(*sheet->Sections(skClient));
            for (int r = 0; r < CsvRows; ++r)
                for (int c = 0; c < CsvCols; ++c) {
                    switch ((r + c) % 4) {
                        case 0: s.Add({c, r}, TQvCInteger::StaticClass())->SetAsInteger(r * 7 + c); break;
                        case 1: s.Add({c, r}, TQvCDouble::StaticClass())->SetAsFloat(r % 1000 + c * 0.25); break;
                        case 2: s.Add({c, r}, TQvCDateTime::StaticClass())->SetAsDateTime(45000 + r % 10); break;
                        default: s.Add({c, r}, TQvCString::StaticClass())->SetAsString("apple"); break;
                    }
                }
        }
        sheet->EndUpdate();
        State.PauseTiming();
        sheet.reset();
        State.ResumeTiming();
    }
    State.SetItemsProcessed(State.iterations() * CsvRows * CsvCols);
}

std::string TempFile(const char* Name) { return (std::filesystem::temp_directory_path() / Name).string(); }

void BM_XlsxWrite_libxlsxwriter(benchmark::State& State) {
    const std::string file = TempFile("qv_bench_plain.xlsx");
    for (auto _ : State) {
        lxw_workbook* wb = workbook_new(file.c_str());
        lxw_worksheet* ws = workbook_add_worksheet(wb, nullptr);
        for (int r = 0; r < XlsxRows; ++r)
            for (int c = 0; c < XlsxCols; ++c)
                if (c % 2) worksheet_write_number(ws, r, c, r * 1.5 + c, nullptr);
                else worksheet_write_string(ws, r, c, "item", nullptr);
        workbook_close(wb);
    }
    State.SetItemsProcessed(State.iterations() * XlsxRows * XlsxCols);
    std::remove(file.c_str());
}


void BM_XlsxExport_sheet(benchmark::State& State) {
    // The same values, formatted: number formats, a bold column, fills in
    // stripes and borders around every cell.
    TQvSheet sheet;
    sheet.SetColCount(XlsxCols);
    sheet.SetRowCount(XlsxRows);
    TQvSection* s = sheet.Sections(skClient);
    for (int r = 0; r < XlsxRows; ++r)
        for (int c = 0; c < XlsxCols; ++c) {
            if (c % 2) {
                TQvCell* cell = s->NeedCellOfClass({c, r}, TQvCDouble::StaticClass());
                cell->SetAsFloat(r * 1.5 + c);
                cell->SetFormat("#,##0.00");
            } else {
                s->NeedCellOfClass({c, r}, TQvCString::StaticClass())->SetAsString("item");
            }
        }
    TQvCellRange(sheet, {0, 0, 1, XlsxRows})->Font()->SetStyle({fsBold});
    for (int r = 0; r < XlsxRows; r += 2) TQvCellRange(sheet, {0, r, XlsxCols, r + 1})->SetColor(clYellow);
    {
        TQvCellRange all(sheet, {0, 0, XlsxCols, XlsxRows});
        for (int side : {liLeft, liTop, liRight, liBottom, liHInternal, liVInternal})
            all->SetBorder(side, {lsSingle, clGray});
    }
    const std::string file = TempFile("qv_bench_formatted.xlsx");
    for (auto _ : State) ExportXlsx(sheet, file);
    State.SetItemsProcessed(State.iterations() * XlsxRows * XlsxCols);
    std::remove(file.c_str());
}

}  // namespace

BENCHMARK(BM_CsvParse_libcsv)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvImport_sheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CsvImport_QStandardItemModel)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CellsOnly_sheet)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsxWrite_libxlsxwriter)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_XlsxExport_sheet)->Unit(benchmark::kMillisecond);

// Prints the ratios of each pair after the table.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& Runs) override {
        ConsoleReporter::ReportRuns(Runs);
        for (const Run& r : Runs) FTimes[r.benchmark_name()] = r.GetAdjustedCPUTime();
    }
    void Finalize() override {
        ConsoleReporter::Finalize();
        auto ratio = [&](const char* A, const char* B) {
            return FTimes.count(A) && FTimes.count(B) && FTimes[B] > 0 ? FTimes[A] / FTimes[B] : 0.0;
        };
        const double csv = ratio("BM_CsvParse_libcsv", "BM_CsvImport_sheet");
        const double xlsx = ratio("BM_XlsxExport_sheet", "BM_XlsxWrite_libxlsxwriter");
        std::printf("\nCSV import speed / bare libcsv parse speed: %.2f (target >= 0.5)\n", csv);
        std::printf("CSV import time / the same into a QStandardItemModel: %.2f\n",
                    ratio("BM_CsvImport_sheet", "BM_CsvImport_QStandardItemModel"));
        std::printf("CSV import time / time to make the same cells without text: %.2f\n",
                    ratio("BM_CsvImport_sheet", "BM_CellsOnly_sheet"));
        std::printf("formatted .xlsx export time / unformatted libxlsxwriter time: %.2f (target <= 2)\n", xlsx);
    }

private:
    std::map<std::string, double> FTimes;
};

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
