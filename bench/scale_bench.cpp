// The sheet model at scale, beside the peers a C++ user would measure it
// against, each in the same run:
//   - memory per cell, all told, of a mixed sheet (numbers, dates, short
//     texts, as a CSV gives them) made by the CSV import and by loading it
//     from its saved stream, and of a sheet of numbers alone, beside a
//     QStandardItemModel holding the same values; a 1 % scattered fill
//     beside a QStandardItem per cell;
//   - saving and loading the sheet stream in M cells/s, the CSV import
//     beside a bare libcsv parse of the same bytes, and freeing the sheet;
//   - formatting a block of a million cells as the designer does it (an
//     area undo step over a selection), its undo and redo, and what the
//     step holds; a one-cell step on the same sheet;
//   - NeedCell + SetAsString beside QStandardItemModel::setItem, and random
//     FindCell in a full 1000 x 1000 sheet beside QStandardItemModel::item.
//
// Sizes come from the environment: QV_SCALE_CELLS (default 1,000,000 cells
// in rows of 10 columns), QV_SCALE_FULL=1 for 10,000,000 and 30,000,000
// cells (the time ratios of the two come on top), QV_SCALE_RUNS (runs of
// each figure, best time kept; default 1) and QV_SCALE_PEER_CELLS (the
// largest peer built; default the first size); times are the process's CPU
// time unless QV_SCALE_WALL=1 asks for the wall clock. A summary with every target,
// the peer's figure and the ratio follows the benchmark table.
#include <benchmark/benchmark.h>
#include <csv.h>
#include <malloc.h>

#include <QDate>
#include <QStandardItem>
#include <QStandardItemModel>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "exchange/csv_import.h"
#include "grids/base_style.h"
#include "grids/cell.h"
#include "grids/cell_range.h"
#include "grids/manager.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "grids/style.h"
#include "grids/styler.h"
#include "grids/undo_stack.h"
#include "platform/font.h"
#include "platform/small_memory.h"
#include "platform/stream.h"

using namespace qv;

namespace {

constexpr int Cols = 10;
constexpr int64_t BlockCells = 1000000;  // the formatted selection
constexpr int LookupSide = 1000;

// --- configuration ------------------------------------------------------------

int64_t EnvInt(const char* Name, int64_t Default) {
    const char* V = std::getenv(Name);
    if (!V || !*V) return Default;
    char* End = nullptr;
    const long long N = std::strtoll(V, &End, 10);
    return End && *End == 0 && N > 0 ? N : Default;
}

struct TConfig {
    std::vector<int64_t> Sizes;  // cells, each a multiple of Cols
    int64_t PeerCap = 0;
    int Runs = 1;
    bool Full = false;
};

TConfig& Config() {
    static TConfig C = [] {
        TConfig R;
        const char* F = std::getenv("QV_SCALE_FULL");
        R.Full = F && std::string(F) == "1";
        if (R.Full)
            R.Sizes = {10000000, 30000000};
        else
            R.Sizes = {std::max<int64_t>(Cols, EnvInt("QV_SCALE_CELLS", 1000000) / Cols * Cols)};
        R.PeerCap = EnvInt("QV_SCALE_PEER_CELLS", R.Sizes.front()) / Cols * Cols;
        R.PeerCap = std::max<int64_t>(Cols, R.PeerCap);
        R.Runs = static_cast<int>(std::min<int64_t>(EnvInt("QV_SCALE_RUNS", 1), 100));
        return R;
    }();
    return C;
}

int64_t PeerCells(int64_t Cells) { return std::min(Cells, Config().PeerCap); }

// In-use heap bytes: small blocks in the arenas, blocks served by mmap, and
// the model's small objects, which live in a pool of their own.
size_t HeapInUse() {
    struct mallinfo2 M = mallinfo2();
    return M.uordblks + M.hblkhd + static_cast<size_t>(SmallObjectBytes());
}

// The small-object pool's part of HeapInUse.
size_t PoolInUse() { return static_cast<size_t>(SmallObjectBytes()); }

bool WallClock() {
    static const bool Wall = [] {
        const char* W = std::getenv("QV_SCALE_WALL");
        return W && std::string(W) == "1";
    }();
    return Wall;
}

// Seconds of the process's CPU time, which other work on the machine
// disturbs least (the model runs on the calling thread, so on an idle
// machine it is the time a user waits); the wall clock with QV_SCALE_WALL=1.
double Now() {
    if (WallClock())
        return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    timespec T;
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &T);
    return double(T.tv_sec) + double(T.tv_nsec) * 1e-9;
}

double PerCell(size_t Before, size_t After, int64_t Cells) {
    return After > Before ? double(After - Before) / double(Cells) : 0.0;
}

