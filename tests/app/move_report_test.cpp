#include "tests/app/app_fixture.h"

#include "app/main_window.h"
#include "app/move_report.h"
#include "core/bolt_bank.h"
#include "toolkit/window/event_wait.h"

namespace {

const std::string SEPARATOR(27, '-');
int childWindowCount() {
    int children = 0;
    for (HWND child = GetWindow(mainWindow(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        ++children;
    }
    return children;
}

const char* const BACK_TEXT = "<<< Zur\xFC"
                              "ck <<<";

} // namespace

using MoveReport = AppTest;

TEST_F(MoveReport, OpenAllFromClosedWidensTheWindowAndListsTheMoves) {
    RECT before;
    GetWindowRect(mainWindow(), &before);
    EXPECT_EQ(postButtonClick(CTL_OPEN_ALL), EVENT_CONTROL);
    runPendingPasses();

    SIZE client = clientSize(mainWindow());
    EXPECT_EQ(client.cx, 260);
    EXPECT_EQ(client.cy, 400);
    RECT after;
    GetWindowRect(mainWindow(), &after);
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);

    std::vector<std::string> lines = reportLines();
    ASSERT_EQ(lines.size(), 24u);
    EXPECT_EQ(lines[0], "22 Bewegungen:");
    EXPECT_EQ(lines[1], SEPARATOR);
    const int opening[] = {6, 1, 2, 1, 3, 1, 2, 1, 4, 1, 2, 1, 3, 1, 2, 1, 5, 1, 2, 1, 3, 1};
    for (int move = 0; move < 22; ++move) {
        EXPECT_EQ(lines[move + 2], "Riegel " + std::to_string(opening[move])) << move;
    }
    // The plan leaves the bolts as they were.
    EXPECT_EQ(statusColumn(), std::vector<std::string>(6, "zu"));
}

TEST_F(MoveReport, ReportControlsHaveTheirPlaceAndTheCommandsAreLocked) {
    postButtonClick(CTL_OPEN_ALL);
    runPendingPasses();
    HWND list = controlWindow(CTL_MOVE_LIST);
    HWND back = controlWindow(CTL_BACK);
    ASSERT_NE(list, nullptr);
    ASSERT_NE(back, nullptr);
    EXPECT_STRCASEEQ(classNameOf(list).c_str(), "ListBox");
    RECT rect = clientRectOf(list);
    EXPECT_EQ(rect.left, 140);
    EXPECT_EQ(rect.top, 5);
    EXPECT_EQ(rect.right - rect.left, 115);
    EXPECT_EQ(rect.bottom - rect.top, 361);
    rect = clientRectOf(back);
    EXPECT_EQ(rect.left, 140);
    EXPECT_EQ(rect.top, 371);
    EXPECT_EQ(rect.right - rect.left, 115);
    EXPECT_EQ(rect.bottom - rect.top, 24);
    EXPECT_EQ(windowText(back), BACK_TEXT);
    EXPECT_TRUE(IsWindowEnabled(back));

    EXPECT_TRUE(togglePressed());
    for (int number = CTL_SYSTEM_TOGGLE; number <= CTL_CLOSE_ALL; ++number) {
        EXPECT_FALSE(IsWindowEnabled(controlWindow(number))) << number;
    }
    // The moves can be replayed on the bolt list.
    EXPECT_TRUE(IsWindowEnabled(controlWindow(CTL_BOLT_LIST)));
}

TEST_F(MoveReport, BackReturnsToTheNarrowFormWithTheTogglePressed) {
    postButtonClick(CTL_OPEN_ALL);
    runPendingPasses();
    clickControl(CTL_BACK);

    EXPECT_EQ(controlWindow(CTL_MOVE_LIST), nullptr);
    EXPECT_EQ(controlWindow(CTL_BACK), nullptr);
    SIZE client = clientSize(mainWindow());
    EXPECT_EQ(client.cx, 140);
    EXPECT_EQ(client.cy, 400);
    for (int number = CTL_SYSTEM_TOGGLE; number <= CTL_CLOSE_ALL; ++number) {
        EXPECT_TRUE(IsWindowEnabled(controlWindow(number))) << number;
    }
    EXPECT_TRUE(togglePressed());
    // The journal keeps the plan until the next one.
    EXPECT_EQ(listCount(&MoveJournal), 22);
}

TEST_F(MoveReport, CloseAllFromClosedHasNoMoves) {
    postButtonClick(CTL_CLOSE_ALL);
    runPendingPasses();
    EXPECT_EQ(reportLines(), (std::vector<std::string>{"0 Bewegungen:", SEPARATOR}));
}

TEST_F(MoveReport, ANewPlanShowsOnlyItsOwnMoves) {
    postButtonClick(CTL_OPEN_ALL);
    runPendingPasses();
    postButtonClick(CTL_BACK);
    runPendingPasses();
    // Bolt 1 open: closing the lock is one move.
    BoltBank[0] = BOLT_OPEN;
    postButtonClick(CTL_CLOSE_ALL);
    runPendingPasses();
    EXPECT_EQ(reportLines(), (std::vector<std::string>{"1 Bewegungen:", SEPARATOR, "Riegel 1"}));
    EXPECT_EQ(BoltBank[0], 0);
}

TEST_F(MoveReport, ReportsCanBeShownAndLeftAgainAndAgain) {
    for (int round = 0; round < 5; ++round) {
        showMoveReport();
        ASSERT_NE(controlWindow(CTL_MOVE_LIST), nullptr);
        EXPECT_EQ(reportLines(), (std::vector<std::string>{"0 Bewegungen:", SEPARATOR}));
        leaveMoveReport();
        EXPECT_EQ(controlWindow(CTL_MOVE_LIST), nullptr);
        EXPECT_EQ(controlWindow(CTL_BACK), nullptr);
    }
    runPendingPasses();
    // Only the main controls are left in the window.
    EXPECT_EQ(childWindowCount(), 5);
}

TEST_F(MoveReport, APlanCommandPostedDuringTheReportReplacesIt) {
    postButtonClick(CTL_OPEN_ALL);
    runPendingPasses();
    // The button is disabled, but a command can still arrive from outside.
    postButtonClick(CTL_CLOSE_ALL);
    runPendingPasses();
    EXPECT_EQ(reportLines(), (std::vector<std::string>{"0 Bewegungen:", SEPARATOR}));
    EXPECT_EQ(childWindowCount(), 7) << "the five main controls and one report";
    postButtonClick(CTL_BACK);
    runPendingPasses();
    EXPECT_EQ(controlWindow(CTL_MOVE_LIST), nullptr);
}
