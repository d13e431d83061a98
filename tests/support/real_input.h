// Real mouse and key input through the system's input queue, as a user gives
// it, for the suites that run in the process whose windows they drive.
//
// Every wait here ends on something observed, never on elapsed time: a marker
// key release sent behind the input (the queue gives input back in the order
// it was given, so once the marker is taken, so is everything before it), the
// window in front, the cursor's own move taken from the queue. The deadline
// of each wait only bounds a hang.
#pragma once

#include <windows.h>

#include <functional>

// Takes one message from the queue the suite's own way: through the event
// wait, a pass of the program's loop, or a plain dispatch.
using TakeMessage = std::function<void()>;
// False ends a wait early: the window it waits on has gone.
using StillOpen = std::function<bool()>;

// Takes messages until all input given so far, and what it caused, has been
// taken; then whatever else is waiting already. False when the window closed
// first, and at the bound or when no marker can follow the input (a failure).
bool takeGivenInput(const TakeMessage& take, const StillOpen& open = {});
// Whether the message just taken, which gave `result`, was the marker: no
// test's business, so it is left out of what the test sees.
bool isMarker(int result);

// Makes `top` the foreground window and waits until `point` lies on `expected`
// or one of its descendants (a disabled control leaves the point to its parent).
// False, a failure, at the bound.
bool bringToFront(HWND top, POINT point, HWND expected, const TakeMessage& take);

// An absolute move of the cursor, and the same that waits until the move has
// arrived: taken from the queue and reported by GetCursorPos (false, a
// failure, when it does not).
void moveCursorTo(POINT screen);
bool placeCursorAt(POINT screen, const TakeMessage& take);

enum class Click { Left, Right, LeftDouble };
// Ready for a click on `point`: `top` in front with the point on it (or one of
// its descendants), the cursor there; takes what that causes. False, a
// failure, when it could not be readied: the click is then not to be given.
bool readyToClick(POINT point, HWND top, Click kind, const TakeMessage& take);
// The presses and releases of a click, each carrying the point so that a late
// move of the X pointer cannot carry them off; takes what they cause. A press
// that provably reached no window (the marker behind it taken, no press seen)
// is given once more and counted. Any press that reached a window other than
// `expected` itself, or fewer presses than given, fails the test.
void pressAt(POINT point, HWND expected, Click kind, const TakeMessage& take,
             const StillOpen& open = {});
// Both, taking everything the same way; no press when not ready.
void clickOn(POINT point, HWND top, HWND expected, Click kind, const TakeMessage& take,
             const StillOpen& open = {});

void sendKey(WORD key, bool down);
