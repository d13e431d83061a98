#include "tests/controls/controls_fixture.h"

#include "toolkit/controls/button.h"

namespace {

using ButtonTest = ControlsTest;

DWORD styleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

TEST_F(ButtonTest, PushButtonAndToggleCarryTheirStyles) {
    HWND push = createButton(2, 10, 10, 80, 25, "Zufall");
    HWND toggle = createButtonEx(1, 10, 40, 80, 25, "System an", BUTTON_TOGGLE_FLAGS);
    ASSERT_NE(push, nullptr);
    ASSERT_NE(toggle, nullptr);
    // Child, visible, group, tab stop; the toggle a push-like automatic check box.
    EXPECT_EQ(styleOf(push), 0x50030000u);
    EXPECT_EQ(styleOf(toggle), 0x50031003u);
    EXPECT_EQ(GetWindowLongA(push, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, 0);
    EXPECT_STRCASEEQ(className1252(push).c_str(), "Button");
    EXPECT_EQ(windowText1252(toggle), "System an");
}

TEST_F(ButtonTest, TheToggleFlipsOnEveryClick) {
    HWND toggle = createButtonEx(1, 20, 20, 100, 30, "System an", BUTTON_TOGGLE_FLAGS);
    EXPECT_EQ(controlGetState(1), 0);
    clickWindow(toggle);
    ASSERT_EQ(parentLog.commands, 1) << "the click did not reach the button";
    EXPECT_EQ(parentLog.lastCommandId, 1);
    EXPECT_EQ(controlGetState(1), 1);
    clickWindow(toggle);
    EXPECT_EQ(controlGetState(1), 0);
}

TEST_F(ButtonTest, ADisabledToggleIgnoresClicksAndKeepsItsState) {
    HWND toggle = createButtonEx(1, 20, 20, 100, 30, "System an", BUTTON_TOGGLE_FLAGS);
    controlSetState(1, 1);
    controlDisable(1, 1);
    EXPECT_EQ(controlGetState(1), 1);
    EXPECT_FALSE(IsWindowEnabled(toggle));
    clickWindow(toggle);
    EXPECT_EQ(parentLog.commands, 0);
    EXPECT_EQ(controlGetState(1), 1);
    controlDisable(1, 0);
    EXPECT_EQ(controlGetState(1), 1);
    // The same click on the enabled toggle does get through.
    clickWindow(toggle);
    EXPECT_EQ(parentLog.commands, 1);
    EXPECT_EQ(controlGetState(1), 0);
}

TEST_F(ButtonTest, SetStateWorksWhileDisabled) {
    createButtonEx(1, 20, 20, 100, 30, "System an", BUTTON_TOGGLE_FLAGS);
    controlDisable(1, 1);
    controlSetState(1, 1);
    EXPECT_EQ(controlGetState(1), 1);
    controlSetState(1, 0);
    EXPECT_EQ(controlGetState(1), 0);
}

TEST_F(ButtonTest, APushButtonReadsReleasedWhetherOrNotClicked) {
    HWND push = createButton(3, 20, 20, 100, 30, "Alles Auf");
    EXPECT_EQ(controlGetState(3), 0);
    clickWindow(push);
    EXPECT_EQ(parentLog.commands, 1);
    EXPECT_EQ(parentLog.lastCommandId, 3);
    EXPECT_EQ(controlGetState(3), 0);
    controlSetState(3, 1);
    EXPECT_EQ(controlGetState(3), 0);
}

TEST_F(ButtonTest, ItemOperationsDoNothingOnAButton) {
    HWND push = createButton(3, 20, 20, 100, 30, "Alles Zu");
    EXPECT_EQ(controlAddItem(3, -1, "line"), 0);
    controlSetItemText(3, 0, "zu", 1);
    EXPECT_EQ(windowText1252(push), "Alles Zu");
    // Without a getText handler the caption is the text.
    EXPECT_STREQ(controlGetText(3), "Alles Zu");
    EXPECT_STREQ(controlGetItemText(3, 0, 0), "");
}

} // namespace
