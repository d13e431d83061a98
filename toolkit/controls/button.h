// Push buttons, and with BS_PUSHLIKE | BS_AUTOCHECKBOX a button that stays
// pressed or released between clicks.
#pragma once

#include "toolkit/controls/control_table.h"

inline constexpr DWORD BUTTON_STYLE = 0x50030000; // child, visible, group, tab stop
inline constexpr DWORD BUTTON_TOGGLE_FLAGS = BS_PUSHLIKE | BS_AUTOCHECKBOX;

extern ControlType ButtonType;

HWND createButton(int number, int x, int y, int width, int height, const char* text);
HWND createButtonEx(int number, int x, int y, int width, int height, const char* text, DWORD flags);
