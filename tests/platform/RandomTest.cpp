#include <gtest/gtest.h>

#include <set>

#include "Random.h"

namespace {

TEST(RandomTest, SeedOneGivesTheClassicSequenceAgainAfterReseeding)
{
    // The well-known first values of the classic C library generator seeded with 1.
    const int expected[] = {41, 18467, 6334, 26500, 19169};
    for (int round = 0; round < 2; ++round) {
        win::srand(1);
        for (int value : expected)
            EXPECT_EQ(win::rand(), value);
    }
}

TEST(RandomTest, ValuesCoverTheWholeRange)
{
    win::srand(7);
    int lowest = win::kRandMax, highest = 0;
    for (int i = 0; i < 200000; ++i) {
        const int r = win::rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, win::kRandMax);
        lowest = std::min(lowest, r);
        highest = std::max(highest, r);
    }
    EXPECT_EQ(lowest, 0);
    EXPECT_EQ(highest, win::kRandMax);
}

}  // namespace
