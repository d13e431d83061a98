#include "tests/core/bolt_fixture.h"
#include "tests/support/heap_blocks.h"

namespace {

// The rule in words: bolt 1 always; bolts 2 to 5 when the one directly below
// is open and all below that are closed; bolt 6 when all five others are closed.
bool ruleAllows(int state, int n) {
    auto closed = [state](int i) { return (state >> i) & 1; };
    auto allClosedBelow = [&](int k) {
        for (int i = 0; i < k; ++i) {
            if (!closed(i)) {
                return false;
            }
        }
        return true;
    };
    if (n == 0) {
        return true;
    }
    if (n == 5) {
        return allClosedBelow(5);
    }
    return !closed(n - 1) && allClosedBelow(n - 1);
}

TEST_F(BoltTest, StartsWithEveryBoltClosedInSevenCells) {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        EXPECT_EQ(BoltBank[i], 1) << i;
        EXPECT_EQ(backupBank[i], 0) << i;
    }
    EXPECT_EQ(BoltBank[6], 0);
    EXPECT_EQ(listCount(&MoveJournal), 0);
}

TEST_F(BoltTest, RuleTableOverEveryStateAndBolt) {
    for (int state = 0; state < 64; ++state) {
        setBank(state);
        for (int n = 0; n < BOLT_COUNT; ++n) {
            EXPECT_EQ(canMoveBolt(n), ruleAllows(state, n) ? 1 : 0)
                << "state " << state << " bolt " << n;
        }
        EXPECT_EQ(canMoveBolt(-1), 0) << state;
        EXPECT_EQ(bankState(), state) << "the rule only reads the bank";
    }
}

TEST_F(BoltTest, ClosedAndOpenLocksAllowTwoBoltsEach) {
    setBank(0b111111);
    std::vector<int> movable;
    for (int n = 0; n < BOLT_COUNT; ++n) {
        if (canMoveBolt(n)) {
            movable.push_back(n);
        }
    }
    EXPECT_EQ(movable, (std::vector<int>{0, 5}));
    setBank(0);
    movable.clear();
    for (int n = 0; n < BOLT_COUNT; ++n) {
        if (canMoveBolt(n)) {
            movable.push_back(n);
        }
    }
    EXPECT_EQ(movable, (std::vector<int>{0, 1}));
}

TEST_F(BoltTest, LastBoltDoesNotAskForTheOneBelowToBeOpen) {
    setBank(0b011111); // bolts 1 to 5 closed, 6 open
    EXPECT_EQ(canMoveBolt(5), 1);
    setBank(0b101111); // bolt 5 open
    EXPECT_EQ(canMoveBolt(5), 0);
    EXPECT_EQ(canMoveBolt(4), 0);
    setBank(0b100111); // bolt 4 open, 1..3 closed
    EXPECT_EQ(canMoveBolt(4), 1);
}

TEST_F(BoltTest, MovesFlipAndAreJournaledInCallOrder) {
    moveBolt(3);
    EXPECT_EQ(BoltBank[3], 0);
    moveBolt(3);
    EXPECT_EQ(BoltBank[3], 1);
    moveBolt(0);
    EXPECT_EQ(journalShown(), (std::vector<int>{4, 4, 1}));
    EXPECT_EQ(bankState(), 0b111110);
}

TEST_F(BoltTest, TheUsersFlipIsNotJournaled) {
    flipBolt(2);
    flipBolt(5);
    EXPECT_EQ(bankState(), 0b011011);
    EXPECT_EQ(listCount(&MoveJournal), 0);
}

TEST_F(BoltTest, ClearingForgetsTheBanksAndTheJournal) {
    moveBolt(2);
    ASSERT_NE(MoveJournal.current, nullptr);
    clearBoltState();
    EXPECT_EQ(BoltBank, nullptr);
    EXPECT_EQ(backupBank, nullptr);
    EXPECT_EQ(MoveJournal.descriptor, nullptr);
    EXPECT_EQ(MoveJournal.current, nullptr);
}

TEST_F(BoltTest, CreatingTheBanksAgainReplacesThemClosed) {
    setBank(0);
    const int blocks = liveHeapBlocks();
    createBoltBanks();
    EXPECT_EQ(bankState(), 0b111111);
    EXPECT_EQ(liveHeapBlocks(), blocks) << "the old banks are given back";
}

} // namespace