// --- the data -----------------------------------------------------------------

// Mixed: columns 0, 4, 8 integers, 1, 5, 9 decimals, 2, 6 ISO dates, 3, 7
// texts "Item <n>". Numbers: integers and decimals in turn.
enum TValueKind { vkInteger, vkDouble, vkDate, vkText };

TValueKind MixedKind(int C) {
    static const TValueKind K[Cols] = {vkInteger, vkDouble, vkDate, vkText, vkInteger,
                                       vkDouble,  vkDate,   vkText, vkInteger, vkDouble};
    return K[C];
}
TValueKind NumberKind(int C) { return C % 2 ? vkDouble : vkInteger; }

int IntegerAt(int64_t R, int C) { return static_cast<int>((R * 37 + C * 11) % 1000000); }
// Quarters, so that the text and the double are exact.
double DoubleAt(int64_t R, int C) { return double((R * 13 + C) % 100000) + 0.25 * double((R + C) % 4); }
QDate DateAt(int64_t R, int C) { return QDate(2020, 1, 1).addDays((R + C * 31) % 3000); }
int ItemAt(int64_t R, int C) { return static_cast<int>((R * Cols + C) % 100000); }

void AppendField(std::string& T, TValueKind K, int64_t R, int C) {
    char Buf[32];
    int L = 0;
    switch (K) {
        case vkInteger: L = std::snprintf(Buf, sizeof Buf, "%d", IntegerAt(R, C)); break;
        case vkDouble: L = std::snprintf(Buf, sizeof Buf, "%.2f", DoubleAt(R, C)); break;
        case vkDate: {
            const QDate D = DateAt(R, C);
            L = std::snprintf(Buf, sizeof Buf, "%04d-%02d-%02d", D.year(), D.month(), D.day());
            break;
        }
        case vkText: L = std::snprintf(Buf, sizeof Buf, "Item %d", ItemAt(R, C)); break;
    }
    T.append(Buf, size_t(L));
}

std::string MakeCsv(int64_t Rows, TValueKind (*Kind)(int)) {
    std::string T;
    T.reserve(size_t(Rows) * Cols * 9);
    for (int64_t R = 0; R < Rows; ++R) {
        for (int C = 0; C < Cols; ++C) {
            if (C) T += ',';
            AppendField(T, Kind(C), R, C);
        }
        T += "\r\n";
    }
    return T;
}

QVariant PeerValue(TValueKind K, int64_t R, int C) {
    switch (K) {
        case vkInteger: return QVariant(IntegerAt(R, C));
        case vkDouble: return QVariant(DoubleAt(R, C));
        case vkDate: return QVariant(DateAt(R, C));
        case vkText: return QVariant(QStringLiteral("Item %1").arg(ItemAt(R, C)));
    }
    return {};
}

// Per size: the CSV texts, the imported mixed sheet (kept for saving and
// formatting) and its saved stream.
struct TData {
    std::string MixedCsv, NumberCsv, Saved;
    std::unique_ptr<TQvSheet> Sheet;
};
std::map<int64_t, TData> Data;

TData& DataOf(int64_t Cells) {
    TData& D = Data[Cells];
    if (D.MixedCsv.empty()) D.MixedCsv = MakeCsv(Cells / Cols, MixedKind);
    return D;
}

// --- results ------------------------------------------------------------------

struct TFigure {
    double Value = 0;
    bool Valid = false;
    void Best(double V) {  // the least over the runs
        Value = Valid ? std::min(Value, V) : V;
        Valid = true;
    }
    void Set(double V) {
        Value = V;
        Valid = true;
    }
};
std::map<std::string, TFigure> Figures;
std::string Key(const std::string& What, int64_t Cells) { return What + "@" + std::to_string(Cells); }
TFigure& Fig(const std::string& What, int64_t Cells) { return Figures[Key(What, Cells)]; }

// --- memory and speed of the mixed sheet ----------------------------------------

void ImportInto(TQvSheet& S, const std::string& Text) {
    TMemoryStream M(Text);
    benchmark::DoNotOptimize(ImportCsv(S, M).Cells);
}

void BM_LibcsvParse(benchmark::State& State, int64_t Cells) {
    const std::string& Text = DataOf(Cells).MixedCsv;
    for (auto _ : State) {
        const double T0 = Now();
        csv_parser P;
        csv_init(&P, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL);
        size_t Fields = 0;
        auto OnField = [](void*, size_t, void* N) { ++*static_cast<size_t*>(N); };
        csv_parse(&P, Text.data(), Text.size(), OnField, nullptr, &Fields);
        csv_fini(&P, OnField, nullptr, &Fields);
        csv_free(&P);
        benchmark::DoNotOptimize(Fields);
        const double T = Now() - T0;
        State.SetIterationTime(T);
        Fig("libcsv_s", Cells).Best(T);
    }
    State.counters["Mcells_per_s"] = double(Cells) / Fig("libcsv_s", Cells).Value / 1e6;
}

