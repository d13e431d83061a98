#pragma once

#include "runtime/heap.h"
#include "runtime/platform.h"

#include <gtest/gtest.h>

#include <functional>

// Counts the blocks the runtime heap, or the heap named, holds right now.
int liveHeapBlocks(HANDLE heap = RuntimeHeap);
// The blocks the runtime heap gained over the second of two runs of `cycles`
// calls of `cycle`. Code that keeps nothing of a cycle gains none once the
// first run has warmed the heap up, whatever a heap's front end keeps for
// itself (a low-fragmentation heap hands out, and keeps, whole groups of
// blocks); code that keeps a block a cycle gains a group every few dozen.
int liveBlocksGainedOver(int cycles, const std::function<void()>& cycle);
// Whether the handle still names a heap of this process.
bool isLiveHeap(HANDLE heap);
#ifdef _WIN32
// The size asked for the runtime heap's block that begins at `data`; 0 when
// no block of that heap begins there (found by walking the heap, since the
// platform need not answer HeapSize for a foreign pointer).
SIZE_T runtimeHeapBlockSize(const void* data);
// Whether the runtime heap's block that begins at `data` has room for `bytes`.
// The heap notices nothing written past a block's end, so a block asked for
// too small for what goes into it shows here or not at all.
::testing::AssertionResult heapBlockHolds(const void* data, SIZE_T bytes);
#endif
