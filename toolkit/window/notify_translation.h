// Turns the notifications of controls (WM_NOTIFY and WM_COMMAND) into events.
#pragma once

#include <windows.h>

#include <commctrl.h>

// A control whose identifier is this reports its commands as menu commands.
inline constexpr LONG MENU_COMMAND_CONTROL_ID = -10000;

LRESULT translateNotify(const NMHDR* header);
LRESULT translateCommand(WPARAM wParam, LPARAM lParam);