// Imports the mixed CSV; the last sheet imported stays for the figures
// after it.
void BM_CsvImport(benchmark::State& State, int64_t Cells) {
    TData& D = DataOf(Cells);
    D.Sheet.reset();
    D.Saved.clear();
    for (auto _ : State) {
        D.Sheet.reset();
        const size_t H0 = HeapInUse(), P0 = PoolInUse();
        const double T0 = Now();
        auto S = std::make_unique<TQvSheet>();
        ImportInto(*S, D.MixedCsv);
        const double T = Now() - T0;
        const size_t H1 = HeapInUse(), P1 = PoolInUse();
        State.SetIterationTime(T);
        Fig("import_s", Cells).Best(T);
        Fig("import_B", Cells).Set(PerCell(H0, H1, Cells));
        Fig("import_pool_B", Cells).Set(PerCell(P0, P1, Cells));
        D.Sheet = std::move(S);
    }
    State.counters["bytes_per_cell"] = Fig("import_B", Cells).Value;
    State.counters["pool_B_per_cell"] = Fig("import_pool_B", Cells).Value;
    State.counters["Mcells_per_s"] = double(Cells) / Fig("import_s", Cells).Value / 1e6;
}

void BM_Save(benchmark::State& State, int64_t Cells) {
    TData& D = DataOf(Cells);
    if (!D.Sheet) {
        D.Sheet = std::make_unique<TQvSheet>();
        ImportInto(*D.Sheet, D.MixedCsv);
    }
    for (auto _ : State) {
        const double T0 = Now();
        TMemoryStream M;
        D.Sheet->SaveToStream(M);
        const double T = Now() - T0;
        State.SetIterationTime(T);
        Fig("save_s", Cells).Best(T);
        D.Saved = M.Bytes();
    }
    State.counters["Mcells_per_s"] = double(Cells) / Fig("save_s", Cells).Value / 1e6;
    State.counters["stream_B_per_cell"] = double(D.Saved.size()) / double(Cells);
}

// Loads the saved stream into a new sheet, then frees it (timed apart).
void BM_LoadAndFree(benchmark::State& State, int64_t Cells) {
    TData& D = DataOf(Cells);
    if (D.Saved.empty()) {
        State.SkipWithError("nothing saved");
        return;
    }
    for (auto _ : State) {
        TMemoryStream M(D.Saved);
        const size_t H0 = HeapInUse();
        const double T0 = Now();
        auto* S = new TQvSheet(nullptr);
        S->LoadFromStream(M);
        const double T1 = Now();
        const size_t H1 = HeapInUse();
        if (int64_t(S->RowCount()) * S->ColCount() < Cells) State.SkipWithError("the load lost rows");
        delete S;
        const double T2 = Now();
        State.SetIterationTime(T1 - T0);
        Fig("load_s", Cells).Best(T1 - T0);
        Fig("free_s", Cells).Best(T2 - T1);
        Fig("load_B", Cells).Set(PerCell(H0, H1, Cells));
    }
    State.counters["Mcells_per_s"] = double(Cells) / Fig("load_s", Cells).Value / 1e6;
    State.counters["bytes_per_cell"] = Fig("load_B", Cells).Value;
    State.counters["free_ms"] = Fig("free_s", Cells).Value * 1e3;
}

void BM_Numbers(benchmark::State& State, int64_t Cells) {
    TData& D = DataOf(Cells);
    if (D.NumberCsv.empty()) D.NumberCsv = MakeCsv(Cells / Cols, NumberKind);
    for (auto _ : State) {
        const size_t H0 = HeapInUse(), P0 = PoolInUse();
        const double T0 = Now();
        auto* S = new TQvSheet(nullptr);
        ImportInto(*S, D.NumberCsv);
        const double T = Now() - T0;
        const size_t H1 = HeapInUse(), P1 = PoolInUse();
        delete S;
        State.SetIterationTime(T);
        Fig("numbers_B", Cells).Set(PerCell(H0, H1, Cells));
        Fig("numbers_pool_B", Cells).Set(PerCell(P0, P1, Cells));
    }
    D.NumberCsv.clear();
    D.NumberCsv.shrink_to_fit();
    State.counters["bytes_per_cell"] = Fig("numbers_B", Cells).Value;
    State.counters["pool_B_per_cell"] = Fig("numbers_pool_B", Cells).Value;
}

