#include "core/planner.h"

#include "tests/core/bolt_fixture.h"

#include <algorithm>

namespace {

using Moves = std::vector<int>;

constexpr int ALL_CLOSED = 0b111111;
constexpr int ALL_OPEN = 0;

// Replays the journal from `start` under the movement rule; every move must
// be allowed. Returns the state reached.
int replayUnderTheRule(int start, const Moves& moves) {
    int state = start;
    for (std::size_t k = 0; k < moves.size(); ++k) {
        for (int i = 0; i < BOLT_COUNT; ++i) {
            BoltBank[i] = static_cast<signed char>((state >> i) & 1);
        }
        int bolt = moves[k] - 1;
        EXPECT_EQ(canMoveBolt(bolt), 1)
            << "move " << k << " (bolt " << moves[k] << ") from state " << state;
        state ^= 1 << bolt;
    }
    return state;
}

class PlannerTest : public BoltTest {
  protected:
    Moves plan(void (*which)(), int start) {
        setBank(start);
        which();
        EXPECT_EQ(bankState(), start) << "the bank is restored";
        return journalShown();
    }
};

TEST_F(PlannerTest, OpenAllFromClosed) {
    EXPECT_EQ(plan(planOpenAll, ALL_CLOSED),
              (Moves{6, 1, 2, 1, 3, 1, 2, 1, 4, 1, 2, 1, 3, 1, 2, 1, 5, 1, 2, 1, 3, 1}));
}

TEST_F(PlannerTest, CloseAllFromOpen) {
    EXPECT_EQ(plan(planCloseAll, ALL_OPEN),
              (Moves{1, 3, 1, 2, 1, 5, 1, 2, 1, 3, 1, 2, 1, 4, 1, 2, 1, 3, 1, 2, 1, 6}));
}

TEST_F(PlannerTest, OpenAllFromOpenClosesBoltsOneToFiveFirst) {
    Moves closing{1, 3, 1, 2, 1, 5, 1, 2, 1, 3, 1, 2, 1, 4, 1, 2, 1, 3, 1, 2, 1};
    Moves opening{1, 2, 1, 3, 1, 2, 1, 4, 1, 2, 1, 3, 1, 2, 1, 5, 1, 2, 1, 3, 1};
    Moves expected = closing;
    expected.insert(expected.end(), opening.begin(), opening.end());
    EXPECT_EQ(plan(planOpenAll, ALL_OPEN), expected);
}

TEST_F(PlannerTest, SmallPlans) {
    EXPECT_EQ(plan(planCloseAll, ALL_CLOSED), Moves{});
    EXPECT_EQ(plan(planCloseAll, ALL_CLOSED & ~1), Moves{1});
}

TEST_F(PlannerTest, EveryStartStateGivesLegalMovesToTheGoal) {
    int fewestOpen = 1000, mostOpen = 0, fewestClose = 1000, mostClose = 0;
    int startOfFewestOpen = -1, startOfMostOpen = -1, startOfMostClose = -1;
    for (int start = 0; start < 64; ++start) {
        Moves open = plan(planOpenAll, start);
        EXPECT_EQ(replayUnderTheRule(start, open), ALL_OPEN) << start;
        Moves close = plan(planCloseAll, start);
        EXPECT_EQ(replayUnderTheRule(start, close), ALL_CLOSED) << start;

        int o = static_cast<int>(open.size()), c = static_cast<int>(close.size());
        if (o < fewestOpen) {
            fewestOpen = o;
            startOfFewestOpen = start;
        }
        if (o > mostOpen) {
            mostOpen = o;
            startOfMostOpen = start;
        }
        if (c > mostClose) {
            mostClose = c;
            startOfMostClose = start;
        }
        fewestClose = std::min(fewestClose, c);
    }
    EXPECT_EQ(fewestOpen, 21);
    EXPECT_EQ(startOfFewestOpen, 0b011111); // bolts 1..5 closed, 6 open
    EXPECT_EQ(mostOpen, 53);
    EXPECT_EQ(startOfMostOpen, 0b101111); // bolts 1..4 and 6 closed, 5 open
    EXPECT_EQ(fewestClose, 0);
    EXPECT_EQ(mostClose, 32);
    EXPECT_EQ(startOfMostClose, 0b001111); // bolts 1..4 closed, 5 and 6 open
}

TEST_F(PlannerTest, APlanReplacesTheJournalOfTheLastOne) {
    plan(planOpenAll, ALL_OPEN);
    EXPECT_EQ(plan(planCloseAll, ALL_CLOSED & ~1), Moves{1});
    EXPECT_EQ(listCount(&MoveJournal), 1);
}

TEST_F(PlannerTest, GuardsLeaveBoltsThatAreAlreadyThere) {
    setBank(ALL_CLOSED);
    closeBolt(3);
    setBank(ALL_OPEN);
    openBolt(4);
    EXPECT_EQ(listCount(&MoveJournal), 0);
    setBank(ALL_CLOSED);
    openBolt(1); // needs bolt 1 open first
    EXPECT_EQ(journalShown(), (Moves{1, 2}));
}

} // namespace
