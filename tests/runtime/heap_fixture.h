// Opens a fresh runtime heap for each test and destroys it afterwards.
#pragma once

#include "runtime/heap.h"
#include "tests/support/heap_blocks.h"

#include <gtest/gtest.h>

class RuntimeHeapTest : public ::testing::Test {
  protected:
    void SetUp() override { openRuntimeHeap(); }
    void TearDown() override { closeRuntimeHeap(); }
};
