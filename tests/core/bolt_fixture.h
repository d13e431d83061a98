// A fresh heap with the bank, its backup and the journal as the program makes them.
#pragma once

#include "core/bolt_bank.h"
#include "runtime/heap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

class BoltTest : public ::testing::Test {
  protected:
    void SetUp() override {
        openRuntimeHeap();
        clearBoltState();
        listCreate(&MoveJournal, 4);
        createBoltBanks();
    }
    void TearDown() override {
        clearBoltState();
        closeRuntimeHeap();
    }

    // Bit i of `state` is bolt i: 1 closed, 0 open.
    static void setBank(int state) {
        for (int i = 0; i < BOLT_COUNT; ++i) {
            BoltBank[i] = static_cast<signed char>((state >> i) & 1);
        }
    }
    static int bankState() {
        int state = 0;
        for (int i = 0; i < BOLT_COUNT; ++i) {
            state |= (BoltBank[i] & 1) << i;
        }
        return state;
    }
    // The journal as the report shows it: bolt numbers from 1.
    static std::vector<int> journalShown() {
        std::vector<int> moves;
        for (ListElement* e = MoveJournal.descriptor->first; e; e = e->next) {
            moves.push_back(journalEntry(e) + 1);
        }
        return moves;
    }
};
