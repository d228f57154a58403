#include "platform/huge_pages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

using namespace qv;

// A vector that grows from small blocks into huge ones keeps its elements,
// and its huge blocks are aligned and start zeroed.
TEST(HugePages, AllocatorKeepsElementsAcrossGrowth) {
    std::vector<uint32_t, THugePageAllocator<uint32_t>> v;
    for (uint32_t i = 0; i < 3'000'000; ++i) v.push_back(i * 7);
    for (uint32_t i = 0; i < v.size(); i += 997) ASSERT_EQ(v[i], i * 7);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(v.data()) % HugePageSize, 0u);

    auto* block = static_cast<unsigned char*>(AllocateHugeBlock(HugePageSize + 1, false));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % HugePageSize, 0u);
    EXPECT_EQ(block[0] | block[HugePageSize] | block[2 * HugePageSize - 1], 0);
    block[2 * HugePageSize - 1] = 1;  // the size was rounded up to two huge pages
    FreeHugeBlock(block, HugePageSize + 1);
}