// The peer: a model sized up front, an item per cell holding the value.
void BM_PeerValues(benchmark::State& State, int64_t Cells, bool Numbers) {
    const std::string What = Numbers ? "peer_numbers" : "peer_mixed";
    const int64_t Rows = Cells / Cols;
    for (auto _ : State) {
        const size_t H0 = HeapInUse();
        const double T0 = Now();
        auto* M = new QStandardItemModel(static_cast<int>(Rows), Cols);
        for (int64_t R = 0; R < Rows; ++R)
            for (int C = 0; C < Cols; ++C) {
                auto* I = new QStandardItem;
                I->setData(PeerValue(Numbers ? NumberKind(C) : MixedKind(C), R, C), Qt::EditRole);
                M->setItem(static_cast<int>(R), C, I);
            }
        const double T1 = Now();
        const size_t H1 = HeapInUse();
        delete M;
        const double T2 = Now();
        State.SetIterationTime(T1 - T0);
        Fig(What + "_B", Cells).Set(PerCell(H0, H1, Cells));
        Fig(What + "_free_s", Cells).Best(T2 - T1);
    }
    State.counters["bytes_per_cell"] = Fig(What + "_B", Cells).Value;
}

// 1 % of the positions of a sheet 1000 columns wide, scattered, holding
// the mixed kinds; the peer's figure is per item, its table left out.
struct TSparse {
    int Rows = 0;
    std::vector<TPoint> Ps;
};
TSparse SparsePositions(int64_t Cells) {
    TSparse Out;
    Out.Rows = static_cast<int>(std::max<int64_t>(1000, Cells / 1000));
    std::mt19937 Rng(4242);
    std::vector<int> Xs(1000);
    for (int Y = 0; Y < Out.Rows; ++Y) {
        for (int X = 0; X < 1000; ++X) Xs[X] = X;
        std::shuffle(Xs.begin(), Xs.end(), Rng);
        for (int K = 0; K < 10; ++K) Out.Ps.push_back({Xs[K], Y});
    }
    std::shuffle(Out.Ps.begin(), Out.Ps.end(), Rng);
    return Out;
}

void BM_Sparse(benchmark::State& State, int64_t Cells) {
    (void)QvManager();
    const TSparse Sp = SparsePositions(Cells);
    const int64_t N = static_cast<int64_t>(Sp.Ps.size());
    for (auto _ : State) {
        const size_t H0 = HeapInUse();
        const double T0 = Now();
        auto* S = new TQvSheet(nullptr);
        S->SetColCount(1000);
        S->SetRowCount(Sp.Rows);
        TQvSection* Sec = S->Sections(skClient);
        for (const TPoint& P : Sp.Ps) {
            switch (MixedKind(P.X % Cols)) {
                case vkInteger:
                    Sec->NeedCellOfClass(P, TQvCInteger::StaticClass())->SetAsInteger(IntegerAt(P.Y, P.X));
                    break;
                case vkDouble:
                    Sec->NeedCellOfClass(P, TQvCDouble::StaticClass())->SetAsFloat(DoubleAt(P.Y, P.X));
                    break;
                case vkDate:
                    // Days since 1899-12-30, as date cells count them.
                    Sec->NeedCellOfClass(P, TQvCDateTime::StaticClass())
                        ->SetAsDateTime(double(DateAt(P.Y, P.X).toJulianDay() - 2415019));
                    break;
                case vkText:
                    Sec->NeedCellOfClass(P, TQvCString::StaticClass())
                        ->SetAsString("Item " + std::to_string(ItemAt(P.Y, P.X)));
                    break;
            }
        }
        const double T = Now() - T0;
        const size_t H1 = HeapInUse();
        delete S;
        State.SetIterationTime(T);
        Fig("sparse_B", Cells).Set(PerCell(H0, H1, N));
    }
    State.counters["bytes_per_cell"] = Fig("sparse_B", Cells).Value;
}

void BM_PeerSparse(benchmark::State& State, int64_t Cells) {
    const TSparse Sp = SparsePositions(Cells);
    const int64_t N = static_cast<int64_t>(Sp.Ps.size());
    for (auto _ : State) {
        const size_t H0 = HeapInUse();
        auto* M = new QStandardItemModel(Sp.Rows, 1000);
        const size_t H1 = HeapInUse();
        const double T0 = Now();
        for (const TPoint& P : Sp.Ps) {
            auto* I = new QStandardItem;
            I->setData(PeerValue(MixedKind(P.X % Cols), P.Y, P.X), Qt::EditRole);
            M->setItem(P.Y, P.X, I);
        }
        const double T = Now() - T0;
        const size_t H2 = HeapInUse();
        delete M;
        State.SetIterationTime(T);
        Fig("peer_sparse_item_B", Cells).Set(PerCell(H1, H2, N));
        Fig("peer_sparse_all_B", Cells).Set(PerCell(H0, H2, N));
    }
    State.counters["bytes_per_item"] = Fig("peer_sparse_item_B", Cells).Value;
    State.counters["bytes_with_table"] = Fig("peer_sparse_all_B", Cells).Value;
}

