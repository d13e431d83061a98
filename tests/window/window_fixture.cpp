#include "tests/window/window_fixture.h"

#include <commctrl.h>

namespace {

// Long enough for input that Wine routes through the X server to arrive on a
// busy machine.
constexpr DWORD QUIET_TIME_MS = 120;
constexpr int MOST_WAITS = 400;
constexpr DWORD MOST_WAIT_TIME_MS = 1500;
// The caret's blink timer.
constexpr int WM_SYSTIMER = 0x0118;

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

void sendInputs(INPUT* inputs, UINT count) {
    ASSERT_EQ(SendInput(count, inputs, sizeof(INPUT)), count);
}

INPUT mouseInput(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

INPUT keyInput(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    return input;
}

bool isPaintingOrTimer(int result) {
    return result == WM_PAINT || result == WM_TIMER || result == WM_SYSTIMER;
}

} // namespace

void WindowToolkitTest::SetUp() {
    static bool commonControlsReady = false;
    if (!commonControlsReady) {
        InitCommonControls();
        commonControlsReady = true;
    }
    openRuntimeHeap();
    initWindows();
}

void WindowToolkitTest::TearDown() {
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
        SetForegroundWindow(window);
        SetActiveWindow(window);
        waitForAll();
    }
    return window;
}

std::vector<Waited> waitForAllDetailed() {
    std::vector<Waited> waits;
    MSG message;
    // A timer that keeps firing (a control's hot tracking, say) must not hold
    // the collection open for long.
    DWORD start = GetTickCount();
    for (int i = 0; i < MOST_WAITS && GetTickCount() - start < MOST_WAIT_TIME_MS; ++i) {
        if (!PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, QUIET_TIME_MS, QS_ALLINPUT) ==
                WAIT_TIMEOUT) {
                break;
            }
            continue;
        }
        int result = waitEvent();
        waits.push_back({result, eventState.eventSource, eventState.eventType});
    }
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

void moveCursorTo(POINT screen) {
    int width = GetSystemMetrics(SM_CXSCREEN);
    int height = GetSystemMetrics(SM_CYSCREEN);
    INPUT move = mouseInput(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE);
    // Absolute coordinates run from 0 to 65535 over the screen; aim at the
    // middle of the wanted pixel.
    move.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / width);
    move.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / height);
    sendInputs(&move, 1);
}

// Wine's X pointer follows a moved cursor with moves of its own; they are
// taken first, so that they cannot fall between the presses.
void placeCursorAt(POINT screen) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        moveCursorTo(screen);
        waitForAll();
        POINT now;
        GetCursorPos(&now);
        if (now.x == screen.x && now.y == screen.y) {
            return;
        }
    }
    ADD_FAILURE() << "the cursor did not stay at " << screen.x << "," << screen.y;
}

void clickAt(POINT screen, bool right) {
    placeCursorAt(screen);
    INPUT press[2] = {mouseInput(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN),
                      mouseInput(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP)};
    sendInputs(press, 2);
}

void doubleClickAt(POINT screen) {
    placeCursorAt(screen);
    INPUT press[4] = {mouseInput(MOUSEEVENTF_LEFTDOWN), mouseInput(MOUSEEVENTF_LEFTUP),
                      mouseInput(MOUSEEVENTF_LEFTDOWN), mouseInput(MOUSEEVENTF_LEFTUP)};
    sendInputs(press, 4);
}

void pressKey(WORD key) {
    INPUT stroke[2] = {keyInput(key, true), keyInput(key, false)};
    sendInputs(stroke, 2);
}

void holdKey(WORD key, bool down) {
    INPUT stroke = keyInput(key, down);
    sendInputs(&stroke, 1);
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
