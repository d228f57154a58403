// Sparse lists of 1,000,000 entries with 1 % individual values spread evenly,
// beside the containers a C++ programmer would otherwise pick: a plain
// std::vector (dense) and std::unordered_map (sparse).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "platform/small_memory.h"

#include <cstdio>
#include <random>
#include <unordered_map>
#include <vector>

#include "grids/size_list.h"

using namespace qv;

namespace {

constexpr int32_t N = 1000000;
constexpr int32_t Step = 100;  // 1 % of the entries hold an individual value

// The heap's in-use bytes and the model's small objects, kept in a pool of
// their own.
size_t HeapInUse() { return mallinfo2().uordblks + static_cast<size_t>(SmallObjectBytes()); }

TQvSizeList& SparseList() {
    static TQvSizeList* list = [] {
        auto* l = new TQvSizeList;
        l->SetDefault(16);
        l->SetCount(N);
        for (int32_t i = 0; i < N; i += Step) l->SetValue(i, 20 + i % 7);
        return l;
    }();
    return *list;
}

std::vector<int32_t> RandomIndexes() {
    std::mt19937 rng(42);
    std::vector<int32_t> v(4096);
    for (auto& i : v) i = static_cast<int32_t>(rng() % N);
    return v;
}

void BM_SList_GetItem_Repeated(benchmark::State& state) {
    auto& l = SparseList();
    for (auto _ : state) benchmark::DoNotOptimize(l.GetItem(500000));
}
BENCHMARK(BM_SList_GetItem_Repeated);

void BM_SList_GetItem_Random(benchmark::State& state) {
    auto& l = SparseList();
    const auto idx = RandomIndexes();
    size_t k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(l.GetItem(idx[k++ & 4095]));
}
BENCHMARK(BM_SList_GetItem_Random);

void BM_Peer_UnorderedMap_Find_Random(benchmark::State& state) {
    std::unordered_map<int32_t, int32_t> m;
    for (int32_t i = 0; i < N; i += Step) m[i] = 20 + i % 7;
    const auto idx = RandomIndexes();
    size_t k = 0;
    for (auto _ : state) {
        auto it = m.find(idx[k++ & 4095]);
        benchmark::DoNotOptimize(it == m.end() ? 0 : it->second);
    }
}
BENCHMARK(BM_Peer_UnorderedMap_Find_Random);

void BM_Peer_Vector_Get_Random(benchmark::State& state) {
    std::vector<int32_t> v(N, 16);
    const auto idx = RandomIndexes();
    size_t k = 0;
    for (auto _ : state) benchmark::DoNotOptimize(v[idx[k++ & 4095]]);
}
BENCHMARK(BM_Peer_Vector_Get_Random);

void BM_SList_SetItem_Random(benchmark::State& state) {
    auto& l = SparseList();
    const auto idx = RandomIndexes();
    size_t k = 0;
    for (auto _ : state) {
        const int32_t i = idx[k++ & 4095] / Step * Step;  // rewrite an existing individual value
        l.SetItem(i, static_cast<int32_t>(k & 7) + 1);
    }
}
BENCHMARK(BM_SList_SetItem_Random);

void BM_Peer_UnorderedMap_Set_Random(benchmark::State& state) {
    std::unordered_map<int32_t, int32_t> m;
    for (int32_t i = 0; i < N; i += Step) m[i] = 20 + i % 7;
    const auto idx = RandomIndexes();
    size_t k = 0;
    for (auto _ : state) {
        const int32_t i = idx[k++ & 4095] / Step * Step;
        m[i] = static_cast<int32_t>(k & 7) + 1;
    }
}
BENCHMARK(BM_Peer_UnorderedMap_Set_Random);

void BM_SizeList_Offset_Million(benchmark::State& state) {
    auto& l = SparseList();
    for (auto _ : state) benchmark::DoNotOptimize(l.Offset(N));
    state.SetLabel("us per call = ns/1000");
}
BENCHMARK(BM_SizeList_Offset_Million)->Unit(benchmark::kMicrosecond);

void BM_Peer_Vector_Sum_Million(benchmark::State& state) {
    std::vector<int32_t> v(N, 16);
    for (int32_t i = 0; i < N; i += Step) v[i] = 20 + i % 7;
    for (auto _ : state) {
        int64_t s = 0;
        for (int32_t x : v) s += x;
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_Peer_Vector_Sum_Million)->Unit(benchmark::kMicrosecond);

void BM_SizeList_IndexAt_Random(benchmark::State& state) {
    auto& l = SparseList();
    const int32_t total = l.Offset(N);
    std::mt19937 rng(7);
    std::vector<int32_t> pos(4096);
    for (auto& p : pos) p = static_cast<int32_t>(rng() % total);
    size_t k = 0;
    for (auto _ : state) {
        int32_t p = pos[k++ & 4095];
        benchmark::DoNotOptimize(l.IndexAt(p));
    }
}
BENCHMARK(BM_SizeList_IndexAt_Random)->Unit(benchmark::kMicrosecond);

// A write invalidates the position index from its page on; the next query
// rebuilds what it needs. Worst case: a random write, then the full length.
void BM_SizeList_SetValue_Then_Offset(benchmark::State& state) {
    auto& l = SparseList();
    std::mt19937 rng(11);
    for (auto _ : state) {
        const int32_t i = static_cast<int32_t>(rng() % N);
        l.SetValue(i, l.Values(i));
        benchmark::DoNotOptimize(l.Offset(N));
    }
}
BENCHMARK(BM_SizeList_SetValue_Then_Offset)->Unit(benchmark::kMicrosecond);

void BM_SList_Memory(benchmark::State& state) {
    size_t listBytes = 0, mapBytes = 0;
    for (auto _ : state) {
        const size_t before = HeapInUse();
        auto* l = new TQvSizeList;
        l->SetDefault(16);
        for (int32_t i = 0; i < N; i += Step) l->SetValue(i, 20);
        listBytes = HeapInUse() - before;
        delete l;
        const size_t mid = HeapInUse();
        auto* m = new std::unordered_map<int32_t, int32_t>;
        for (int32_t i = 0; i < N; i += Step) (*m)[i] = 20;
        mapBytes = HeapInUse() - mid;
        delete m;
    }
    state.counters["list_bytes"] = static_cast<double>(listBytes);
    state.counters["unordered_map_bytes"] = static_cast<double>(mapBytes);
    state.counters["dense_vector_bytes"] = static_cast<double>(N * sizeof(int32_t));
    state.counters["list/map"] = static_cast<double>(listBytes) / static_cast<double>(mapBytes);
}
BENCHMARK(BM_SList_Memory)->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
