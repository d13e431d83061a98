// Tab and Shift+Tab: the keyboard focus walks the active window's enabled,
// visible tab-stop controls in the platform's order of its descendants.
#pragma once

#include <windows.h>

// Enabled, visible and a tab stop: the only controls the walks give the focus.
bool isTabStopEligible(HWND window);
// The two navigation commands, run by the window procedure.
void focusNextControl();
void focusPreviousControl();