// --- formatting a selection as the designer does -----------------------------

// A block of about a million cells at the sheet's left: whole rows of the
// ten columns when the sheet is short, one column when it is tall.
TRect Block(int64_t Cells) {
    const int64_t Rows = Cells / Cols;
    const int64_t Width = std::clamp<int64_t>((BlockCells + Rows - 1) / Rows, 1, Cols);
    const int64_t Height = std::min<int64_t>(Rows, BlockCells / Width);
    return {0, 0, static_cast<int32_t>(Width), static_cast<int32_t>(Height)};
}

struct TFormat {
    const char* Name;
    void (*Apply)(TQvSelection& S, TQvStyle* Named);
};

const TFormat Formats[] = {
    {"bold", [](TQvSelection& S, TQvStyle*) { S.Font()->SetStyle(S.Font()->Style().Include(fsBold)); }},
    {"fill", [](TQvSelection& S, TQvStyle*) { S.SetColor(clYellow); }},
    {"border",
     [](TQvSelection& S, TQvStyle*) {
         for (int Side : {liLeft, liTop, liRight, liBottom, liHInternal, liVInternal})
             S.SetBorder(Side, {lsSingle, clBlack});
     }},
    {"style", [](TQvSelection& S, TQvStyle* Named) { ApplyStyle(S, Named); }},
};

void BM_Format(benchmark::State& State, int64_t Cells) {
    TData& D = DataOf(Cells);
    if (!D.Sheet) {
        D.Sheet = std::make_unique<TQvSheet>();
        ImportInto(*D.Sheet, D.MixedCsv);
    }
    TQvSheet& S = *D.Sheet;
    TQvStyler Styler;
    TQvStyle* Named = Styler.AddStyle("Total");
    Named->Font()->SetStyle({fsItalic});
    Named->SetColor(clAqua);
    S.SetStyler(&Styler);
    TQvUndoStack& Stack = S.UndoStack();
    Stack.SetLimit(1 << 20);
    const TRect R = Block(Cells);
    const int64_t Changed = int64_t(R.Right - R.Left) * (R.Bottom - R.Top);
    for (auto _ : State) {
        double Total = 0;
        for (const TFormat& F : Formats) {
            // QV_SCALE_FORMATS=bold,fill,... measures only those.
            if (const char* Only = std::getenv("QV_SCALE_FORMATS"); Only && !std::strstr(Only, F.Name)) continue;
            // The selection exists before the command, as in the grid.
            const double T0 = Now();
            TQvCellRange Sel(S, R);
            const double T1 = Now();
            const size_t B0 = Stack.Bytes();
            {
                TQvUndoStep Step(&S, "Format", skClient, {R});
                F.Apply(Sel.Range(), Named);
            }
            const double T2 = Now();
            const size_t B1 = Stack.Bytes();
            const bool Area = Stack.Count() > 0 && Stack.IsAreaStep(Stack.Count() - 1);
            const bool Undone = Stack.Undo();
            const double T3 = Now();
            const bool Redone = Stack.Redo();
            const double T4 = Now();
            if (!Area || !Undone || !Redone) State.SkipWithError("the step was not an area step");
            const std::string N = std::string("fmt_") + F.Name;
            Fig(N + "_select_s", Cells).Best(T1 - T0);
            Fig(N + "_s", Cells).Best(T2 - T1);
            Fig(N + "_undo_s", Cells).Best(T3 - T2);
            Fig(N + "_redo_s", Cells).Best(T4 - T3);
            Fig(N + "_B", Cells).Set(B1 > B0 ? double(B1 - B0) / double(Changed) : 0.0);
            Total += T2 - T1;
        }
        State.SetIterationTime(Total);
        // The next run starts from the same sheet.
        while (Stack.CanUndo()) Stack.Undo();
        Stack.Clear();
    }
    // One cell, many times over: bold on and off in turn.
    constexpr int Steps = 200;
    const size_t B0 = Stack.Bytes();
    const double T0 = Now();
    for (int I = 0; I < Steps; ++I) {
        const TRect One{3, 5 + I, 4, 6 + I};
        TQvCellRange Sel(S, One);
        TQvUndoStep Step(&S, "Format", skClient, {One});
        Sel->Font()->SetStyle(I % 2 ? TFontStyles{} : TFontStyles{fsBold});
    }
    const double T1 = Now();
    const size_t B1 = Stack.Bytes();
    Fig("one_cell_s", Cells).Set((T1 - T0) / Steps);
    Fig("one_cell_B", Cells).Set(double(B1 - B0) / Steps);
    Stack.Clear();
    S.SetStyler(nullptr);
    Fig("block_cells", Cells).Set(double(Changed));
    State.counters["block_cells"] = double(Changed);
}

