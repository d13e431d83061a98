// Opens a fresh runtime heap for each test and destroys it afterwards.
#pragma once

#include "runtime/heap.h"

#include <gtest/gtest.h>

class RuntimeHeapTest : public ::testing::Test {
  protected:
    void SetUp() override { openRuntimeHeap(); }
    void TearDown() override { closeRuntimeHeap(); }
};

// Counts the blocks the runtime heap holds right now.
int liveHeapBlocks();
