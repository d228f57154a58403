// Speed and memory of the sheet model against the peer a C++ user would
// pick for a table of values: Qt's QStandardItemModel.
//
// For a 1,000 x 1,000 sheet filled completely and filled at 1 % (scattered
// positions) it measures, per cell kind (text "R123C45", integer, double):
//   - heap bytes per cell (growth of the allocator's in-use bytes, small
//     and mmapped blocks, divided by the cells; resident size is noisier),
//   - ns per NeedCell on a new position plus the typed setter,
//   - the time to free the whole sheet;
// and the same for the peer (setItem with a QStandardItem holding the same
// value). ns per NeedCell alone and per FindCell come on top. A summary with
// the ratios and the targets is printed after the benchmark table.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "platform/small_memory.h"

#include <QStandardItem>
#include <QStandardItemModel>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/manager.h"
#include "grids/sheet.h"

using namespace qv;

namespace {

constexpr int Side = 1000;

enum Kind { kEmpty, kString, kInteger, kDouble };
enum Fill { fFull, fSparse };

const char* KindName(Kind K) {
    switch (K) {
        case kEmpty: return "empty";
        case kString: return "string";
        case kInteger: return "integer";
        case kDouble: return "double";
    }
    return "?";
}
const char* FillName(Fill F) { return F == fFull ? "full" : "1%"; }

// In-use heap bytes: small blocks in the arenas, blocks served by mmap
// (large tables and pages go there and would otherwise be missed), and the
// model's small objects, which live in a pool of their own.
size_t HeapInUse() {
    struct mallinfo2 M = mallinfo2();
    return M.uordblks + M.hblkhd + static_cast<size_t>(SmallObjectBytes());
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Full: row by row, as a loader fills. Sparse: 1 % of the positions, ten
// distinct columns per row, visited in a shuffled order as a user would.
const std::vector<TPoint>& Positions(Fill F) {
    static std::vector<TPoint> Full, Sparse;
    if (Full.empty()) {
        Full.reserve(size_t(Side) * Side);
        for (int Y = 0; Y < Side; ++Y)
            for (int X = 0; X < Side; ++X) Full.push_back({X, Y});
        std::mt19937 Rng(12345);
        std::vector<int> Cols(Side);
        for (int Y = 0; Y < Side; ++Y) {
            for (int X = 0; X < Side; ++X) Cols[X] = X;
            std::shuffle(Cols.begin(), Cols.end(), Rng);
            for (int K = 0; K < Side / 100; ++K) Sparse.push_back({Cols[K], Y});
        }
        std::shuffle(Sparse.begin(), Sparse.end(), Rng);
    }
    return F == fFull ? Full : Sparse;
}

inline int Text(char* Buf, TPoint P) { return std::snprintf(Buf, 16, "R%dC%d", P.Y + 1, P.X + 1); }

struct TResult {
    bool Valid = false;
    double BytesPerCell = 0;   // from before the container was made
    double ItemBytes = 0;      // from after it was made and sized
    double NsPerCell = 0;      // best of the runs
    double FreeMs = 0;         // best of the runs
};

std::map<std::string, TResult> Results;
std::string Key(const char* Who, Kind K, Fill F) { return std::string(Who) + "/" + KindName(K) + "/" + FillName(F); }

// --- the sheet --------------------------------------------------------------

TClass CellClassOf(Kind K) {
    switch (K) {
        case kInteger: return TQvCInteger::StaticClass();
        case kDouble: return TQvCDouble::StaticClass();
        default: return TQvCString::StaticClass();
    }
}

TQvSheet* MakeSheet(Kind K) {
    auto* S = new TQvSheet(nullptr);
    S->SetColCount(Side);
    S->SetRowCount(Side);
    // New cells take the class of the client base style.
    S->BaseClientStyle()->SetCellClass(CellClassOf(K));
    return S;
}

template <Kind K>
void FillSheet(TQvSheet* S, const std::vector<TPoint>& Ps) {
    char Buf[16];
    for (const TPoint& P : Ps) {
        TQvCell* C = S->NeedCell(P.X, P.Y);
        if constexpr (K == kString) {
            int L = Text(Buf, P);
            C->SetAsString(std::string(Buf, size_t(L)));
        } else if constexpr (K == kInteger) {
            C->SetAsInteger(P.Y * Side + P.X);
        } else if constexpr (K == kDouble) {
            C->SetAsFloat((P.Y * Side + P.X) * 0.25);
        }
        benchmark::DoNotOptimize(C);
    }
}

// Times Fill over every position of Ps and measures the heap it takes:
// Make builds the empty container (its heap counts in BytesPerCell, not in
// ItemBytes), Free deletes it (timed as FreeMs). Best of the iterations.
template <typename FMake, typename FFill, typename FFree>
TResult MeasureFill(benchmark::State& State, const std::vector<TPoint>& Ps, FMake&& Make, FFill&& Fill,
                    FFree&& Free) {
    TResult R;
    R.NsPerCell = R.FreeMs = 1e300;
    for (auto _ : State) {
        size_t H0 = HeapInUse();
        auto* C = Make();
        size_t H1 = HeapInUse();
        double T0 = Now();
        Fill(C);
        double T1 = Now();
        size_t H2 = HeapInUse();
        Free(C);
        double T2 = Now();
        State.SetIterationTime(T1 - T0);
        R.BytesPerCell = double(H2 - H0) / double(Ps.size());
        R.ItemBytes = double(H2 - H1) / double(Ps.size());
        R.NsPerCell = std::min(R.NsPerCell, (T1 - T0) * 1e9 / double(Ps.size()));
        R.FreeMs = std::min(R.FreeMs, (T2 - T1) * 1e3);
    }
    R.Valid = true;
    return R;
}

template <Kind K, Fill F>
void BM_Sheet(benchmark::State& State) {
    (void)QvManager();  // the registry is filled once, outside the figures
    const auto& Ps = Positions(F);
    const TResult R = MeasureFill(
        State, Ps, [] { return MakeSheet(K); }, [&](TQvSheet* S) { FillSheet<K>(S, Ps); },
        [](TQvSheet* S) { delete S; });
    Results[Key("sheet", K, F)] = R;
    State.counters["bytes_per_cell"] = R.BytesPerCell;
    State.counters["ns_per_cell"] = R.NsPerCell;
    State.counters["free_ms"] = R.FreeMs;
}

// --- the peer ---------------------------------------------------------------

template <Kind K>
void FillModel(QStandardItemModel* M, const std::vector<TPoint>& Ps) {
    char Buf[16];
    for (const TPoint& P : Ps) {
        QStandardItem* I;
        if constexpr (K == kString) {
            int L = Text(Buf, P);
            I = new QStandardItem(QString::fromLatin1(Buf, L));
        } else if constexpr (K == kInteger) {
            I = new QStandardItem;
            I->setData(P.Y * Side + P.X, Qt::DisplayRole);
        } else if constexpr (K == kDouble) {
            I = new QStandardItem;
            I->setData((P.Y * Side + P.X) * 0.25, Qt::DisplayRole);
        } else {
            I = new QStandardItem;
        }
        M->setItem(P.Y, P.X, I);
    }
}

template <Kind K, Fill F>
void BM_Peer(benchmark::State& State) {
    const auto& Ps = Positions(F);
    const TResult R = MeasureFill(
        State, Ps,
        [] {
            auto* M = new QStandardItemModel;
            M->setRowCount(Side);
            M->setColumnCount(Side);
            return M;
        },
        [&](QStandardItemModel* M) { FillModel<K>(M, Ps); }, [](QStandardItemModel* M) { delete M; });
    Results[Key("peer", K, F)] = R;
    State.counters["bytes_per_item"] = R.ItemBytes;
    State.counters["bytes_with_table"] = R.BytesPerCell;
    State.counters["ns_per_setItem"] = R.NsPerCell;
    State.counters["free_ms"] = R.FreeMs;
}

// --- lookups ----------------------------------------------------------------

// Probes: on the full sheet every probe hits; on the 1 % sheet half the
// probes hit a stored cell and half miss. Random probes jump across the
// sheet; sequential ones walk it row by row, as a painter does.
std::vector<TPoint> Probes(Fill F, bool Sequential) {
    std::mt19937 Rng(777);
    std::vector<TPoint> Out(1 << 16);
    const auto& Ps = Positions(F);
    for (size_t I = 0; I < Out.size(); ++I) {
        if (Sequential)
            Out[I] = {int(I % Side), int(I / Side)};
        else if (F == fSparse && (I & 1))
            Out[I] = {int(Rng() % Side), int(Rng() % Side)};
        else
            Out[I] = Ps[Rng() % Ps.size()];
    }
    return Out;
}

std::map<std::string, double> LookupNs;

template <Fill F, bool Sequential>
void BM_FindCell(benchmark::State& State) {
    TQvSheet* S = MakeSheet(kString);
    FillSheet<kString>(S, Positions(F));
    auto Ps = Probes(F, Sequential);
    size_t I = 0;
    double T0 = Now();
    for (auto _ : State) {
        const TPoint& P = Ps[I++ & (Ps.size() - 1)];
        benchmark::DoNotOptimize(S->FindCell(P.X, P.Y));
    }
    double T1 = Now();
    delete S;
    double Ns = (T1 - T0) * 1e9 / double(State.iterations());
    LookupNs[std::string("sheet/") + FillName(F) + (Sequential ? "/seq" : "/random")] = Ns;
    State.counters["ns_per_FindCell"] = Ns;
}

template <Fill F, bool Sequential>
void BM_PeerItem(benchmark::State& State) {
    auto* M = new QStandardItemModel(Side, Side);
    FillModel<kString>(M, Positions(F));
    auto Ps = Probes(F, Sequential);
    size_t I = 0;
    double T0 = Now();
    for (auto _ : State) {
        const TPoint& P = Ps[I++ & (Ps.size() - 1)];
        benchmark::DoNotOptimize(M->item(P.Y, P.X));
    }
    double T1 = Now();
    delete M;
    double Ns = (T1 - T0) * 1e9 / double(State.iterations());
    LookupNs[std::string("peer/") + FillName(F) + (Sequential ? "/seq" : "/random")] = Ns;
    State.counters["ns_per_item"] = Ns;
}

// Registered in this order; the summary reads what ran.
void Register() {
    constexpr int Runs = 3;
#define QV_PAIR(K, F)                                                                           \
    benchmark::RegisterBenchmark("Sheet/" #K "/" #F, BM_Sheet<K, F>)->UseManualTime()->Iterations(Runs) \
        ->Unit(benchmark::kMillisecond);                                                        \
    benchmark::RegisterBenchmark("Peer/" #K "/" #F, BM_Peer<K, F>)->UseManualTime()->Iterations(Runs) \
        ->Unit(benchmark::kMillisecond);
    QV_PAIR(kEmpty, fFull)
    QV_PAIR(kString, fFull)
    QV_PAIR(kInteger, fFull)
    QV_PAIR(kDouble, fFull)
    QV_PAIR(kEmpty, fSparse)
    QV_PAIR(kString, fSparse)
    QV_PAIR(kInteger, fSparse)
    QV_PAIR(kDouble, fSparse)
#undef QV_PAIR
    benchmark::RegisterBenchmark("Sheet/FindCell/full/random", BM_FindCell<fFull, false>);
    benchmark::RegisterBenchmark("Peer/item/full/random", BM_PeerItem<fFull, false>);
    benchmark::RegisterBenchmark("Sheet/FindCell/full/seq", BM_FindCell<fFull, true>);
    benchmark::RegisterBenchmark("Peer/item/full/seq", BM_PeerItem<fFull, true>);
    benchmark::RegisterBenchmark("Sheet/FindCell/1%/random", BM_FindCell<fSparse, false>);
    benchmark::RegisterBenchmark("Peer/item/1%/random", BM_PeerItem<fSparse, false>);
}

// Prints the figures, the ratios to the peer and the targets.
void Summary() {
    std::printf("\n== sheet vs QStandardItemModel (1000 x 1000) ==\n");
    std::printf("%-18s %12s %12s %8s %12s %12s %8s %10s %10s\n", "cells", "sheet B/cell", "peer B/item",
                "ratio", "sheet ns", "peer ns", "ratio", "sheet free", "peer free");
    for (Fill F : {fFull, fSparse}) {
        for (Kind K : {kEmpty, kString, kInteger, kDouble}) {
            auto S = Results.find(Key("sheet", K, F));
            auto P = Results.find(Key("peer", K, F));
            if (S == Results.end() || P == Results.end()) continue;
            const TResult& A = S->second;
            const TResult& B = P->second;
            std::printf("%-8s %-9s %12.1f %12.1f %8.2f %12.1f %12.1f %8.2f %8.1fms %8.1fms\n", KindName(K),
                        FillName(F), A.BytesPerCell, B.ItemBytes, A.BytesPerCell / B.ItemBytes, A.NsPerCell,
                        B.NsPerCell, A.NsPerCell / B.NsPerCell, A.FreeMs, B.FreeMs);
        }
    }
    std::printf("(peer B/item excludes the model's own table of item pointers, which a 1000 x 1000 model\n"
                " allocates up front; sheet B/cell includes everything the sheet allocated.)\n");
    std::printf("\ntargets: string cell <= 0.6 x string item; integer cell <= 0.6 x integer item;\n"
                "         NeedCell+SetAsString <= 0.3 x setItem; FindCell <= 20 ns\n");
    auto Ratio = [](const char* What, Kind K, Fill F, bool Bytes, double Target) {
        auto S = Results.find(Key("sheet", K, F));
        auto P = Results.find(Key("peer", K, F));
        if (S == Results.end() || P == Results.end()) return;
        double R = Bytes ? S->second.BytesPerCell / P->second.ItemBytes : S->second.NsPerCell / P->second.NsPerCell;
        std::printf("  %-34s %-5s %6.2f  (target <= %.1f) %s\n", What, FillName(F), R, Target,
                    R <= Target ? "met" : "NOT met");
    };
    for (const auto& [Key, Ns] : LookupNs) {
        if (Key.rfind("sheet/", 0) != 0) continue;
        auto Peer = LookupNs.find("peer/" + Key.substr(6));
        std::printf("  %-34s %-11s %6.1f ns (peer item() %.1f ns; target <= 20 ns) %s\n", "FindCell", Key.substr(6).c_str(),
                    Ns, Peer == LookupNs.end() ? 0.0 : Peer->second, Ns <= 20 ? "met" : "NOT met");
    }
    for (Fill F : {fFull, fSparse}) {
        Ratio("string bytes ratio", kString, F, true, 0.6);
        Ratio("integer bytes ratio", kInteger, F, true, 0.6);
        Ratio("NeedCell+SetAsString time ratio", kString, F, false, 0.3);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
