#include "tests/support/real_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

namespace {

// Bounds a hang only: every wait ends as soon as what it waits for is seen.
constexpr DWORD HANG_BOUND_MS = 15000;
// How often a condition that sends no message (the window in front) is looked at.
constexpr DWORD POLL_MS = 10;
// What is waiting already after the marker: paints, due timers. A timer that
// keeps firing must not hold the taking open.
constexpr int MOST_WAITING = 400;
// Virtual keys no keyboard has and no control answers (0x97 to 0x9F are
// unassigned). Markers take them in turn, so that one left over from a wait
// that ended early (its window closed) cannot end the next.
constexpr WORD FIRST_MARKER_KEY = 0x97;
constexpr WORD MARKER_KEYS = 9;
// Posted to the thread when no window of it is in front to take a key.
constexpr UINT POSTED_MARKER = WM_APP + 0x2F0;

HHOOK messageHook;
HHOOK mouseHook;
bool markerTaken;
bool markerJustTaken;
unsigned markersSent;

// The first press a click's buttons gave, judged when it is taken: the click
// may close the window it landed on.
struct Press {
    POINT point;
    bool onExpected;
};
HWND pressExpectedOn;
int pressesTaken;
Press firstPress;
POINT lastMove = {-1, -1};

int clicksGiven;
int pressesLost;

POINT lastClick = {-1000, -1000};
DWORD lastClickTime;

bool isPress(WPARAM message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK:
        return true;
    default:
        return false;
    }
}

WPARAM markerKey(unsigned number) {
    return FIRST_MARKER_KEY + number % MARKER_KEYS;
}

LRESULT CALLBACK watchMessages(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && (wParam & PM_REMOVE)) {
        bool keyMarker = (message->message == WM_KEYUP || message->message == WM_SYSKEYUP) &&
                         message->wParam >= FIRST_MARKER_KEY &&
                         message->wParam < FIRST_MARKER_KEY + MARKER_KEYS;
        bool postedMarker = message->message == POSTED_MARKER && message->hwnd == nullptr;
        if (keyMarker || postedMarker) {
            markerJustTaken = true;
            markerTaken |= message->wParam == markerKey(markersSent);
        }
    }
    return CallNextHookEx(messageHook, code, wParam, lParam);
}

// Sees every mouse message taken by this thread, also those that a control's
// or the caption's own tracking loop takes.
LRESULT CALLBACK watchMouse(int code, WPARAM wParam, LPARAM lParam) {
    const MOUSEHOOKSTRUCT* mouse = reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam);
    if (code == HC_ACTION) {
        if (isPress(wParam)) {
            if (pressesTaken++ == 0) {
                firstPress = {mouse->pt, mouse->hwnd == pressExpectedOn ||
                                             IsChild(pressExpectedOn, mouse->hwnd)};
            }
        } else if (wParam == WM_MOUSEMOVE || wParam == WM_NCMOUSEMOVE) {
            lastMove = mouse->pt;
        }
    }
    return CallNextHookEx(mouseHook, code, wParam, lParam);
}

class InputReport : public ::testing::Environment {
  public:
    void TearDown() override {
        if (clicksGiven > 0) {
            std::printf("real input: %d clicks, %d presses lost before any window and given "
                        "again\n",
                        clicksGiven, pressesLost);
        }
    }
};

[[maybe_unused]] const bool reportAdded =
    ::testing::AddGlobalTestEnvironment(new InputReport) != nullptr;

void watchThisThread() {
    if (!messageHook) {
        DWORD thread = GetCurrentThreadId();
        messageHook = SetWindowsHookExA(WH_GETMESSAGE, watchMessages, nullptr, thread);
        mouseHook = SetWindowsHookExA(WH_MOUSE, watchMouse, nullptr, thread);
        if (!messageHook || !mouseHook) {
            std::fprintf(stderr, "real input: no message hooks (%lu)\n", GetLastError());
            std::abort();
        }
    }
}

bool messageWaiting() {
    MSG message;
    return PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) != 0;
}

DWORD elapsedSince(DWORD start) {
    return GetTickCount() - start;
}

void takeOne(const TakeMessage& take) {
    markerJustTaken = false;
    take();
}

void takeWaiting(const TakeMessage& take, const StillOpen& open) {
    for (int i = 0; i < MOST_WAITING && (!open || open()) && messageWaiting(); ++i) {
        takeOne(take);
    }
}

bool foregroundIsOurs() {
    return GetWindowThreadProcessId(GetForegroundWindow(), nullptr) == GetCurrentThreadId();
}

void sendInputs(INPUT* inputs, UINT count) {
    EXPECT_EQ(SendInput(count, inputs, sizeof(INPUT)), count);
}

// Absolute coordinates run from 0 to 65535 over the screen; aim at the
// middle of the wanted pixel.
INPUT mouseAt(POINT screen, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>((screen.x * 65536LL + 32768) / GetSystemMetrics(SM_CXSCREEN));
    input.mi.dy = static_cast<LONG>((screen.y * 65536LL + 32768) / GetSystemMetrics(SM_CYSCREEN));
    input.mi.dwFlags = flags | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}

bool liesOn(POINT point, HWND expected) {
    HWND under = WindowFromPoint(point);
    return under == expected || IsChild(expected, under);
}

