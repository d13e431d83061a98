#include "tests/support/heap_blocks.h"

#include "runtime/heap.h"

int liveHeapBlocks(HANDLE heap) {
#ifdef _WIN32
    int blocks = 0;
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            ++blocks;
        }
    }
    HeapUnlock(heap);
    return blocks;
#else
    return static_cast<int>(hostHeapLiveBlocks(heap));
#endif
}

int liveBlocksGainedOver(int cycles, const std::function<void()>& cycle) {
    for (int i = 0; i < cycles; ++i) {
        cycle();
    }
    const int warm = liveHeapBlocks();
    for (int i = 0; i < cycles; ++i) {
        cycle();
    }
    return liveHeapBlocks() - warm;
}

bool isLiveHeap(HANDLE heap) {
#ifdef _WIN32
    HANDLE heaps[256];
    DWORD count = GetProcessHeaps(256, heaps);
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (heaps[i] == heap) {
            return true;
        }
    }
    return false;
#else
    return hostHeapIsLive(heap);
#endif
}

#ifdef _WIN32
SIZE_T runtimeHeapBlockSize(const void* data) {
    SIZE_T size = 0;
    PROCESS_HEAP_ENTRY entry{};
    HeapLock(RuntimeHeap);
    while (size == 0 && HeapWalk(RuntimeHeap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.lpData == data) {
            size = entry.cbData;
        }
    }
    HeapUnlock(RuntimeHeap);
    return size;
}

::testing::AssertionResult heapBlockHolds(const void* data, SIZE_T bytes) {
    SIZE_T size = runtimeHeapBlockSize(data);
    if (size == 0) {
        return ::testing::AssertionFailure() << "no block of the runtime heap begins at " << data;
    }
    if (size < bytes) {
        return ::testing::AssertionFailure() << "the runtime heap block at " << data << " has "
                                             << size << " bytes; " << bytes << " go into it";
    }
    return ::testing::AssertionSuccess();
}
#endif
