// Top-level windows named by small numbers. Each number has a window class of
// its own ("WindowClass_N") and two keyboard accelerators for Tab navigation.
#pragma once

#include <windows.h>

struct WindowRecord {
    HWND window; // 0: no window open under this number
    int acceleratorCount;
    ACCEL* acceleratorEntries;
    HACCEL acceleratorTable;
};

struct WindowTable {
    int capacity;          // numbers 0 .. capacity - 1
    WindowRecord* records; // capacity + 2 records, the last two always zero
};

extern WindowTable windowTable;
// The window opened last with success; closing it does not change this.
extern HWND currentWindow;

inline constexpr int INITIAL_WINDOW_CAPACITY = 10;
inline constexpr WORD CMD_FOCUS_NEXT = 1212;
inline constexpr WORD CMD_FOCUS_PREVIOUS = 1213;
// Set by the caller, this bit asks for a hidden window (it is inverted).
inline constexpr DWORD WINDOW_FLAG_HIDDEN = WS_VISIBLE;

void initWindows();
HWND openWindow(int number, int x, int y, int width, int height, DWORD flags, const char* title);
HWND currentWindowHandle();
void resizeWindow(int width, int height);
void closeWindow(int number);
void closeAllWindows();
HACCEL findWindowAccelerators(HWND window);
