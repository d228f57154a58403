// Reading a spreadsheet file of 1,000,000 cells (100,000 rows of ten
// columns: numbers, formatted numbers, dates, shared strings, a bold row in
// ten), beside the CSV import of the same values and openpyxl reading the
// same file in read-only mode (its time measured once, by a Python program
// run from here). The ratios print at the end.
#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/csv_export.h"
#include "exchange/csv_import.h"
#include "exchange/spreadsheet_import.h"
#include "exchange/xlsx_export.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/date_time.h"
#include "platform/font.h"
#include "platform/stream.h"

using namespace qv;

namespace {

constexpr int32_t Rows = 100000;
constexpr int32_t Cols = 10;

std::string TempPath(const std::string& Name) {
    return (std::filesystem::temp_directory_path() / ("qv_ssbench_" + std::to_string(::getpid()) + Name)).string();
}

struct TFiles {
    std::string Xlsx, Csv;
    TFiles() {
        Xlsx = TempPath(".xlsx");
        Csv = TempPath(".csv");
        TQvSheet s;
        s.SetTitleCols(0);
        s.SetTitleRows(0);
        s.SetColCount(Cols);
        s.SetRowCount(Rows);
        TQvSection& c = *s.Sections(skClient);
        const TDateTime day = EncodeDate(2024, 1, 1);
        for (int32_t y = 0; y < Rows; ++y) {
            for (int32_t x = 0; x < Cols; ++x) {
                TQvCell* cell;
                switch (x % 5) {
                    case 0:
                        cell = c.NeedCellOfClass({x, y}, TQvCInteger::StaticClass());
                        cell->SetAsInteger(y * Cols + x);
                        break;
                    case 1:
                        cell = c.NeedCellOfClass({x, y}, TQvCDouble::StaticClass());
                        cell->SetAsFloat(y * 0.25 + x);
                        cell->SetFormat("#,##0.00");
                        break;
                    case 2:
                        cell = c.NeedCellOfClass({x, y}, TQvCDateTime::StaticClass());
                        cell->SetAsDateTime(day + y % 3650);
                        cell->SetFormat("yyyy-mm-dd");
                        break;
                    default:
                        cell = c.NeedCellOfClass({x, y}, TQvCString::StaticClass());
                        cell->SetAsString("item " + std::to_string((y * 7 + x) % 1000));
                        break;
                }
                if (y % 10 == 0) cell->Font()->SetStyle({fsBold});
            }
        }
        ExportXlsx(s, Xlsx);
        TCsvOptions o;
        o.RawValues = true;
        ExportCsvFile(s, Csv, o);
    }
    ~TFiles() {
        std::remove(Xlsx.c_str());
        std::remove(Csv.c_str());
    }
};

const TFiles& Files() {
    static const TFiles files;
    return files;
}

double GImportSeconds = 0, GCsvSeconds = 0;

void BM_ImportXlsx(benchmark::State& State) {
    const std::string& file = Files().Xlsx;
    int64_t cells = 0;
    double total = 0;
    int64_t runs = 0;
    for (auto _ : State) {
        const auto start = std::chrono::steady_clock::now();
        TQvSheet s;
        cells = ImportSpreadsheetFile(s, file).Cells;
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
    }
    GImportSeconds = total / double(runs);
    State.counters["cells"] = double(cells);
    State.SetItemsProcessed(State.iterations() * cells);
}
BENCHMARK(BM_ImportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ImportCsvOfTheSameValues(benchmark::State& State) {
    const std::string& file = Files().Csv;
    double total = 0;
    int64_t runs = 0;
    for (auto _ : State) {
        const auto start = std::chrono::steady_clock::now();
        TQvSheet s;
        ImportCsvFile(s, file);
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        ++runs;
    }
    GCsvSeconds = total / double(runs);
}
BENCHMARK(BM_ImportCsvOfTheSameValues)->Unit(benchmark::kMillisecond)->Iterations(3);

// openpyxl in read-only mode, every value visited: seconds, or -1.
double OpenpyxlSeconds(const std::string& File) {
    const std::string script = TempPath(".py");
    FILE* f = std::fopen(script.c_str(), "w");
    if (!f) return -1;
    std::fputs("import sys, time, openpyxl\nt = time.perf_counter()\n"
               "wb = openpyxl.load_workbook(sys.argv[1], read_only=True)\nn = 0\n"
               "for row in wb.active.iter_rows(values_only=True):\n    n += len(row)\n"
               "print(time.perf_counter() - t, n)\n",
               f);
    std::fclose(f);
    FILE* p = popen(("/usr/bin/python3 " + script + " " + File + " 2>/dev/null").c_str(), "r");
    double seconds = -1;
    long long n = 0;
    if (p) {
        if (std::fscanf(p, "%lf %lld", &seconds, &n) != 2) seconds = -1;
        pclose(p);
    }
    std::remove(script.c_str());
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Files();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (GImportSeconds <= 0) return 0;
    const double openpyxl = OpenpyxlSeconds(Files().Xlsx);
    std::printf("\n.xlsx import of %d cells: %.3f s\n", Rows * Cols, GImportSeconds);
    if (openpyxl > 0)
        std::printf("openpyxl, read-only, same file: %.3f s; ratio %.1f x (openpyxl / import)\n", openpyxl,
                    openpyxl / GImportSeconds);
    else
        std::printf("openpyxl could not be run (/usr/bin/python3 with python3-openpyxl)\n");
    if (GCsvSeconds > 0)
        std::printf("CSV import of the same values: %.3f s; ratio %.2f x (.xlsx import / CSV import)\n", GCsvSeconds,
                    GImportSeconds / GCsvSeconds);
    return 0;
}
