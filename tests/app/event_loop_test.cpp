#include "tests/app/app_fixture.h"

#include "app/event_loop.h"
#include "app/main_window.h"
#include "core/bolt_bank.h"
#include "runtime/random.h"
#include "toolkit/window/event_wait.h"
#include "toolkit/window/window_table.h"

#include <algorithm>

namespace {

std::vector<std::string> expectedStatus(const char* first, const char* rest = "zu") {
    std::vector<std::string> status(BOLT_COUNT, rest);
    status[0] = first;
    return status;
}

bool contains(const std::vector<int>& events, int event) {
    return std::find(events.begin(), events.end(), event) != events.end();
}

void pressToggle() {
    clickControl(CTL_SYSTEM_TOGGLE);
    ASSERT_TRUE(togglePressed());
}

} // namespace

using EventLoop = AppTest;

TEST_F(EventLoop, WithTheToggleReleasedAnyRowFlips) {
    std::vector<int> events = clickRow(2);
    EXPECT_TRUE(contains(events, EVENT_CONTROL));
    EXPECT_EQ(BoltBank[2], 0);
    EXPECT_EQ(statusColumn(), (std::vector<std::string>{"zu", "zu", "auf", "zu", "zu", "zu"}));
    // The marks are gone again, so nothing more happens until the next click.
    EXPECT_EQ(focusedRow(), -1);
    EXPECT_EQ(selectedRowCount(), 0);
    EXPECT_EQ(selectedRow, -1);

    clickRow(2);
    EXPECT_EQ(BoltBank[2], 1);
    EXPECT_EQ(statusColumn(), std::vector<std::string>(BOLT_COUNT, "zu"));
    // A flip by hand is no planned move.
    EXPECT_EQ(listCount(&MoveJournal), 0);
}

TEST_F(EventLoop, WithTheTogglePressedTheRuleDecides) {
    pressToggle();
    // Bolt 3 needs bolt 2 open: refused, and no row is left marked.
    clickRow(2);
    EXPECT_EQ(statusColumn(), std::vector<std::string>(BOLT_COUNT, "zu"));
    EXPECT_EQ(focusedRow(), -1);
    EXPECT_EQ(selectedRowCount(), 0);

    clickRow(0);
    EXPECT_EQ(statusColumn(), expectedStatus("auf"));
    // Bolt 1 is open now and nothing lies below it, so bolt 2 may move.
    clickRow(1);
    EXPECT_EQ(statusColumn(), (std::vector<std::string>{"auf", "auf", "zu", "zu", "zu", "zu"}));
    // Bolt 3 still needs bolt 2 open with bolt 1 closed.
    clickRow(2);
    EXPECT_EQ(BoltBank[2], 1);
    EXPECT_EQ(focusedRow(), -1);
}

TEST_F(EventLoop, ReleasingTheToggleFreesTheRowsAgain) {
    pressToggle();
    clickRow(4);
    EXPECT_EQ(BoltBank[4], 1);
    clickControl(CTL_SYSTEM_TOGGLE);
    ASSERT_FALSE(togglePressed());
    clickRow(4);
    EXPECT_EQ(BoltBank[4], 0);
    EXPECT_EQ(rowText(4, 1), "auf");
}

TEST_F(EventLoop, RowsFlipUnderTheRuleWhileTheReportIsShown) {
    postButtonClick(CTL_OPEN_ALL);
    runPendingPasses();
    // The report's first move is bolt 6, which all closed bolts below allow.
    clickRow(5);
    EXPECT_EQ(rowText(5, 1), "auf");
    clickRow(3);
    EXPECT_EQ(rowText(3, 1), "zu");
    EXPECT_EQ(reportLines().size(), 24u);
}

// After seeding with 1, six draws of 0 or 1 give 1, 0, 1, 1, 0, 0.
TEST_F(EventLoop, RandomDrawsOneValuePerBoltInIndexOrder) {
    rngSeed(1);
    selectedRow = -1;
    EXPECT_EQ(postButtonClick(CTL_RANDOM), EVENT_CONTROL);
    EXPECT_EQ(std::vector<signed char>(BoltBank, BoltBank + 6),
              (std::vector<signed char>{1, 0, 1, 1, 0, 0}));
    EXPECT_EQ(statusColumn(), (std::vector<std::string>{"zu", "auf", "zu", "zu", "auf", "auf"}));
}

