#include "runtime/random.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::int32_t> draws(std::uint32_t seed, std::int32_t max, int count) {
    rngSeed(seed);
    std::vector<std::int32_t> values;
    for (int k = 0; k < count; ++k) {
        values.push_back(rngUpTo(max));
    }
    return values;
}

using Values = std::vector<std::int32_t>;

TEST(RandomGenerator, SeedZeroFillsTheBufferAsListed) {
    rngFillWords(0);
    EXPECT_EQ(randomState.words[0], 1u);
    EXPECT_EQ(randomState.words[1], 2891336454u);
    EXPECT_EQ(randomState.words[2], 3786291487u);
    EXPECT_EQ(randomState.words[3], 2005742236u);
    EXPECT_EQ(randomState.words[33], 174502886u);
    EXPECT_EQ(randomState.i, 0);
    EXPECT_EQ(randomState.j, 10);
}

TEST(RandomGenerator, WarmUpLeavesTheIndicesAtThreeAndThirteen) {
    rngSeed(0);
    EXPECT_EQ(randomState.i, 3);
    EXPECT_EQ(randomState.j, 13);
}

TEST(RandomGenerator, FirstDrawAfterSeedZero) {
    rngSeed(0);
    RandomDraw d = rngNext();
    EXPECT_EQ(d.high, 0x8B910D61u);
    EXPECT_EQ(d.low, 0x60217BDFu);
}

TEST(RandomGenerator, ListedSequences) {
    EXPECT_EQ(draws(0, 1, 6), (Values{1, 1, 1, 0, 0, 1}));
    EXPECT_EQ(draws(0, 99, 6), (Values{54, 78, 66, 37, 23, 62}));
    EXPECT_EQ(draws(1, 1, 6), (Values{1, 0, 1, 1, 0, 0}));
}

TEST(RandomGenerator, ZeroAndNegativeMaximaStillTakeAStep) {
    rngSeed(0);
    Values values{rngUpTo(0)};
    for (int k = 0; k < 5; ++k) {
        values.push_back(rngUpTo(1));
    }
    EXPECT_EQ(values, (Values{0, 1, 1, 0, 0, 1}));

    rngSeed(0);
    EXPECT_EQ(rngUpTo(-1), INT32_MIN);
    EXPECT_EQ(rngUpTo(-2147483647 - 1), INT32_MIN);
    Values rest;
    for (int k = 0; k < 4; ++k) {
        rest.push_back(rngUpTo(1));
    }
    EXPECT_EQ(rest, (Values{1, 0, 0, 1}));
}

TEST(RandomGenerator, LargestMaximumIsTheDrawShiftedBy33) {
    rngSeed(12345);
    RandomState saved = randomState;
    RandomDraw d = rngNext();
    randomState = saved;
    std::uint64_t draw = (static_cast<std::uint64_t>(d.high) << 32) | d.low;
    EXPECT_EQ(rngUpTo(2147483647), static_cast<std::int32_t>(draw >> 33));
}

TEST(RandomGenerator, BoundedValuesStayInRangeAndCoverIt) {
    rngSeed(77);
    std::vector<int> seen(7, 0);
    for (int k = 0; k < 7000; ++k) {
        std::int32_t v = rngUpTo(6);
        ASSERT_GE(v, 0);
        ASSERT_LE(v, 6);
        ++seen[v];
    }
    for (int v = 0; v <= 6; ++v) {
        EXPECT_GT(seen[v], 800) << v; // about 1000 each
    }
}

TEST(RandomGenerator, TheSameSeedRepeatsTheSequence) {
    EXPECT_EQ(draws(4242, 1000, 50), draws(4242, 1000, 50));
    EXPECT_NE(draws(4242, 1000, 50), draws(4243, 1000, 50));
}

} // namespace
