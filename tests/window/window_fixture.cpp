#include "tests/window/window_fixture.h"
#include "tests/support/heap_blocks.h"
#include "tests/support/real_input.h"

#include <commctrl.h>

namespace {

// The caret's blink timer.
constexpr int WM_SYSTIMER = 0x0118;

// What a click's own presses caused, for the next collection to return.
std::vector<Waited> takenByClicks;

HHOOK cbtHook;
std::vector<CbtEntry> cbtEntries;

LRESULT CALLBACK recordCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND || code == HCBT_DESTROYWND) {
        HWND window = reinterpret_cast<HWND>(wParam);
        std::string name = classNameOf(window);
        if (name.rfind("WindowClass_", 0) == 0) {
            cbtEntries.push_back({code, window, name});
        }
    }
    return CallNextHookEx(cbtHook, code, wParam, lParam);
}

// Takes one message through the event wait and keeps what it gave, unless it
// was the input layer's marker.
void takeWaitInto(std::vector<Waited>& waits) {
    int result = waitEvent();
    if (!isMarker(result)) {
        waits.push_back({result, eventState.eventSource, eventState.eventType});
    }
}

bool isPaintingOrTimer(int result) {
    return result == WM_PAINT || result == WM_TIMER || result == WM_SYSTIMER;
}

// The table's blocks hold what the table says is in them: capacity + 2
// records of four 32-bit fields, and for every open number its ACCEL entries
// of 6 bytes each (BYTE fVirt, padding, WORD key, WORD cmd).
void expectTableBlocksHoldTheirEntries() {
    EXPECT_TRUE(heapBlockHolds(windowTable.records, (windowTable.capacity + 2) * 16u));
    for (int number = 0; number < windowTable.capacity; ++number) {
        const WindowRecord& record = windowTable.records[number];
        if (record.window && record.acceleratorCount != 0) {
            EXPECT_TRUE(heapBlockHolds(record.acceleratorEntries, record.acceleratorCount * 6u))
                << "the accelerator entries of window " << number;
        }
    }
}

} // namespace

void WindowToolkitTest::SetUp() {
    static bool commonControlsReady = false;
    if (!commonControlsReady) {
        InitCommonControls();
        commonControlsReady = true;
    }
    takenByClicks.clear();
    openRuntimeHeap();
    initWindows();
}

void WindowToolkitTest::TearDown() {
    expectTableBlocksHoldTheirEntries();
    closeAllWindows();
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageA(&message);
    }
    closeRuntimeHeap();
}

HWND openMainWindow(int number, int width, int height) {
    HWND window = openWindow(number, MAIN_X, MAIN_Y, width, height, MAIN_WINDOW_FLAGS, "Velmorin");
    if (window) {
        SetActiveWindow(window);
        bringToFront(window, centreOf(window), window, [] { waitEvent(); });
        waitForAll();
    }
    return window;
}

std::vector<Waited> waitForAllDetailed() {
    std::vector<Waited> waits;
    waits.swap(takenByClicks);
    takeGivenInput([&waits] { takeWaitInto(waits); });
    return waits;
}

std::vector<int> waitForAll() {
    std::vector<int> results;
    for (const Waited& wait : waitForAllDetailed()) {
        results.push_back(wait.result);
    }
    return results;
}

std::vector<int> waitForAllButMoves() {
    std::vector<int> results;
    for (int result : waitForAllInput()) {
        if (result != WM_MOUSEMOVE && result != WM_NCMOUSEMOVE) {
            results.push_back(result);
        }
    }
    return results;
}

Waited firstWaitReturning(const std::vector<Waited>& waits, int result) {
    for (const Waited& wait : waits) {
        if (wait.result == result) {
            return wait;
        }
    }
    return {0, 0, 0};
}

std::vector<int> waitForAllInput() {
    std::vector<int> results;
    for (int result : waitForAll()) {
        if (!isPaintingOrTimer(result)) {
            results.push_back(result);
        }
    }
    return results;
}

HWND makeChild(HWND parent, const char* className, int id, DWORD style, int x, int y, int width,
               int height, const char* text) {
    return CreateWindowExA(0, className, text, WS_CHILD | WS_VISIBLE | style, x, y, width, height,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           GetModuleHandleA(nullptr), nullptr);
}

namespace {

void takeOneWait() {
    waitEvent();
}

void clickWith(HWND target, POINT screen, Click kind) {
    if (readyToClick(screen, GetAncestor(target, GA_ROOT), kind, takeOneWait)) {
        pressAt(screen, target, kind, [] { takeWaitInto(takenByClicks); });
    }
}

} // namespace

void clickAt(HWND target, POINT screen, bool right) {
    clickWith(target, screen, right ? Click::Right : Click::Left);
}

void doubleClickAt(HWND target, POINT screen) {
    clickWith(target, screen, Click::LeftDouble);
}

void pressKey(WORD key) {
    sendKey(key, true);
    sendKey(key, false);
}

void holdKey(WORD key, bool down) {
    sendKey(key, down);
}

POINT clientPointToScreen(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    return point;
}

POINT centreOf(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return clientPointToScreen(window, client.right / 2, client.bottom / 2);
}

std::string classNameOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

CbtWatch::CbtWatch() {
    cbtEntries.clear();
    cbtHook = SetWindowsHookExA(WH_CBT, recordCbt, nullptr, GetCurrentThreadId());
}

CbtWatch::~CbtWatch() {
    UnhookWindowsHookEx(cbtHook);
    cbtHook = nullptr;
}

const std::vector<CbtEntry>& CbtWatch::entries() const {
    return cbtEntries;
}

int CbtWatch::destroyCount() const {
    int count = 0;
    for (const CbtEntry& entry : cbtEntries) {
        count += entry.code == HCBT_DESTROYWND;
    }
    return count;
}
