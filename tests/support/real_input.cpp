#include "tests/support/real_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Bounds a hang only: every wait ends as soon as what it waits for is seen.
constexpr DWORD HANG_BOUND_MS = 60000;
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
// A marker once not taken within the bound will not be taken later either:
// every wait for one after that fails at once instead of waiting it out.
bool markerFoundBroken;
unsigned markersSent;
// Input has been given that no marker taken since has come behind.
bool inputNotYetTaken;
// What the current wait for a marker has taken, to say what kept it busy.
unsigned messagesTaken;
UINT lastTaken;

// Each press a click's buttons gave, judged and named when it is taken: the
// click may close the window it landed on.
struct Press {
    POINT point;
    bool onExpected;
    std::string window;
};
HWND pressExpectedOn;
std::vector<Press> pressesSeen;
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

// Class, control number and text: enough to tell "Zufall" from row 3's list.
std::string describeWindow(HWND window) {
    if (!window) {
        return "no window";
    }
    char name[64] = {};
    char text[64] = {};
    GetClassNameA(window, name, sizeof(name));
    GetWindowTextA(window, text, sizeof(text));
    std::string id = GetParent(window) ? " #" + std::to_string(GetDlgCtrlID(window)) : "";
    return std::string(name) + id + " \"" + text + "\"";
}

std::string describePoint(POINT point) {
    return std::to_string(point.x) + "," + std::to_string(point.y);
}

LRESULT CALLBACK watchMessages(int code, WPARAM wParam, LPARAM lParam) {
    const MSG* message = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && (wParam & PM_REMOVE)) {
        ++messagesTaken;
        lastTaken = message->message;
        bool keyMarker = (message->message == WM_KEYUP || message->message == WM_SYSKEYUP) &&
                         message->wParam >= FIRST_MARKER_KEY &&
                         message->wParam < FIRST_MARKER_KEY + MARKER_KEYS;
        bool postedMarker = message->message == POSTED_MARKER && message->hwnd == nullptr;
        if (keyMarker || postedMarker) {
            markerJustTaken = true;
            bool current = message->wParam == markerKey(markersSent);
            markerTaken |= current;
            // A posted marker overtakes queued input: only the key comes behind it.
            inputNotYetTaken &= !(current && keyMarker);
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
            pressesSeen.push_back(
                {mouse->pt, mouse->hwnd == pressExpectedOn, describeWindow(mouse->hwnd)});
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
    inputNotYetTaken = true;
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

// Every press of the click, and no other, on the window it was meant for and
// at its point.
void checkPresses(POINT point, HWND expected, size_t given, bool allTaken) {
    bool landed = pressesSeen.size() == given;
    std::string seen;
    for (const Press& press : pressesSeen) {
        landed &= press.onExpected && samePoint(press.point, point);
        seen += "; " + press.window + " at " + describePoint(press.point);
    }
    EXPECT_TRUE(landed) << given << " press(es) meant for " << describeWindow(expected) << " at "
                        << describePoint(point) << ", " << pressesSeen.size() << " taken"
                        << (allTaken ? "" : " before the wait ended") << seen;
}

} // namespace

bool takeGivenInput(const TakeMessage& take, const StillOpen& open) {
    watchThisThread();
    if (markerFoundBroken) {
        ADD_FAILURE() << "the marker behind the input was found broken earlier (not taken within "
                      << HANG_BOUND_MS << " ms): no input can be known taken";
        return false;
    }
    markerTaken = false;
    WPARAM marker = markerKey(++markersSent);
    if (foregroundIsOurs()) {
        sendKey(static_cast<WORD>(marker), false);
    } else if (inputNotYetTaken) {
        ADD_FAILURE() << "input was given while " << describeWindow(GetForegroundWindow())
                      << ", of no window of this thread, is in front: no marker can follow it";
        return false;
    } else {
        // No key reaches this thread, and all input given has been taken: a
        // posted marker comes behind what was posted before it. It would
        // overtake input, which is taken only after posted messages.
        PostThreadMessageA(GetCurrentThreadId(), POSTED_MARKER, marker, 0);
    }
    messagesTaken = 0;
    DWORD start = GetTickCount();
    while (!markerTaken) {
        if (open && !open()) {
            // What was given went to the window that has gone.
            inputNotYetTaken = false;
            return false;
        }
        // Looked at on every pass: messages that keep coming must not hold
        // the wait open past its bound.
        DWORD waited = elapsedSince(start);
        if (waited >= HANG_BOUND_MS) {
            markerFoundBroken = true;
            ADD_FAILURE() << "the marker behind the input given was not taken within "
                          << HANG_BOUND_MS << " ms; " << messagesTaken
                          << " messages were taken meanwhile, the last 0x" << std::hex << lastTaken;
            return false;
        }
        if (messageWaiting()) {
            takeOne(take);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, HANG_BOUND_MS - waited, QS_ALLINPUT);
        }
    }
    takeWaiting(take, open);
    return true;
}

