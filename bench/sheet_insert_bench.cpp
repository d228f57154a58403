// Inserting and removing one row at the top of a long sheet, beside the peer
// a C++ user would pick for a table of values: Qt's QStandardItemModel.
//
// Both hold 1,000,000 rows of 10 columns with 10 % of the positions filled
// by integers: one value in every row, at a scattered column, so every row
// is in use. Each iteration inserts one row
// at the top (timed) and removes it again (not timed), or the other way
// round, so the data keeps its size. A second sheet also carries a border
// line and a fill on every tenth row and a merged range every 1,000 rows,
// which all move with their rows. Iterations are a multiple of the 32 row
// moves after which a section renumbers all its rows, so that cost is in
// the mean. A summary with the ratios follows the table.
#include <benchmark/benchmark.h>

#include <QStandardItem>
#include <QStandardItemModel>
#include <chrono>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

#include "grids/sheet.h"
#include "grids/types.h"

using namespace qv;

namespace {

constexpr int Rows = 1000000;
constexpr int Cols = 10;

// Positions as (column, row), the same for both models.
const std::vector<std::pair<int, int>>& Filled() {
    static std::vector<std::pair<int, int>> cells;
    if (cells.empty()) {
        std::mt19937 rng(42);
        for (int y = 0; y < Rows; ++y) cells.push_back({int(rng() % Cols), y});
    }
    return cells;
}

// Values only, as the peer holds; Formatted adds what a formatted sheet
// moves besides.
TQvSheet& Sheet(bool Formatted) {
    static std::unique_ptr<TQvSheet> sheets[2];
    std::unique_ptr<TQvSheet>& sheet = sheets[Formatted];
    if (!sheet) {
        sheet = std::make_unique<TQvSheet>();
        sheet->SetColCount(Cols);
        sheet->SetRowCount(Rows);
        for (auto [x, y] : Filled()) sheet->SetCellValue(x, y, TVariant(int32_t(x + y)));
        if (Formatted) {
            TQvSection* s = sheet->Sections(skClient);
            const TQvLine line = PackLine(lsSingle, clBlack);
            for (int y = 0; y < Rows; y += 10) {
                s->SetLine(tbHorzLines, y, 0, Cols - 1, line);
                s->SetLine(tbFill, y, 0, Cols - 1, TQvLine(clYellow));
            }
            for (int y = 3; y + 2 < Rows; y += 1000) s->Merge({2, y, 5, y + 2});
        }
    }
    return *sheet;
}

QStandardItemModel& Peer() {
    static std::unique_ptr<QStandardItemModel> model;
    if (!model) {
        model = std::make_unique<QStandardItemModel>(Rows, Cols);
        for (auto [x, y] : Filled()) {
            auto* item = new QStandardItem;
            item->setData(x + y, Qt::DisplayRole);
            model->setItem(y, x, item);
        }
    }
    return *model;
}

// Mean ns per timed call: [0] values only, [1] formatted, [2] the peer.
double InsertNs[3], RemoveNs[3];

template <typename FTimed, typename FUntimed>
void Run(benchmark::State& State, double& Ns, FTimed Timed, FUntimed Untimed) {
    double total = 0;
    for (auto _ : State) {
        const auto t0 = std::chrono::steady_clock::now();
        Timed();
        const auto t1 = std::chrono::steady_clock::now();
        total += std::chrono::duration<double, std::nano>(t1 - t0).count();
        State.PauseTiming();
        Untimed();
        State.ResumeTiming();
    }
    Ns = total / double(State.iterations());
}

void BM_SheetInsertRowAtTop(benchmark::State& State) {
    const bool formatted = State.range(0);
    TQvSheet& s = Sheet(formatted);
    Run(
        State, InsertNs[formatted], [&] { s.InsertRows(0, 1); }, [&] { s.RemoveRows(0, 1); });
}
void BM_PeerInsertRowAtTop(benchmark::State& State) {
    QStandardItemModel& m = Peer();
    Run(
        State, InsertNs[2], [&] { m.insertRow(0); }, [&] { m.removeRow(0); });
}
void BM_SheetRemoveRowAtTop(benchmark::State& State) {
    const bool formatted = State.range(0);
    TQvSheet& s = Sheet(formatted);
    Run(
        State, RemoveNs[formatted], [&] { s.RemoveRows(0, 1); }, [&] { s.InsertRows(0, 1); });
}
void BM_PeerRemoveRowAtTop(benchmark::State& State) {
    QStandardItemModel& m = Peer();
    Run(
        State, RemoveNs[2], [&] { m.removeRow(0); }, [&] { m.insertRow(0); });
}

// Argument 0: values only; 1: formatted.
BENCHMARK(BM_SheetInsertRowAtTop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(64);
BENCHMARK(BM_PeerInsertRowAtTop)->Unit(benchmark::kMillisecond)->Iterations(64);
BENCHMARK(BM_SheetRemoveRowAtTop)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(64);
BENCHMARK(BM_PeerRemoveRowAtTop)->Unit(benchmark::kMillisecond)->Iterations(64);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("\nOne row at the top of %d rows x %d columns, %zu values (%.0f %%):\n", Rows, Cols, Filled().size(),
                100.0 * double(Filled().size()) / (double(Rows) * Cols));
    const auto line = [](const char* What, double Ours, double Peer) {
        if (Ours > 0 && Peer > 0)
            std::printf("  %-18s sheet %8.3f ms  peer %8.3f ms  ratio %.2f (target <= 1)\n", What, Ours / 1e6,
                        Peer / 1e6, Ours / Peer);
    };
    line("insert, values", InsertNs[0], InsertNs[2]);
    line("insert, formatted", InsertNs[1], InsertNs[2]);
    line("remove, values", RemoveNs[0], RemoveNs[2]);
    line("remove, formatted", RemoveNs[1], RemoveNs[2]);
    return 0;
}
