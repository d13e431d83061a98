#pragma once

#include "runtime/platform.h"

// Counts the blocks the runtime heap holds right now.
int liveHeapBlocks();
// Whether the handle still names a heap of this process.
bool isLiveHeap(HANDLE heap);
