// The program's one window, "Velmorin": the bolt list and the command buttons.
#pragma once

inline constexpr int MAIN_WINDOW = 0;

inline constexpr int CTL_BOLT_LIST = 0;
inline constexpr int CTL_SYSTEM_TOGGLE = 1;
inline constexpr int CTL_RANDOM = 2;
inline constexpr int CTL_OPEN_ALL = 3;
inline constexpr int CTL_CLOSE_ALL = 4;
inline constexpr int CTL_MOVE_LIST = 10;
inline constexpr int CTL_BACK = 11;

inline constexpr int NARROW_CLIENT_WIDTH = 140;
inline constexpr int WIDE_CLIENT_WIDTH = 260;
inline constexpr int CLIENT_HEIGHT = 400;

struct MainLayout {
    int buttonHeight;
    int controlWidth;
    int listHeight;
    int firstColumnWidth;
    int secondColumnWidth;
    int windowX;
    int windowY;
};
extern MainLayout mainLayout;
// 1 once window 0 has been opened by the start-up; without it the program has
// nothing to show and ends.
extern int mainWindowOpen;

// Exit code of a program that could not open its window.
inline constexpr unsigned EXIT_CODE_NO_WINDOW = 2;

void clearApplicationState();
void applicationStartup();
