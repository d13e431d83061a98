// The program's one pseudo-random generator: a lagged Fibonacci generator with
// bit rotation over 17 pairs of 32-bit words, lag 10 pairs. Each step gives a
// 64-bit draw; bounded values come from a fixed-point multiplication.
#pragma once

#include <cstdint>

struct RandomState {
    std::uint32_t words[34]; // 17 pairs: pair p is words 2p and 2p + 1
    int i;                   // the pair the next step rewrites
    int j;                   // the lagged pair the next step adds in
};
extern RandomState randomState;

struct RandomDraw {
    std::uint32_t high;
    std::uint32_t low;
};

void rngSeed(std::uint32_t seed);
// The first half of the seeding: the buffer filled from the seed, before the warm-up.
void rngFillWords(std::uint32_t seed);
void rngSeedFromClock();
RandomDraw rngNext();
// Evenly over 0..max; a negative max gives INT32_MIN. Always takes one step.
std::int32_t rngUpTo(std::int32_t max);
