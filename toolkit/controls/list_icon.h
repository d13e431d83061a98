// The multi-column list (a list-view in report view). A field text holds one
// field per column, separated by line feeds.
#pragma once

#include "toolkit/controls/control_table.h"

inline constexpr DWORD LIST_ICON_BASE_STYLE = 0x50010041;
inline constexpr DWORD LIST_ICON_FLAG_CHECKBOXES = 0x00000001;
inline constexpr DWORD LIST_ICON_FLAG_MULTIPLE_SELECTION = 0x00000004;
inline constexpr DWORD LIST_ICON_FLAG_GRID_LINES = 0x00010000;
inline constexpr DWORD LIST_ICON_FLAG_HEADER_DRAG = 0x10000000;
inline constexpr DWORD LIST_ICON_FLAG_FULL_ROW_SELECT = 0x40000000;

extern ControlType ListIconType;

HWND createListIcon(int number, int x, int y, int width, int height, const char* title,
                    int titleWidth, DWORD flags = 0);
void addListIconColumn(int number, int position, const char* title, int width);
// Writes the line-feed separated fields into columns 1, 2, ... of `row`;
// the line feeds of `fields` become zeros.
void writeRowFields(HWND window, int row, char* fields);
