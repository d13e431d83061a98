// The event wait: one message taken from the queue per call, translated by the
// shared window procedure into the program's own event codes.
#pragma once

#include "toolkit/window/event_state.h"
#include "toolkit/window/focus_walk.h"

#include <windows.h>

// Private messages: a click to relay (posted on as CLICK_RELAY_MESSAGE), the
// relayed click, and the relayed size change.
inline constexpr UINT CLICK_FORWARD_MESSAGE = 12501;
inline constexpr UINT CLICK_RELAY_MESSAGE = 12502;
inline constexpr UINT SIZE_RELAY_MESSAGE = 12504;

int waitEvent();
int eventSource();
LRESULT CALLBACK toolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
