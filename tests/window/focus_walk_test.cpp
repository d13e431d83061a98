#include "tests/window/window_fixture.h"

namespace {

// Four tab-stop buttons, in creation order, which is the platform's order of
// the window's descendants. The window is the table's last number, so that
// the wait must search the whole table for its Tab keys.
class FocusWalkTest : public WindowToolkitTest {
  protected:
    void SetUp() override {
        WindowToolkitTest::SetUp();
        window = openMainWindow(INITIAL_WINDOW_CAPACITY - 1);
        ASSERT_NE(window, nullptr);
        for (int i = 0; i < 4; ++i) {
            buttons[i] = makeTabStop(window, i + 1, 10 + 40 * i);
        }
        waitForAll();
        ASSERT_EQ(GetActiveWindow(), window);
    }

    static HWND makeTabStop(HWND parent, int id, int y) {
        return makeChild(parent, "BUTTON", id, BS_PUSHBUTTON | WS_TABSTOP, 10, y, 100, 30, "Knopf");
    }

    HWND window = nullptr;
    HWND buttons[4] = {};
};

TEST_F(FocusWalkTest, TabWalksForwardAndWrapsToTheFirst) {
    SetFocus(buttons[0]);
    for (int expected : {1, 2, 3, 0, 1}) {
        focusNextControl();
        EXPECT_EQ(GetFocus(), buttons[expected]) << expected;
    }
}

TEST_F(FocusWalkTest, ShiftTabWalksBackAndWrapsToTheLast) {
    SetFocus(buttons[1]);
    for (int expected : {0, 3, 2, 1}) {
        focusPreviousControl();
        EXPECT_EQ(GetFocus(), buttons[expected]) << expected;
    }
}

TEST_F(FocusWalkTest, DisabledAndHiddenControlsArePassedOver) {
    EnableWindow(buttons[1], FALSE);
    ShowWindow(buttons[2], SW_HIDE);
    SetFocus(buttons[0]);
    focusNextControl();
    EXPECT_EQ(GetFocus(), buttons[3]);
    focusNextControl();
    EXPECT_EQ(GetFocus(), buttons[0]);
    focusPreviousControl();
    EXPECT_EQ(GetFocus(), buttons[3]);
    focusPreviousControl();
    EXPECT_EQ(GetFocus(), buttons[0]);
}

TEST_F(FocusWalkTest, AFocusedControlWithoutTabStopStopsTabButNotShiftTab) {
    HWND plain = makeChild(window, "BUTTON", 9, BS_PUSHBUTTON, 10, 200, 100, 30, "ohne");
    SetFocus(plain);
    focusNextControl();
    EXPECT_EQ(GetFocus(), plain);
    focusPreviousControl();
    EXPECT_EQ(GetFocus(), buttons[3]);
}

TEST_F(FocusWalkTest, WithNoControlToTakeItTheFocusStaysWhereItIs) {
    HWND plain = makeChild(window, "BUTTON", 9, BS_PUSHBUTTON, 10, 200, 100, 30, "ohne");
    for (HWND button : buttons) {
        EnableWindow(button, FALSE);
    }
    SetFocus(plain);
    focusPreviousControl();
    EXPECT_EQ(GetFocus(), plain);
    focusNextControl();
    EXPECT_EQ(GetFocus(), plain);
}

TEST_F(FocusWalkTest, WithNoFocusInsideTabTakesTheFirstAndShiftTabTheLast) {
    SetFocus(window);
    focusNextControl();
    EXPECT_EQ(GetFocus(), buttons[0]);
    SetFocus(window);
    focusPreviousControl();
    EXPECT_EQ(GetFocus(), buttons[3]);
}

TEST_F(FocusWalkTest, ControlsInsideAContainerAreWalkedInPlace) {
    // Made after the four buttons: the container and what it holds come last.
    HWND container = makeChild(window, "STATIC", 20, 0, 120, 10, 100, 100);
    HWND inner = makeTabStop(container, 21, 10);
    SetFocus(buttons[3]);
    focusNextControl();
    EXPECT_EQ(GetFocus(), inner);
    focusNextControl();
    EXPECT_EQ(GetFocus(), buttons[0]);
    focusPreviousControl();
    EXPECT_EQ(GetFocus(), inner);
}

TEST_F(FocusWalkTest, RealTabKeysMoveTheFocusAndReportTheKeyMessages) {
    SetFocus(buttons[0]);
    waitForAll();
    // The pointer's last move, from the click that brought the window to the
    // front, may still come in between: only the keys are judged.
    pressKey(VK_TAB);
    EXPECT_EQ(waitForAllButMoves(), (std::vector<int>{WM_KEYDOWN, WM_KEYUP}));
    EXPECT_EQ(GetFocus(), buttons[1]);
    EXPECT_EQ(eventState.pendingEvent, 0);

    holdKey(VK_SHIFT, true);
    pressKey(VK_TAB);
    holdKey(VK_SHIFT, false);
    EXPECT_EQ(waitForAllButMoves(), (std::vector<int>{WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}));
    EXPECT_EQ(GetFocus(), buttons[0]);

    // Any other key is translated: its character follows it.
    pressKey('A');
    EXPECT_EQ(waitForAllButMoves(), (std::vector<int>{WM_KEYDOWN, WM_CHAR, WM_KEYUP}));
    EXPECT_EQ(GetFocus(), buttons[0]);
}

TEST_F(FocusWalkTest, TabIsNoCommandWhileAnotherWindowIsActive) {
    HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE | WS_CAPTION, 600, 100,
                                 200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND otherButton = makeTabStop(other, 1, 10);
    HWND otherSecond = makeTabStop(other, 2, 50);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    SetFocus(otherButton);
    waitForAll();
    ASSERT_EQ(GetActiveWindow(), other);
    pressKey(VK_TAB);
    // A plain key there: its character may come between.
    std::vector<int> keys = waitForAllButMoves();
    std::erase(keys, WM_CHAR);
    EXPECT_EQ(keys, (std::vector<int>{WM_KEYDOWN, WM_KEYUP}));
    EXPECT_EQ(GetFocus(), otherButton);
    EXPECT_NE(GetFocus(), otherSecond);
    DestroyWindow(other);
}

} // namespace
