#include "runtime/dynamic_array.h"

#include "runtime/heap.h"

#include <cstdint>

namespace {

constexpr int HEADER_WORDS = 2;
constexpr SIZE_T HEADER_SIZE = HEADER_WORDS * sizeof(std::int32_t);

} // namespace

void* arrayCreate(int elementSize, int upperBound) {
    SIZE_T elements = static_cast<SIZE_T>(elementSize) * static_cast<SIZE_T>(upperBound + 1);
    auto* header = static_cast<std::int32_t*>(heapAllocZeroed(HEADER_SIZE + elements));
    if (!header) {
        return nullptr;
    }
    header[0] = upperBound;
    header[1] = 1;
    return header + HEADER_WORDS;
}

void arrayFree(void* array) {
    if (array) {
        heapRelease(static_cast<std::int32_t*>(array) - HEADER_WORDS);
    }
}