// --- filling and finding cells ------------------------------------------------

void BM_SetAsString(benchmark::State& State, int64_t Cells) {
    (void)QvManager();
    const int64_t Rows = Cells / Cols;
    for (auto _ : State) {
        auto* S = new TQvSheet(nullptr);
        S->SetColCount(Cols);
        S->SetRowCount(static_cast<int32_t>(Rows));
        S->BaseClientStyle()->SetCellClass(TQvCString::StaticClass());
        char Buf[24];
        const double T0 = Now();
        for (int64_t R = 0; R < Rows; ++R)
            for (int C = 0; C < Cols; ++C) {
                TQvCell* Cell = S->NeedCell(C, static_cast<int32_t>(R));
                const int L = std::snprintf(Buf, sizeof Buf, "Item %d", ItemAt(R, C));
                Cell->SetAsString(std::string(Buf, size_t(L)));
                benchmark::DoNotOptimize(Cell);
            }
        const double T = Now() - T0;
        delete S;
        State.SetIterationTime(T);
        Fig("set_ns", Cells).Best(T * 1e9 / double(Cells));
    }
    State.counters["ns_per_cell"] = Fig("set_ns", Cells).Value;
}

void BM_PeerSetItem(benchmark::State& State, int64_t Cells) {
    const int64_t Rows = Cells / Cols;
    for (auto _ : State) {
        auto* M = new QStandardItemModel(static_cast<int>(Rows), Cols);
        char Buf[24];
        const double T0 = Now();
        for (int64_t R = 0; R < Rows; ++R)
            for (int C = 0; C < Cols; ++C) {
                const int L = std::snprintf(Buf, sizeof Buf, "Item %d", ItemAt(R, C));
                M->setItem(static_cast<int>(R), C, new QStandardItem(QString::fromLatin1(Buf, L)));
            }
        const double T = Now() - T0;
        delete M;
        State.SetIterationTime(T);
        Fig("peer_set_ns", Cells).Best(T * 1e9 / double(Cells));
    }
    State.counters["ns_per_cell"] = Fig("peer_set_ns", Cells).Value;
}

std::vector<TPoint> RandomProbes() {
    std::mt19937 Rng(777);
    std::vector<TPoint> Out(1 << 16);
    for (TPoint& P : Out) P = {int(Rng() % LookupSide), int(Rng() % LookupSide)};
    return Out;
}

// Times Lookup over seeded random positions of the lookup square and files
// the nanoseconds per call as figure Figure and counter Counter.
template <typename F>
void TimeProbes(benchmark::State& State, F&& Lookup, const char* Figure, const char* Counter) {
    const auto Ps = RandomProbes();
    size_t I = 0;
    const double T0 = Now();
    for (auto _ : State) benchmark::DoNotOptimize(Lookup(Ps[I++ & (Ps.size() - 1)]));
    const double Ns = (Now() - T0) * 1e9 / double(State.iterations());
    Fig(Figure, 0).Set(Ns);
    State.counters[Counter] = Ns;
}

void BM_FindCell(benchmark::State& State) {
    auto S = std::make_unique<TQvSheet>();
    S->SetColCount(LookupSide);
    S->SetRowCount(LookupSide);
    S->BaseClientStyle()->SetCellClass(TQvCString::StaticClass());
    for (int Y = 0; Y < LookupSide; ++Y)
        for (int X = 0; X < LookupSide; ++X) S->NeedCell(X, Y)->SetAsString("x");
    TimeProbes(State, [&](TPoint P) { return S->FindCell(P.X, P.Y); }, "find_ns", "ns_per_FindCell");
}

void BM_PeerItem(benchmark::State& State) {
    auto M = std::make_unique<QStandardItemModel>(LookupSide, LookupSide);
    for (int Y = 0; Y < LookupSide; ++Y)
        for (int X = 0; X < LookupSide; ++X) M->setItem(Y, X, new QStandardItem(QStringLiteral("x")));
    TimeProbes(State, [&](TPoint P) { return M->item(P.Y, P.X); }, "peer_find_ns", "ns_per_item");
}

