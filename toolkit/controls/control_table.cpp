#include "toolkit/controls/control_table.h"

#include "runtime/heap.h"
#include "runtime/scratch_string.h"
#include "runtime/wide_text.h"
#include "toolkit/controls/button.h"
#include "toolkit/controls/list_box.h"
#include "toolkit/controls/list_icon.h"
#include "toolkit/controls/list_icon_images.h"

#include <commctrl.h>

ControlTable controlTable;

namespace {

// Two records beyond the capacity are kept, zero, and never addressed.
constexpr int SPARE_RECORDS = 2;

// The window text a control without its own getText handler gives, terminator included.
constexpr int WINDOW_TEXT_LIMIT = 5000;

// Stands in for the handler table of a record that has none: every slot empty.
const ControlType noHandlers = {};

// A control's number comes back as the low word of WM_COMMAND's wParam, so a
// higher one could never report its own event.
constexpr int LARGEST_CONTROL_NUMBER = 65535;
// The table grown for the largest number must be sized without overflow, by a
// 32-bit compiler as by a 64-bit one.
static_assert(static_cast<unsigned long long>(LARGEST_CONTROL_NUMBER + CONTROL_TABLE_STEP +
                                              SPARE_RECORDS) *
                  sizeof(ControlRecord) <=
              0x7FFFFFFF);

SIZE_T recordStorageSize(int capacity) {
    return static_cast<SIZE_T>(capacity + SPARE_RECORDS) * sizeof(ControlRecord);
}

const ControlType& handlersOf(const ControlRecord* record) {
    return record->type ? *record->type : noHandlers;
}

// A number without a live control is answered without asking any handler:
// the handlers would only address no window, and some of them (focus moves)
// would still have effects on the rest of the program's windows.
ControlRecord* liveControl(int number) {
    ControlRecord* record = lookupControl(number);
    return record->window ? record : nullptr;
}

} // namespace

bool controlNumberFits(int number) {
    return number >= 0 && number <= LARGEST_CONTROL_NUMBER;
}

void initControls() {
    controlTable = ControlTable{};
    ButtonType = ControlType{};
    ListBoxType = ControlType{};
    ListIconType = ControlType{};
    forgetListIconImages();

    controlTable.capacity = INITIAL_CONTROL_CAPACITY;
    controlTable.records =
        static_cast<ControlRecord*>(heapAllocZeroed(recordStorageSize(controlTable.capacity)));
    controlTable.defaultControlFont = static_cast<HFONT>(GetStockObject(ANSI_VAR_FONT));
    InitCommonControls();
}

HWND useControlParent(HWND window) {
    controlTable.currentControlParent = window;
    return window;
}

ControlRecord* lookupControl(int number) {
    if (!controlNumberFits(number) || number >= controlTable.capacity) {
        return &controlTable.nullControlRecord;
    }
    return &controlTable.records[number];
}

void growControlTable(int number) {
    if (number < controlTable.capacity || !controlNumberFits(number)) {
        return;
    }
    controlTable.capacity = number + CONTROL_TABLE_STEP;
    controlTable.records = static_cast<ControlRecord*>(
        heapReallocZeroed(controlTable.records, recordStorageSize(controlTable.capacity)));
}

HWND createControl(int number, const char* className, DWORD style, DWORD exStyle, int x, int y,
                   int width, int height, const char* text, const ControlType* type) {
    // A window under a number the table cannot hold could never be reached again.
    if (!controlNumberFits(number)) {
        return nullptr;
    }
    growControlTable(number);
    WideText wideClass(className);
    WideText wideCaption(text);
    HWND window = CreateWindowExW(exStyle, wideClass.text, wideCaption.text, style, x, y, width,
                                  height, controlTable.currentControlParent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)),
                                  instanceHandle, nullptr);
    // An earlier window under this number stays in its parent, unreachable.
    ControlRecord* record = &controlTable.records[number];
    record->window = window;
    record->type = type;
    if (window) {
        SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(controlTable.defaultControlFont),
                     TRUE);
    }
    return window;
}

int controlAddItem(int number, int position, const char* text) {
    ControlRecord* record = liveControl(number);
    if (!record || !handlersOf(record).addItem) {
        return 0;
    }
    return handlersOf(record).addItem(record->window, position, text ? text : "");
}

void controlSetItemText(int number, int item, const char* text, int column) {
    ControlRecord* record = liveControl(number);
    if (record && handlersOf(record).setItemText) {
        handlersOf(record).setItemText(record->window, item, text, column);
    }
}

int controlGetState(int number) {
    ControlRecord* record = liveControl(number);
    if (!record || !handlersOf(record).getState) {
        return 0;
    }
    return handlersOf(record).getState(record->window);
}

void controlSetState(int number, int state) {
    ControlRecord* record = liveControl(number);
    if (record && handlersOf(record).setState) {
        handlersOf(record).setState(record->window, state);
    }
}

void controlDisable(int number, int state) {
    ControlRecord* record = liveControl(number);
    if (record) {
        EnableWindow(record->window, state == 0);
    }
}

void controlFree(int number) {
    ControlRecord* record = lookupControl(number);
    HWND window = record->window;
    if (!window) {
        return;
    }
    // The record lets go first, so that nothing reached while the window is
    // being destroyed finds it under the number any more.
    record->window = nullptr;
    if (handlersOf(record).destroy) {
        handlersOf(record).destroy(window);
    } else {
        DestroyWindow(window);
    }
}

char* controlGetText(int number) {
    ControlRecord* record = liveControl(number);
    if (!record) {
        return emptyTextResult();
    }
    if (handlersOf(record).getText) {
        return handlersOf(record).getText(record->window);
    }
    int limit = scratchRoom() < WINDOW_TEXT_LIMIT ? scratchRoom() : WINDOW_TEXT_LIMIT;
    WideText text;
    int units = GetWindowTextW(record->window, text.reserve(limit), limit);
    return wideTextResult(text.text, units, limit);
}

char* controlGetItemText(int number, int item, int column) {
    ControlRecord* record = liveControl(number);
    if (!record || !handlersOf(record).getItemText) {
        return emptyTextResult();
    }
    return handlersOf(record).getItemText(record->window, item, column);
}

char* emptyTextResult() {
    char* start = ScratchString.position;
    *start = '\0';
    return start;
}

char* wideTextResult(const WCHAR* wide, int units, int limit) {
    char* start = ScratchString.position;
    int room = scratchRoom() < limit ? scratchRoom() : limit;
    return commitTextResult(start, narrowToWindows1252(wide, units, start, room));
}

char* commitTextResult(char* start, int length) {
    ScratchString.position = start;
    scratchCommit(length);
    return start;
}
