// Mouse input through the system's input queue, as a user gives it.
#pragma once

#include <windows.h>

// A press or a release (MOUSEEVENTF_LEFTDOWN, ...) where the cursor is.
void sendMouseButton(DWORD flags);
// An absolute move to a point on the screen.
void moveMouseTo(POINT point);