// The pass that draws does not read the bolt list, so it flips the row the
// pass before it read, after the draws (1, 1, 1, 0, 0, 1 after seeding with 0).
TEST_F(EventLoop, RandomAlsoFlipsTheRowLeftFromThePassBefore) {
    rngSeed(0);
    selectedRow = 0;
    EXPECT_EQ(postButtonClick(CTL_RANDOM), EVENT_CONTROL);
    EXPECT_EQ(std::vector<signed char>(BoltBank, BoltBank + 6),
              (std::vector<signed char>{0, 1, 1, 0, 0, 1}));
    EXPECT_EQ(rowText(0, 1), "auf");
}

TEST_F(EventLoop, RandomLeavesOnlyClosedOrOpen) {
    bool sawOpen = false;
    bool sawClosed = false;
    for (int round = 0; round < 20; ++round) {
        postButtonClick(CTL_RANDOM);
        runPendingPasses();
        std::vector<std::string> status = statusColumn();
        ASSERT_EQ(status.size(), static_cast<size_t>(BOLT_COUNT));
        for (int i = 0; i < BOLT_COUNT; ++i) {
            ASSERT_TRUE(status[i] == "zu" || status[i] == "auf") << status[i];
            ASSERT_TRUE(BoltBank[i] == 0 || BoltBank[i] == 1);
            EXPECT_EQ(status[i], BoltBank[i] == 0 ? "auf" : "zu");
            sawOpen |= BoltBank[i] == 0;
            sawClosed |= BoltBank[i] == 1;
        }
    }
    EXPECT_TRUE(sawOpen);
    EXPECT_TRUE(sawClosed);
}

TEST_F(EventLoop, RandomByARealClickRewritesTheStatusColumn) {
    // Twenty presses leave all six closed only with a chance of 2^-120.
    bool changed = false;
    // A click that fails fails every round: one is enough to say so.
    for (int round = 0; round < 20 && !changed && !HasFailure(); ++round) {
        clickControl(CTL_RANDOM);
        changed = statusColumn() != std::vector<std::string>(BOLT_COUNT, "zu");
    }
    EXPECT_TRUE(changed);
    for (int i = 0; i < BOLT_COUNT; ++i) {
        EXPECT_EQ(rowText(i, 1), BoltBank[i] == 0 ? "auf" : "zu");
    }
}

TEST_F(EventLoop, ThePlanCommandsLeaveTheRowsAsTheyWere) {
    BoltBank[0] = BOLT_OPEN;
    refreshBoltList();
    clickControl(CTL_CLOSE_ALL);
    EXPECT_EQ(statusColumn(), expectedStatus("auf"));
    EXPECT_EQ(BoltBank[0], 0);
    EXPECT_EQ(listCount(&MoveJournal), 1);
    EXPECT_NE(controlWindow(CTL_MOVE_LIST), nullptr);
}

TEST_F(EventLoop, OtherMessagesOnlyDriveTheSelectionCheck) {
    PostMessageA(mainWindow(), WM_NULL, 0, 0);
    EXPECT_EQ(runEventPass(), WM_NULL);
    EXPECT_EQ(forceRefresh, 0);
    EXPECT_EQ(selectedRow, -1);
    EXPECT_EQ(statusColumn(), std::vector<std::string>(BOLT_COUNT, "zu"));
}

TEST_F(EventLoop, APassWithNoRowMarkedLeavesTheStatusColumnAlone) {
    ASSERT_FALSE(togglePressed());
    // Changed behind the list's back: only a rewrite would show it.
    BoltBank[0] = BOLT_OPEN;
    PostMessageA(mainWindow(), WM_NULL, 0, 0);
    EXPECT_EQ(runEventPass(), WM_NULL);
    EXPECT_EQ(rowText(0, 1), "zu");
}

TEST_F(EventLoop, CloseEndsThePassWithTheWindowClosed) {
    HWND window = mainWindow();
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(runEventPass(), EVENT_CLOSE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(windowTable.records[MAIN_WINDOW].window, nullptr);
}

TEST_F(EventLoop, CloseBoxEndsThePassWithTheWindowClosed) {
    HWND window = mainWindow();
    RECT outer;
    GetWindowRect(window, &outer);
    // The close box sits at the right end of the caption.
    POINT close = {outer.right - GetSystemMetrics(SM_CXFRAME) - GetSystemMetrics(SM_CXSIZE) / 2,
                   outer.top + GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION) / 2};
    ASSERT_EQ(SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(close.x, close.y)), HTCLOSE);
    // The caption's button tracking takes the press and the release itself.
    std::vector<int> events = clickAtScreen(close, window);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back(), EVENT_CLOSE);
    EXPECT_FALSE(IsWindow(window));
}
