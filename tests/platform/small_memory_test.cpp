#include "platform/small_memory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

using namespace qv;

namespace {

struct TBlock {
    unsigned char* P;
    size_t Size;
    unsigned char Mark;
};

bool Intact(const TBlock& B) {
    for (size_t i = 0; i < B.Size; ++i)
        if (B.P[i] != B.Mark) return false;
    return true;
}

// Makes and frees blocks of random sizes (some above the pooled sizes), each
// filled with its own mark; true when no block was ever written by another.
bool Churn(unsigned Seed, int Steps) {
    std::mt19937 rng(Seed);
    std::vector<TBlock> live;
    bool intact = true;
    for (int k = 0; k < Steps; ++k) {
        if (live.empty() || rng() % 3 != 0) {
            const size_t size = 1 + rng() % (MaxSmallObjectSize + 64);
            TBlock b{static_cast<unsigned char*>(AllocateSmallObject(size)), size, static_cast<unsigned char>(rng())};
            if (size <= MaxSmallObjectSize && reinterpret_cast<uintptr_t>(b.P) % 16 != 0) intact = false;
            std::memset(b.P, b.Mark, size);
            live.push_back(b);
        } else {
            const size_t i = rng() % live.size();
            intact = intact && Intact(live[i]);
            FreeSmallObject(live[i].P, live[i].Size);
            live[i] = live.back();
            live.pop_back();
        }
    }
    for (const TBlock& b : live) {
        intact = intact && Intact(b);
        FreeSmallObject(b.P, b.Size);
    }
    return intact;
}

}  // namespace

TEST(SmallMemory, BlocksNeverOverlapAndAreAligned) { EXPECT_TRUE(Churn(1, 200000)); }

TEST(SmallMemory, TwoThreadsShareThePool) {
    bool a = false, b = false;
    std::thread other([&] { a = Churn(2, 200000); });
    b = Churn(3, 200000);
    other.join();
    EXPECT_TRUE(a);
    EXPECT_TRUE(b);
}

// Freeing everything gives the chunks back, but for one kept in reserve.
TEST(SmallMemory, FreedChunksGoBackToTheSystem) {
    const int64_t before = SmallObjectChunks();
    std::vector<void*> blocks;
    for (int i = 0; i < 100000; ++i) blocks.push_back(AllocateSmallObject(96));  // over 9 MB
    const int64_t used = SmallObjectChunks();
    for (void* p : blocks) FreeSmallObject(p, 96);
    if (used == before) GTEST_SKIP() << "objects come from operator new in this build";
    EXPECT_GE(used, before + 4);
    EXPECT_LE(SmallObjectChunks(), before + 1);
}
