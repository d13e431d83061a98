// Real clicks and keys on the X display through xdotool, for the suites that
// drive the program from outside it. A click moves the pointer first and
// presses only once the side that reads the program's windows sees the window
// in front, the point on it and the cursor arrived; the wait for that only
// bounds a hang.
#pragma once

#include <functional>
#include <optional>
#include <string>

// How the program's side sees a screen point now.
struct PointerView {
    bool front = false;    // the window is the foreground window
    bool onWindow = false; // the point lies on the window or one of its controls
    int cursorX = -1;
    int cursorY = -1;
};
// nullopt when the program's side cannot tell (no window).
using LookAtPointer = std::function<std::optional<PointerView>(int x, int y)>;

// False when xdotool failed or the point never became ready.
bool clickOnDisplay(int x, int y, const LookAtPointer& look);
// Only the move, done once the program's side sees the cursor there.
bool moveOnDisplay(int x, int y, const LookAtPointer& look);
bool pressKeyOnDisplay(const std::string& key);
