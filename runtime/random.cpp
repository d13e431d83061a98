#include "runtime/random.h"

#include "runtime/platform.h"

RandomState randomState;

namespace {

constexpr int PAIRS = 17;
constexpr int LAG = 10;
constexpr std::uint32_t SEED_MULTIPLIER = 2891336453u;
constexpr int WARM_UP_STEPS = 31;

std::uint32_t rotateLeft(std::uint32_t x, int r) {
    return (x << r) | (x >> (32 - r));
}

int previousPair(int index) {
    return index == 0 ? PAIRS - 1 : index - 1;
}

} // namespace

void rngFillWords(std::uint32_t seed) {
    std::uint32_t x = seed;
    for (std::uint32_t& word : randomState.words) {
        x = x * SEED_MULTIPLIER + 1;
        word = x;
    }
    randomState.i = 0;
    randomState.j = LAG;
}

void rngSeed(std::uint32_t seed) {
    rngFillWords(seed);
    for (int step = 0; step < WARM_UP_STEPS; ++step) {
        rngNext();
    }
}

void rngSeedFromClock() {
    rngSeed(GetTickCount());
}

RandomDraw rngNext() {
    std::uint32_t* rewritten = &randomState.words[2 * randomState.i];
    const std::uint32_t* lagged = &randomState.words[2 * randomState.j];
    std::uint32_t z = rotateLeft(rewritten[0], 19) + lagged[0];
    std::uint32_t y = rotateLeft(rewritten[1], 27) + lagged[1];
    // Stored crosswise: the first word gets the result made from the second.
    rewritten[0] = y;
    rewritten[1] = z;
    randomState.i = previousPair(randomState.i);
    randomState.j = previousPair(randomState.j);
    return {z, y};
}

std::int32_t rngUpTo(std::int32_t max) {
    RandomDraw draw = rngNext();
    if (max < 0) {
        return INT32_MIN;
    }
    std::uint64_t n = static_cast<std::uint32_t>(max) + 1u;
    std::uint64_t lowProduct = static_cast<std::uint64_t>(draw.low) * n;
    std::uint64_t highProduct = static_cast<std::uint64_t>(draw.high) * n + (lowProduct >> 32);
    return static_cast<std::int32_t>(highProduct >> 32);
}
