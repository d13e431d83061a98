// Controls named by small numbers. A control's number is also its child-window
// identifier. Generic operations reach each kind through its handler table;
// an empty slot gives a fixed default.
#pragma once

#include <windows.h>

struct ControlType {
    void (*destroy)(HWND window);
    int (*getState)(HWND window);
    void (*setState)(HWND window, int state);
    char* (*getText)(HWND window);
    void (*setText)(HWND window, char* text);
    int (*addItem)(HWND window, int position, const char* text);
    int (*addImageItem)(HWND window, int position, const char* text, HANDLE image);
    void (*removeItem)(HWND window, int item);
    void (*clearItems)(HWND window);
    void* reserved;
    int (*countItems)(HWND window);
    int (*getItemState)(HWND window, int item);
    void (*setItemState)(HWND window, int item, int state);
    char* (*getItemText)(HWND window, int item, int column);
    void (*setItemText)(HWND window, int item, const char* text, int column);
};

struct ControlRecord {
    HWND window;             // 0: no live control under this number
    const ControlType* type; // null for a number never created
};

struct ControlTable {
    int capacity;
    ControlRecord* records; // capacity + 2 records
    HWND currentControlParent;
    HFONT defaultControlFont;
    ControlRecord nullControlRecord; // stands for every number at or above capacity
};

extern ControlTable controlTable;

inline constexpr int INITIAL_CONTROL_CAPACITY = 30;
inline constexpr int CONTROL_TABLE_STEP = 30;

void initControls();
HWND useControlParent(HWND window);
HWND createControl(int number, const char* className, DWORD style, DWORD exStyle, int x, int y,
                   int width, int height, const char* text, const ControlType* type);
ControlRecord* lookupControl(int number);
void growControlTable(int number);

int controlAddItem(int number, int position, const char* text);
void controlSetItemText(int number, int item, const char* text, int column);
int controlGetState(int number);
void controlSetState(int number, int state);
void controlDisable(int number, int state);
void controlFree(int number);
// Text results are written into the scratch string at its position; the
// position then rests on the text's terminator and the text's start is
// returned. A text never runs past the area's end: what does not fit is cut.
char* controlGetText(int number);
char* controlGetItemText(int number, int item, int column);

// Helpers for the kinds' text results, following the same protocol.
char* emptyTextResult();
// `length` bytes have been written at `start`, the position on entry.
char* commitTextResult(char* start, int length);
// A text the platform gave in UTF-16 (its first `units` units), written at the
// position in Windows-1252 and cut to `limit` bytes, terminator included.
char* wideTextResult(const WCHAR* wide, int units, int limit);

// Numbers the table can hold: 0 to 65535, the numbers that fit the child
// identifier's word in a control's notifications.
bool controlNumberFits(int number);
