#include "toolkit/window/focus_walk.h"

namespace {

struct NextWalk {
    HWND start; // the focused control, or 0 when the focus is outside the window
    bool found; // the start control has been passed
};

struct PreviousWalk {
    HWND start;
    HWND last; // the last eligible control seen
    bool done;
};

// The walk's start: the focused control, if it lies inside the active window.
HWND focusInside(HWND active) {
    HWND focus = GetFocus();
    return IsChild(active, focus) ? focus : nullptr;
}

BOOL CALLBACK stepNext(HWND window, LPARAM state) {
    NextWalk& walk = *reinterpret_cast<NextWalk*>(state);
    if (!isTabStopEligible(window)) {
        return TRUE;
    }
    if (walk.found || !walk.start) {
        walk.found = false;
        SetFocus(window);
        return FALSE;
    }
    if (window == walk.start) {
        walk.found = true;
    }
    return TRUE;
}

BOOL CALLBACK stepPrevious(HWND window, LPARAM state) {
    PreviousWalk& walk = *reinterpret_cast<PreviousWalk*>(state);
    if (!isTabStopEligible(window)) {
        return TRUE;
    }
    if (window == walk.start && walk.last) {
        walk.done = true;
        SetFocus(walk.last);
        return FALSE;
    }
    walk.last = window;
    return TRUE;
}

} // namespace

bool isTabStopEligible(HWND window) {
    return IsWindowEnabled(window) && IsWindowVisible(window) &&
           (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP);
}

// A focused control that is no tab stop is never passed, so Tab then moves
// nothing.
void focusNextControl() {
    // Without an active window the walk would run over the top-level windows.
    HWND active = GetActiveWindow();
    if (!active) {
        return;
    }
    NextWalk walk = {focusInside(active), false};
    EnumChildWindows(active, stepNext, reinterpret_cast<LPARAM>(&walk));
    if (walk.found) {
        // The start was the last eligible control: wrap to the first.
        EnumChildWindows(active, stepNext, reinterpret_cast<LPARAM>(&walk));
    }
}

// The start being first, no focus inside, or a focused control that is no tab
// stop all end on the last eligible control.
void focusPreviousControl() {
    HWND active = GetActiveWindow();
    if (!active) {
        return;
    }
    PreviousWalk walk = {focusInside(active), nullptr, false};
    EnumChildWindows(active, stepPrevious, reinterpret_cast<LPARAM>(&walk));
    if (!walk.done && walk.last) {
        SetFocus(walk.last);
    }
}
