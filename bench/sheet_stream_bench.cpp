// Saving and loading sheets: a 1,000 x 1,000 sheet fully filled with mixed
// cells (strings, integers, doubles, dates) and a 100 x 100 sheet with every
// formatting attribute set. Reports bytes and cells per second both ways,
// and the heap in use at the end of a load beside the payload size.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "platform/small_memory.h"

#include <string>

#include "cells/date_time_cell.h"
#include "cells/double_cell.h"
#include "cells/integer_cell.h"
#include "cells/string_cell.h"
#include "grids/section.h"
#include "grids/sheet.h"
#include "platform/font.h"
#include "platform/stream.h"

using namespace qv;

namespace {

// The heap's in-use bytes and the model's small objects, kept in a pool of
// their own.
size_t HeapInUse() { return mallinfo2().uordblks + static_cast<size_t>(SmallObjectBytes()); }

void FillMixed(TQvSheet& S, int N) {
    S.SetColCount(N);
    S.SetRowCount(N);
    TQvSection* sec = S.Sections(skClient);
    const TClass classes[] = {TQvCString::StaticClass(), TQvCInteger::StaticClass(), TQvCDouble::StaticClass(),
                              TQvCDateTime::StaticClass()};
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            TQvCell* c = sec->NeedCellOfClass({x, y}, classes[(x + y) & 3]);
            switch ((x + y) & 3) {
                case 0: c->SetAsString("R" + std::to_string(y) + "C" + std::to_string(x)); break;
                case 1: c->SetAsInteger(x * y); break;
                case 2: c->SetAsFloat(x * 0.5 + y); break;
                default: c->SetAsDateTime(40000 + x + y / 24.0);
            }
        }
}

void FillFormatted(TQvSheet& S, int N) {
    S.SetColCount(N);
    S.SetRowCount(N);
    TQvSection* sec = S.Sections(skClient);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            TQvCell* c = sec->NeedCellOfClass({x, y}, TQvCDouble::StaticClass());
            c->SetAsFloat(x + y * 0.01);
            c->SetFormat("#,##0.00");
            c->SetLayout({haRight, vaCenter, 2, wmEllipsis});
            c->SetProtected(true);
            c->Font()->SetName("Arial");
            c->Font()->SetStyle({fsBold, fsItalic});
            c->SetHint("note");
            c->SetColor(clYellow);
            c->SetBorder(liRight, {lsSingle, clBlack});
            c->SetBorder(liBottom, {lsMedium, clBlue});
            c->SetFrame(frFlatDown);
        }
    for (int i = 0; i < N; ++i) S.SetSize(i, axCols, 40 + i % 30);
}

// A report of many small merged ranges: every row pairs its columns, one
// range per two cells (N * N / 2 ranges).
void FillMerged(TQvSheet& S, int N) {
    FillMixed(S, N);
    TQvSection* sec = S.Sections(skClient);
    for (int y = 0; y < N; ++y)
        for (int x = 0; x + 1 < N; x += 2) sec->Merge({x, y, x + 2, y + 1});
}

std::string Saved(void (*Fill)(TQvSheet&, int), int N) {
    TQvSheet s;
    Fill(s, N);
    TMemoryStream m;
    s.WriteData(m);
    return m.Bytes();
}

void Report(benchmark::State& state, int64_t Cells, int64_t Bytes) {
    state.SetItemsProcessed(state.iterations() * Cells);
    state.SetBytesProcessed(state.iterations() * Bytes);
}

void BM_Save(benchmark::State& state, void (*Fill)(TQvSheet&, int), int N) {
    TQvSheet s;
    Fill(s, N);
    int64_t bytes = 0;
    for (auto _ : state) {
        TMemoryStream m;
        s.WriteData(m);
        bytes = m.Size();
        benchmark::DoNotOptimize(m.Memory());
    }
    Report(state, int64_t(N) * N, bytes);
}

void BM_Load(benchmark::State& state, void (*Fill)(TQvSheet&, int), int N) {
    const std::string data = Saved(Fill, N);
    size_t heap = 0;
    for (auto _ : state) {
        TQvSheet s;
        s.SetColCount(N);
        s.SetRowCount(N);
        TMemoryStream m(data);
        const size_t before = HeapInUse();
        s.ReadData(m);
        heap = HeapInUse() - before;
        state.PauseTiming();  // freeing the sheet is not part of the load
        { TQvSheet gone; (void)gone; }
        state.ResumeTiming();
    }
    Report(state, int64_t(N) * N, static_cast<int64_t>(data.size()));
    state.counters["payload_MB"] = static_cast<double>(data.size()) / 1e6;
    state.counters["heap_after_load_MB"] = static_cast<double>(heap) / 1e6;
}

BENCHMARK_CAPTURE(BM_Save, mixed_1000x1000, FillMixed, 1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Load, mixed_1000x1000, FillMixed, 1000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK_CAPTURE(BM_Save, formatted_100x100, FillFormatted, 100)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Save, merged_200x200, FillMerged, 200)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, merged_200x200, FillMerged, 200)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Load, formatted_100x100, FillFormatted, 100)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