bool isMarker(int result) {
    return markerJustTaken && (result == WM_KEYUP || result == WM_SYSKEYUP ||
                               result == static_cast<int>(POSTED_MARKER));
}

bool bringToFront(HWND top, POINT point, HWND expected, const TakeMessage& take) {
    watchThisThread();
    DWORD start = GetTickCount();
    // Wine brings a window to the front asynchronously.
    while (GetForegroundWindow() != top || !liesOn(point, expected)) {
        if (elapsedSince(start) >= HANG_BOUND_MS) {
            ADD_FAILURE() << describeWindow(top) << " did not come to the front with "
                          << describePoint(point) << " on " << describeWindow(expected)
                          << " within " << HANG_BOUND_MS << " ms; the point lies on "
                          << describeWindow(WindowFromPoint(point));
            return false;
        }
        SetForegroundWindow(top);
        takeWaiting(take, {});
        MsgWaitForMultipleObjects(0, nullptr, FALSE, POLL_MS, QS_ALLINPUT);
    }
    return true;
}

void moveCursorTo(POINT screen) {
    INPUT move = mouseAt(screen, 0);
    sendInputs(&move, 1);
}

// Wine's X pointer follows a moved cursor with moves of its own, now and then
// one from where it stood before: the cursor has arrived when the last move
// taken and the system's cursor both say so.
bool placeCursorAt(POINT screen, const TakeMessage& take) {
    DWORD start = GetTickCount();
    for (;;) {
        moveCursorTo(screen);
        if (!takeGivenInput(take)) {
            return false;
        }
        POINT now;
        GetCursorPos(&now);
        if (samePoint(lastMove, screen) && samePoint(now, screen)) {
            return true;
        }
        if (elapsedSince(start) >= HANG_BOUND_MS) {
            ADD_FAILURE() << "the cursor did not arrive at " << describePoint(screen) << " within "
                          << HANG_BOUND_MS << " ms";
            return false;
        }
    }
}

bool readyToClick(POINT point, HWND top, Click kind, const TakeMessage& take) {
    if (kind != Click::LeftDouble) {
        waitOutDoubleClick(point);
    }
    return bringToFront(top, point, top, take) && placeCursorAt(point, take);
}

void pressAt(POINT point, HWND expected, Click kind, const TakeMessage& take,
             const StillOpen& open) {
    ++clicksGiven;
    pressExpectedOn = expected;
    bool allTaken = false;
    for (int attempt = 0;; ++attempt) {
        pressesSeen.clear();
        sendButtons(point, kind);
        allTaken = takeGivenInput(take, open);
        if (!pressesSeen.empty() || !allTaken) {
            break;
        }
        // The marker behind the press has been taken, so the press came
        // before it or never: it reached no window, and nothing happened.
        ++pressesLost;
        if (attempt == 1) {
            ADD_FAILURE() << "two presses at " << describePoint(point) << " reached no window";
            return;
        }
    }
    checkPresses(point, expected, kind == Click::LeftDouble ? 2 : 1, allTaken);
}

void clickOn(POINT point, HWND top, HWND expected, Click kind, const TakeMessage& take,
             const StillOpen& open) {
    // Buttons pressed where the click cannot be readied would land elsewhere.
    if (readyToClick(point, top, kind, take)) {
        pressAt(point, expected, kind, take, open);
    }
}

void sendKey(WORD key, bool down) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
    sendInputs(&input, 1);
}
