// Each test gets a fresh runtime heap and window toolkit, and a real window on
// Wine's virtual desktop; helpers drive the real input queue and collect what
// the event wait returns.
#pragma once

#include "runtime/heap.h"
#include "toolkit/window/event_wait.h"
#include "toolkit/window/window_table.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The application's main window: WS_POPUP | WS_CAPTION | WS_SYSMENU, with the
// hidden bit clear.
inline constexpr DWORD MAIN_WINDOW_FLAGS = 0x80C80000;
inline constexpr int MAIN_X = 382;
inline constexpr int MAIN_Y = 184;

class WindowToolkitTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
};

// Opens window `number` at (MAIN_X, MAIN_Y) with a 140 x 400 client area and
// makes it the foreground window, so that real input reaches it.
HWND openMainWindow(int number = 0, int width = 140, int height = 400);

// What one wait returned, with the event state right after it.
struct Waited {
    int result;
    int source;
    int type;
};

// Takes every message through waitEvent, one wait per message, until all
// input given so far has been taken, then what else is waiting already; returns
// the results, after those of the clicks given since the last collection.
std::vector<Waited> waitForAllDetailed();
std::vector<int> waitForAll();
// The same, without the messages that come and go with painting and timers.
std::vector<int> waitForAllInput();
// Leaves out mouse moves too: Wine turns one moved or placed cursor into two or
// three WM_MOUSEMOVE (one from the input, more from the X pointer following).
std::vector<int> waitForAllButMoves();
// The first wait that returned `result`, or one with result 0 if none did.
Waited firstWaitReturning(const std::vector<Waited>& waits, int result);

// A child window of `parent` with the given identifier.
HWND makeChild(HWND parent, const char* className, int id, DWORD style, int x, int y, int width,
               int height, const char* text = "");

// Real input through the shared layer. A click names the window its presses
// must land on, brings that window's top-level window to the front, places the
// cursor, and takes the messages of its presses for the next collection to
// return. Keys are only given; a collection takes them.
void moveCursorTo(POINT screen);
void clickAt(HWND target, POINT screen, bool right = false);
void doubleClickAt(HWND target, POINT screen);
void pressKey(WORD key);
void holdKey(WORD key, bool down);

// The centre of a window's client area in screen coordinates.
POINT centreOf(HWND window);
POINT clientPointToScreen(HWND window, int x, int y);

std::string classNameOf(HWND window);

// Records the creation and destruction of toolkit windows through a CBT hook on
// this thread. Other windows are left out: Wine makes and destroys its IME and
// OLE helper windows along with the first and last top-level window.
struct CbtEntry {
    int code; // HCBT_CREATEWND or HCBT_DESTROYWND
    HWND window;
    std::string className;
};

class CbtWatch {
  public:
    CbtWatch();
    ~CbtWatch();
    const std::vector<CbtEntry>& entries() const;
    int destroyCount() const;
};