// --- registration and the summary ----------------------------------------------

std::string Label(const char* What, int64_t Cells) { return std::string(What) + "/" + std::to_string(Cells); }

template <typename F>
void Add(const std::string& Name, F&& Fn) {
    benchmark::RegisterBenchmark(Name.c_str(), std::forward<F>(Fn))
        ->UseManualTime()
        ->Iterations(Config().Runs)
        ->Unit(benchmark::kMillisecond);
}

void Register() {
    std::vector<int64_t> PeersDone;
    for (int64_t N : Config().Sizes) {
        Add(Label("Csv/libcsv_parse", N), [N](benchmark::State& S) { BM_LibcsvParse(S, N); });
        Add(Label("Csv/import", N), [N](benchmark::State& S) { BM_CsvImport(S, N); });
        Add(Label("Stream/save", N), [N](benchmark::State& S) { BM_Save(S, N); });
        Add(Label("Format/block", N), [N](benchmark::State& S) { BM_Format(S, N); });
        // The imported sheet makes room for the loaded one.
        benchmark::RegisterBenchmark(Label("Release/imported", N).c_str(), [N](benchmark::State& S) {
            for (auto _ : S) DataOf(N).Sheet.reset();
        })->Iterations(1);
        Add(Label("Stream/load_and_free", N), [N](benchmark::State& S) { BM_LoadAndFree(S, N); });
        // The mixed sheet is given back before the figures that need room.
        benchmark::RegisterBenchmark(Label("Release/mixed", N).c_str(), [N](benchmark::State& S) {
            for (auto _ : S) Data.erase(N);
        })->Iterations(1);
        Add(Label("Numbers/import", N), [N](benchmark::State& S) { BM_Numbers(S, N); });
        Add(Label("Sparse/1%", N), [N](benchmark::State& S) { BM_Sparse(S, N); });
        Add(Label("Fill/NeedCell+SetAsString", N), [N](benchmark::State& S) { BM_SetAsString(S, N); });
        const int64_t P = PeerCells(N);
        if (std::find(PeersDone.begin(), PeersDone.end(), P) != PeersDone.end()) continue;
        PeersDone.push_back(P);
        Add(Label("Peer/mixed", P), [P](benchmark::State& S) { BM_PeerValues(S, P, false); });
        Add(Label("Peer/numbers", P), [P](benchmark::State& S) { BM_PeerValues(S, P, true); });
        Add(Label("Peer/sparse_1%", P), [P](benchmark::State& S) { BM_PeerSparse(S, P); });
        Add(Label("Peer/setItem", P), [P](benchmark::State& S) { BM_PeerSetItem(S, P); });
    }
    benchmark::RegisterBenchmark("Find/FindCell/1000x1000/random", BM_FindCell);
    benchmark::RegisterBenchmark("Find/peer_item/1000x1000/random", BM_PeerItem);
}

int Unmet = 0;

// One line: the figure, the peer's, their ratio, the target and the verdict.
// A ratio target compares Value / Peer; otherwise Value itself.
void Line(const std::string& What, const char* Unit, double Value, double Peer, const char* Cmp, double Target,
          bool RatioTarget) {
    if (!std::isfinite(Value) || !std::isfinite(Peer) || Value <= 0 || (RatioTarget && Peer <= 0)) {
        ++Unmet;
        std::printf("  %-44s not measured\n", What.c_str());
        return;
    }
    const double Ratio = Peer > 0 ? Value / Peer : 0.0;
    const double Judged = RatioTarget ? Ratio : Value;
    const bool Met = std::string(Cmp) == "<=" ? Judged <= Target : Judged >= Target;
    if (!Met) ++Unmet;
    char PeerText[32] = "-", RatioText[16] = "-";
    if (Peer > 0) {
        std::snprintf(PeerText, sizeof PeerText, "%.3g", Peer);
        std::snprintf(RatioText, sizeof RatioText, "%.2f", Ratio);
    }
    std::printf("  %-44s %10.3g %-7s %10s %7s   %s %-4s %-6g %s\n", What.c_str(), Value, Unit, PeerText, RatioText,
                RatioTarget ? "ratio" : "value", Cmp, Target, Met ? "met" : "NOT met");
}

double V(const std::string& What, int64_t Cells) {
    auto I = Figures.find(Key(What, Cells));
    return I == Figures.end() || !I->second.Valid ? 0.0 : I->second.Value;
}
bool Has(const std::string& What, int64_t Cells) {
    auto I = Figures.find(Key(What, Cells));
    return I != Figures.end() && I->second.Valid;
}

