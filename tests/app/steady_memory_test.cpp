// Once warmed up, the heap gains no blocks over many report cycles:
// the journal's elements, the report's controls and the status text give their
// memory back.
#include "tests/app/app_fixture.h"
#include "tests/support/heap_blocks.h"

#include "app/main_window.h"
#include "core/bolt_bank.h"
#include "toolkit/controls/control_table.h"

#include <psapi.h>

namespace {

constexpr int CYCLES = 30;

void reportCycle(int plan) {
    postButtonClick(plan);
    runPendingPasses();
    postButtonClick(CTL_BACK);
    runPendingPasses();
}

// Marks the row as a click does and lets one pass flip its bolt; the status
// column is rewritten through the string variable.
void flipRow(int row) {
    controlSetState(CTL_BOLT_LIST, row);
    PostMessageA(mainWindow(), WM_NULL, 0, 0);
    runPendingPasses();
}

// The first bolt always moves, so this leaves the bank as it was.
void flipFirstBoltTwice() {
    flipRow(0);
    flipRow(0);
}

SIZE_T committedBytes() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return counters.PagefileUsage;
}

} // namespace

using SteadyMemory = AppTest;

TEST_F(SteadyMemory, ReportCyclesKeepTheNumberOfLiveBlocks) {
    reportCycle(CTL_OPEN_ALL);
    flipFirstBoltTwice();
    ASSERT_EQ(listCount(&MoveJournal), 22);
    const SIZE_T memoryAfterFirst = committedBytes();

    int cycle = 0;
    const int gained = liveBlocksGainedOver(CYCLES, [&cycle] {
        reportCycle(++cycle % 2 ? CTL_CLOSE_ALL : CTL_OPEN_ALL);
        if (cycle % 10 == 0) {
            flipFirstBoltTwice();
        }
    });

    EXPECT_EQ(statusColumn(), std::vector<std::string>(6, "zu"));
    EXPECT_EQ(listCount(&MoveJournal), 22) << "the last plan is the first one again";
    EXPECT_EQ(gained, 0);
    const SIZE_T memoryAfterAll = committedBytes();
    RecordProperty("committed_bytes_after_first", static_cast<int>(memoryAfterFirst));
    RecordProperty("committed_bytes_after_all", static_cast<int>(memoryAfterAll));
    std::printf("live heap blocks gained %d over %d cycles; process committed bytes %lu and %lu\n",
                gained, CYCLES, static_cast<unsigned long>(memoryAfterFirst),
                static_cast<unsigned long>(memoryAfterAll));
}

TEST_F(SteadyMemory, TheJournalGivesBackTheElementsOfTheLastPlan) {
    EXPECT_EQ(liveBlocksGainedOver(CYCLES,
                                   [] {
                                       reportCycle(CTL_OPEN_ALL);
                                       EXPECT_EQ(listCount(&MoveJournal), 22);
                                       reportCycle(CTL_CLOSE_ALL); // no moves from all closed
                                       EXPECT_EQ(listCount(&MoveJournal), 0);
                                   }),
              0);
}

TEST_F(SteadyMemory, TheStatusTextHoldsOneBlock) {
    flipRow(2); // with the toggle released every row flips
    const int afterOneRefresh = liveHeapBlocks();
    for (int row = 0; row < 6; ++row) {
        flipRow(row);
    }
    EXPECT_EQ(statusColumn(), (std::vector<std::string>{"auf", "auf", "zu", "auf", "auf", "auf"}));
    EXPECT_EQ(liveHeapBlocks(), afterOneRefresh);
}