bool samePoint(POINT a, POINT b) {
    return a.x == b.x && a.y == b.y;
}

// A second single click on the same spot within the double-click time would
// arrive as a double click.
void waitOutDoubleClick(POINT point) {
    bool samePlace = std::abs(point.x - lastClick.x) <= GetSystemMetrics(SM_CXDOUBLECLK) &&
                     std::abs(point.y - lastClick.y) <= GetSystemMetrics(SM_CYDOUBLECLK);
    DWORD since = elapsedSince(lastClickTime);
    if (samePlace && since <= GetDoubleClickTime()) {
        Sleep(GetDoubleClickTime() - since + 1);
    }
}

void sendButtons(POINT point, Click kind) {
    DWORD down = kind == Click::Right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    DWORD up = kind == Click::Right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    INPUT buttons[4] = {mouseAt(point, down), mouseAt(point, up), mouseAt(point, down),
                        mouseAt(point, up)};
    sendInputs(buttons, kind == Click::LeftDouble ? 4 : 2);
    lastClick = point;
    lastClickTime = GetTickCount();
}

} // namespace

void takeGivenInput(const TakeMessage& take, const StillOpen& open) {
    watchThisThread();
    markerTaken = false;
    WPARAM marker = markerKey(++markersSent);
    if (foregroundIsOurs()) {
        sendKey(static_cast<WORD>(marker), false);
    } else {
        // No key reaches this thread; what is queued for it already comes first.
        PostThreadMessageA(GetCurrentThreadId(), POSTED_MARKER, marker, 0);
    }
    DWORD start = GetTickCount();
    while (!markerTaken && (!open || open())) {
        if (messageWaiting()) {
            takeOne(take);
            continue;
        }
        DWORD waited = elapsedSince(start);
        if (waited >= HANG_BOUND_MS) {
            ADD_FAILURE() << "the input given was not taken within " << HANG_BOUND_MS << " ms";
            return;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, HANG_BOUND_MS - waited, QS_ALLINPUT);
    }
    takeWaiting(take, open);
}

bool isMarker(int result) {
    return markerJustTaken && (result == WM_KEYUP || result == WM_SYSKEYUP ||
                               result == static_cast<int>(POSTED_MARKER));
}

void bringToFront(HWND top, POINT point, HWND expected, const TakeMessage& take) {
    watchThisThread();
    DWORD start = GetTickCount();
    // Wine brings a window to the front asynchronously.
    while (GetForegroundWindow() != top || !liesOn(point, expected)) {
        if (elapsedSince(start) >= HANG_BOUND_MS) {
            ADD_FAILURE() << "the window did not come to the front under " << point.x << ","
                          << point.y;
            return;
        }
        SetForegroundWindow(top);
        takeWaiting(take, {});
        MsgWaitForMultipleObjects(0, nullptr, FALSE, POLL_MS, QS_ALLINPUT);
    }
}

void moveCursorTo(POINT screen) {
    INPUT move = mouseAt(screen, 0);
    sendInputs(&move, 1);
}

// Wine's X pointer follows a moved cursor with moves of its own, now and then
// one from where it stood before: the cursor has arrived when the last move
// taken and the system's cursor both say so.
void placeCursorAt(POINT screen, const TakeMessage& take) {
    DWORD start = GetTickCount();
    for (;;) {
        moveCursorTo(screen);
        takeGivenInput(take);
        POINT now;
        GetCursorPos(&now);
        if (samePoint(lastMove, screen) && samePoint(now, screen)) {
            return;
        }
        if (elapsedSince(start) >= HANG_BOUND_MS) {
            ADD_FAILURE() << "the cursor did not arrive at " << screen.x << "," << screen.y;
            return;
        }
    }
}

void readyToClick(POINT point, HWND top, HWND expected, Click kind, const TakeMessage& take) {
    if (kind != Click::LeftDouble) {
        waitOutDoubleClick(point);
    }
    bringToFront(top, point, expected, take);
    placeCursorAt(point, take);
}

void pressAt(POINT point, HWND expected, Click kind, const TakeMessage& take,
             const StillOpen& open) {
    ++clicksGiven;
    pressExpectedOn = expected;
    for (int attempt = 0;; ++attempt) {
        pressesTaken = 0;
        sendButtons(point, kind);
        takeGivenInput(take, open);
        if (pressesTaken > 0) {
            break;
        }
        // The marker behind the press has been taken, so the press came
        // before it or never: it reached no window, and nothing happened.
        ++pressesLost;
        if (attempt == 1) {
            ADD_FAILURE() << "two presses at " << point.x << "," << point.y << " reached no window";
            return;
        }
    }
    EXPECT_TRUE(firstPress.onExpected && samePoint(firstPress.point, point))
        << "the press meant for " << point.x << "," << point.y << " landed at "
        << firstPress.point.x << "," << firstPress.point.y;
}

void clickOn(POINT point, HWND top, HWND expected, Click kind, const TakeMessage& take,
             const StillOpen& open) {
    readyToClick(point, top, expected, kind, take);
    pressAt(point, expected, kind, take, open);
}

void sendKey(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    sendInputs(&input, 1);
}
