#pragma once

// Counts the blocks the runtime heap holds right now.
int liveHeapBlocks();
