#pragma once

#include "runtime/platform.h"

// Counts the blocks the runtime heap holds right now.
int liveHeapBlocks();
// Whether the handle still names a heap of this process.
bool isLiveHeap(HANDLE heap);
#ifdef _WIN32
// The size asked for the runtime heap's block that begins at `data`; 0 when
// no block of that heap begins there (found by walking the heap, since the
// platform need not answer HeapSize for a foreign pointer).
SIZE_T runtimeHeapBlockSize(const void* data);
#endif
