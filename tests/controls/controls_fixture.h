// A fresh runtime heap, scratch area and control table for each test, with a
// real top-level window of the test's own to hold the controls.
#pragma once

#include "runtime/heap.h"
#include "runtime/scratch_string.h"
#include "tests/support/windows1252_text.h"
#include "toolkit/controls/control_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// What the parent window has been told by its controls.
struct ParentLog {
    int commands;      // WM_COMMAND from a control with BN_CLICKED
    int lastCommandId; // child identifier of the last one
};
extern ParentLog parentLog;

class ControlsTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    HWND parent = nullptr;
};

HWND createParentWindow();
// Clicks the middle of the window with real mouse input after bringing its
// top-level window to the front, and dispatches everything the click causes.
// The commands the parent is told of are the test's to count.
void clickWindow(HWND window);
std::vector<HWND> childrenOf(HWND parent);
// Checks every buffer that the toolkit hands `control` (one control at a time)
// for a text to come back in, when it is a block of the runtime heap: the
// block must hold all the control may write there, terminator included, since
// the heap does not notice a unit written past a block's end. A text given to
// the control in such a block must end inside it. Counts the blocks checked.
void watchTextRooms(HWND control);
int textRoomsChecked();

// Read back through the platform alone, not through the toolkit: in UTF-16,
// as the controls hold them, given in Windows-1252.
std::string listBoxLine(HWND window, int index);
std::string listViewCell(HWND window, int row, int column);
int listViewRows(HWND window);
UINT listViewMarks(HWND window, int row);
