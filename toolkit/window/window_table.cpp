#include "toolkit/window/window_table.h"

#include "runtime/heap.h"
#include "runtime/platform.h"
#include "runtime/wide_text.h"
#include "toolkit/window/event_wait.h"

WindowTable windowTable;
HWND currentWindow;

namespace {

constexpr int WINDOW_TABLE_STEP = 10;
// Room past the last addressable number; these records are never used.
constexpr int SPARE_WINDOW_RECORDS = 2;
constexpr int CLASS_NAME_SIZE = 50;
constexpr int NAVIGATION_ACCELERATOR_COUNT = 2;
constexpr int PROGRAM_ICON_RESOURCE = 1;
// Window numbers share the 16-bit range of control numbers; a higher one is
// refused like a negative one, before the table grows for it.
constexpr int HIGHEST_WINDOW_NUMBER = 65535;
// The table grown for the highest number must be sized without overflow, by a
// 32-bit compiler as by a 64-bit one.
static_assert(static_cast<unsigned long long>(HIGHEST_WINDOW_NUMBER + WINDOW_TABLE_STEP +
                                              SPARE_WINDOW_RECORDS) *
                  sizeof(WindowRecord) <=
              0x7FFFFFFF);

// The windows are Unicode windows, so that their titles and the texts of
// their controls hold the program's characters under any system code page.
WNDCLASSW windowClass;
char classNameBuffer[CLASS_NAME_SIZE];
WCHAR wideClassName[CLASS_NAME_SIZE];
HBRUSH backgroundBrush;

const ACCEL navigationAccelerators[NAVIGATION_ACCELERATOR_COUNT] = {
    {FVIRTKEY | FNOINVERT, VK_TAB, CMD_FOCUS_NEXT},
    {FVIRTKEY | FNOINVERT | FSHIFT, VK_TAB, CMD_FOCUS_PREVIOUS},
};

SIZE_T recordBytes(int capacity) {
    return static_cast<SIZE_T>(capacity + SPARE_WINDOW_RECORDS) * sizeof(WindowRecord);
}

bool numberFits(int number) {
    return number >= 0 && number <= HIGHEST_WINDOW_NUMBER;
}

bool isAddressable(int number) {
    return numberFits(number) && number < windowTable.capacity;
}

void growTableFor(int number) {
    windowTable.capacity = number + WINDOW_TABLE_STEP;
    windowTable.records = static_cast<WindowRecord*>(
        heapReallocZeroed(windowTable.records, recordBytes(windowTable.capacity)));
}

void formatClassName(int number) {
    long cells[1] = {number};
    wvsprintfA(classNameBuffer, "WindowClass_%ld", PLATFORM_ARGUMENTS(cells));
    widenWindows1252(classNameBuffer, wideClassName, CLASS_NAME_SIZE);
}

// The button-face colour is taken once: toolkit windows keep the colour the
// system had when the program started.
HBRUSH makeBackgroundBrush() {
    LOGBRUSH description = {BS_SOLID, GetSysColor(COLOR_BTNFACE), 0};
    return CreateBrushIndirect(&description);
}

void fillClassDescription() {
    windowClass.style = 0;
    windowClass.lpfnWndProc = toolkitWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instanceHandle;
    windowClass.hIcon = LoadIconA(instanceHandle, MAKEINTRESOURCEA(PROGRAM_ICON_RESOURCE));
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = backgroundBrush;
    windowClass.lpszMenuName = nullptr;
}

void makeNavigationAccelerators(WindowRecord& record) {
    record.acceleratorCount = NAVIGATION_ACCELERATOR_COUNT;
    record.acceleratorEntries =
        static_cast<ACCEL*>(heapAllocZeroed(sizeof(navigationAccelerators)));
    for (int i = 0; i < NAVIGATION_ACCELERATOR_COUNT; ++i) {
        record.acceleratorEntries[i] = navigationAccelerators[i];
    }
    record.acceleratorTable =
        CreateAcceleratorTableA(record.acceleratorEntries, NAVIGATION_ACCELERATOR_COUNT);
}

void releaseNavigationAccelerators(WindowRecord& record) {
    if (record.acceleratorCount == 0) {
        return;
    }
    // The fields keep their values: nothing reads them while the number is free.
    heapRelease(record.acceleratorEntries);
    DestroyAcceleratorTable(record.acceleratorTable);
}

// The window rectangle whose client area is width x height for this style.
RECT outerRectangle(int x, int y, int width, int height, DWORD style) {
    RECT rect = {x, y, x + width, y + height};
    AdjustWindowRect(&rect, style, FALSE);
    return rect;
}

} // namespace

void initWindows() {
    clearEventState();
    currentWindow = nullptr;
    windowTable.capacity = INITIAL_WINDOW_CAPACITY;
    windowTable.records =
        static_cast<WindowRecord*>(heapAllocZeroed(recordBytes(INITIAL_WINDOW_CAPACITY)));
    backgroundBrush = makeBackgroundBrush();
    fillClassDescription();
    // Containers placed inside tab controls use this class; it is never taken back.
    windowClass.lpszClassName = L"TemplateClass";
    RegisterClassW(&windowClass);
    windowClass.lpszClassName = wideClassName;
}

HWND openWindow(int number, int x, int y, int width, int height, DWORD flags, const char* title) {
    // A negative number would index before the table, and a huge one would
    // make it grow out of all proportion: neither can name a window.
    if (!numberFits(number)) {
        return nullptr;
    }
    if (number >= windowTable.capacity) {
        growTableFor(number);
    }
    closeWindow(number);

    formatClassName(number);
    RegisterClassW(&windowClass);
    DWORD style = flags ^ WINDOW_FLAG_HIDDEN;
    RECT outer = outerRectangle(x, y, width, height, style);
    WideText wideTitle(title);
    HWND window =
        CreateWindowExW(0, wideClassName, wideTitle.text, style, x, y, outer.right - outer.left,
                        outer.bottom - outer.top, nullptr, nullptr, instanceHandle, nullptr);
    WindowRecord& record = windowTable.records[number];
    record.window = window;
    if (!window) {
        return nullptr;
    }
    currentWindow = window;
    makeNavigationAccelerators(record);
    return window;
}

HWND currentWindowHandle() {
    return currentWindow;
}

void resizeWindow(int width, int height) {
    DWORD style = static_cast<DWORD>(GetWindowLongA(currentWindow, GWL_STYLE));
    RECT outer = outerRectangle(0, 0, width, height, style);
    SetWindowPos(currentWindow, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void closeWindow(int number) {
    if (!isAddressable(number)) {
        return;
    }
    WindowRecord& record = windowTable.records[number];
    HWND window = record.window;
    if (!window) {
        return;
    }
    // Freed before destruction, so that nothing reached during DestroyWindow
    // can find the dying window in the table.
    record.window = nullptr;
    DestroyWindow(window);
    formatClassName(number);
    UnregisterClassW(wideClassName, instanceHandle);
    releaseNavigationAccelerators(record);
}

void closeAllWindows() {
    for (int number = windowTable.capacity - 1; number >= 0; --number) {
        closeWindow(number);
    }
}

HACCEL findWindowAccelerators(HWND window) {
    if (!window) {
        return nullptr;
    }
    for (int number = 0; number < windowTable.capacity; ++number) {
        if (windowTable.records[number].window == window) {
            return windowTable.records[number].acceleratorTable;
        }
    }
    return nullptr;
}
