// A single-column list of lines with a sunken border and scroll bars.
#pragma once

#include "toolkit/controls/control_table.h"

inline constexpr DWORD LIST_BOX_STYLE = 0x50330141;
inline constexpr DWORD LIST_BOX_EX_STYLE = WS_EX_CLIENTEDGE;

extern ControlType ListBoxType;

HWND createListBox(int number, int x, int y, int width, int height);
