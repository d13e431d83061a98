#include "tests/runtime/heap_fixture.h"

#include <cstring>

namespace {

// A request the heap must refuse: more than the address space on Windows; on
// the host the stand-in is told to refuse the next one.
SIZE_T sizeTheHeapRefuses() {
#ifdef _WIN32
    return static_cast<SIZE_T>(-1) - 4096;
#else
    hostHeapFailAllocations(1);
    return 16;
#endif
}

bool allZero(const void* block, std::size_t size) {
    auto* bytes = static_cast<const unsigned char*>(block);
    for (std::size_t i = 0; i < size; ++i) {
        if (bytes[i] != 0) {
            return false;
        }
    }
    return true;
}

TEST_F(RuntimeHeapTest, OpensOnTheRunningModuleAndGivesZeroedBlocks) {
    EXPECT_EQ(reinterpret_cast<void*>(instanceHandle),
              reinterpret_cast<void*>(GetModuleHandleA(nullptr)));
    ASSERT_NE(RuntimeHeap, nullptr);
    void* big = heapAllocZeroed(64000);
    ASSERT_NE(big, nullptr);
    EXPECT_TRUE(allZero(big, 64000));
}

TEST_F(RuntimeHeapTest, GrowthKeepsContentsAndZeroesTheNewPart) {
    auto* block = static_cast<unsigned char*>(heapAllocZeroed(16));
    std::memset(block, 0xAB, 16);
    block = static_cast<unsigned char*>(heapReallocZeroed(block, 4096));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(block[i], 0xAB) << i;
    }
    EXPECT_TRUE(allZero(block + 16, 4096 - 16));
}

TEST_F(RuntimeHeapTest, ReleasingGivesTheBlockBack) {
    int before = liveHeapBlocks();
    void* a = heapAllocUncleared(100);
    void* b = heapAllocZeroed(200);
    EXPECT_EQ(liveHeapBlocks(), before + 2);
    heapRelease(a);
    heapRelease(b);
    heapRelease(nullptr);
    EXPECT_EQ(liveHeapBlocks(), before);
}

TEST(RuntimeHeapLifetime, ClosingDestroysEverythingStillAlive) {
    openRuntimeHeap();
    HANDLE opened = RuntimeHeap;
    EXPECT_TRUE(isLiveHeap(opened));
    for (int i = 0; i < 50; ++i) {
        heapAllocZeroed(1000);
    }
    closeRuntimeHeap();
    EXPECT_EQ(RuntimeHeap, nullptr);
    EXPECT_FALSE(isLiveHeap(opened)) << "the heap, and with it its blocks, must be given back";
    // A second heap starts empty.
    openRuntimeHeap();
    EXPECT_EQ(liveHeapBlocks(), 0);
    closeRuntimeHeap();
}

int failuresSeen = 0;
void countFailure() {
    ++failuresSeen;
}

TEST_F(RuntimeHeapTest, AFailedAllocationReachesTheFailureHandler) {
    HeapFailureHandler saved = heapFailureHandler;
    heapFailureHandler = countFailure;
    failuresSeen = 0;
    void* block = heapAllocZeroed(sizeTheHeapRefuses());
    heapFailureHandler = saved;
    EXPECT_EQ(block, nullptr);
    EXPECT_EQ(failuresSeen, 1);
}

TEST(RuntimeHeapFailure, OutOfMemoryEndsTheProcessWithItsOwnCode) {
    EXPECT_EXIT(
        {
            openRuntimeHeap();
            heapAllocZeroed(sizeTheHeapRefuses());
        },
        ::testing::ExitedWithCode(3), "");
}

#ifndef _WIN32
// Only the stand-in can be told to refuse a heap.
TEST(RuntimeHeapFailure, AHeapThatCannotBeMadeEndsTheProcessAlike) {
    HeapFailureHandler saved = heapFailureHandler;
    heapFailureHandler = countFailure;
    failuresSeen = 0;
    hostHeapFailCreations(1);
    openRuntimeHeap();
    heapFailureHandler = saved;
    EXPECT_EQ(RuntimeHeap, nullptr);
    EXPECT_EQ(failuresSeen, 1);
    EXPECT_EXIT(
        {
            hostHeapFailCreations(1);
            openRuntimeHeap();
        },
        ::testing::ExitedWithCode(3), "");
}

// The stand-in takes any sizes; what the program asks of the real heap is a
// serialised one that starts small and grows without a limit.
TEST_F(RuntimeHeapTest, IsMadeSerialisedSmallAndGrowable) {
    HostHeapRequest made = hostHeapRequest(RuntimeHeap);
    EXPECT_EQ(made.options, 0u);
    EXPECT_EQ(made.initialSize, 4000u);
    EXPECT_EQ(made.maximumSize, 0u) << "a maximum makes the heap fixed in size";
}

// Memory nobody wrote must not pass for a terminator.
TEST_F(RuntimeHeapTest, AnUnclearedBlockHoldsNoZeroByte) {
    auto* block = static_cast<unsigned char*>(heapAllocUncleared(64));
    for (int i = 0; i < 64; ++i) {
        EXPECT_NE(block[i], 0) << i;
    }
}
#endif

} // namespace