void Summary() {
    const TConfig& C = Config();
    std::printf("\n== the sheet model at scale (rows x %d columns; runs %d; peer at most %lld cells; %s) ==\n",
                Cols, C.Runs, static_cast<long long>(C.PeerCap), WallClock() ? "wall clock" : "process CPU time");
    std::printf("  %-44s %10s %-7s %10s %7s   %s\n", "figure", "value", "unit", "peer", "ratio", "target");
    for (int64_t N : C.Sizes) {
        const int64_t P = PeerCells(N);
        std::printf("-- %lld cells (peer %lld cells; peer figures are per cell or per second) --\n",
                    static_cast<long long>(N), static_cast<long long>(P));
        const double M = double(N) / 1e6;
        // 1. Memory.
        Line("mixed, CSV import: bytes/cell", "B", V("import_B", N), V("peer_mixed_B", P), "<=", 48, false);
        Line("mixed, loaded from stream: bytes/cell", "B", V("load_B", N), V("peer_mixed_B", P), "<=", 48, false);
        Line("numbers alone: bytes/cell", "B", V("numbers_B", N), V("peer_numbers_B", P), "<=", 32, false);
        std::printf("    (of which the small-object pool: mixed %.1f B/cell, numbers %.1f B/cell)\n",
                    V("import_pool_B", N), V("numbers_pool_B", N));
        Line("1% scattered: bytes/cell vs peer bytes/item", "B", V("sparse_B", N), V("peer_sparse_item_B", P), "<=",
             0.6, true);
        std::printf("    (peer 1%% with its item table: %.1f B/item)\n", V("peer_sparse_all_B", P));
        // 2. Time.
        Line("save (sheet stream)", "Mcell/s", M / V("save_s", N), 0, ">=", 20, false);
        Line("load (sheet stream)", "Mcell/s", M / V("load_s", N), 0, ">=", 20, false);
        Line("CSV import speed vs bare libcsv parse", "Mcell/s", M / V("import_s", N), M / V("libcsv_s", N), ">=",
             0.5, true);
        std::printf("    free the sheet: %.1f ms (peer %.1f ms for %lld cells)\n", V("free_s", N) * 1e3,
                    V("peer_mixed_free_s", P) * 1e3, static_cast<long long>(P));
        // 3. Formatting.
        const double Block = V("block_cells", N);
        for (const TFormat& F : Formats) {
            const std::string Nm = std::string("fmt_") + F.Name;
            if (!Has(Nm + "_s", N)) continue;
            char Title[64];
            std::snprintf(Title, sizeof Title, "%s, %.0f cells, as an area step", F.Name, Block);
            Line(Title, "s", V(Nm + "_s", N), 0, "<=", 0.3, false);
            Line(std::string("  undo ") + F.Name, "s", V(Nm + "_undo_s", N), 0, "<=", 0.3, false);
            Line(std::string("  redo ") + F.Name, "s", V(Nm + "_redo_s", N), 0, "<=", 0.3, false);
            // 16 bytes per changed cell, and a constant of 4 KiB per step.
            Line(std::string("  step bytes/changed cell, ") + F.Name, "B", V(Nm + "_B", N), 0, "<=",
                 16 + 4096.0 / std::max(1.0, Block), false);
            std::printf("    (making the selection of the block: %.3f s)\n", V(Nm + "_select_s", N));
        }
        Line("one-cell area step: time", "ms", V("one_cell_s", N) * 1e3, 0, "<=", 1, false);
        Line("one-cell area step: bytes", "B", V("one_cell_B", N), 0, "<=", 1024, false);
        // 4. Filling.
        Line("NeedCell+SetAsString vs setItem", "ns/cell", V("set_ns", N), V("peer_set_ns", P), "<=", 0.3, true);
    }
    Line("random FindCell, full 1000x1000, vs item()", "ns", V("find_ns", 0), V("peer_find_ns", 0), "<=", 8, false);
    if (C.Sizes.size() == 2) {
        const int64_t A = C.Sizes[0], B = C.Sizes[1];
        std::printf("-- time at %lld cells / time at %lld cells (%.1f x the cells) --\n", static_cast<long long>(B),
                    static_cast<long long>(A), double(B) / double(A));
        for (const char* What : {"import_s", "save_s", "load_s", "free_s"})
            Line(std::string("time ratio: ") + What, "x", V(What, B) / std::max(1e-12, V(What, A)), 0, "<=", 3.3,
                 false);
    }
    std::printf("%d target%s not met\n", Unmet, Unmet == 1 ? "" : "s");
}

}  // namespace

int main(int argc, char** argv) {
    (void)QvManager();  // the registry is filled once, outside the figures
    Register();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    Summary();
    return 0;
}
