// Each test starts the program's runtime and the application in this process,
// as the program does, on Wine's 1024 x 768 virtual desktop; passes of the
// event loop are driven by real input or by posted messages.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;
    // Tests that need something in place before the start-up say so.
    virtual bool startsApplication() const { return true; }
};

HWND mainWindow();
HWND controlWindow(int number);
std::string windowText(HWND window);
std::string classNameOf(HWND window);
bool hasStyle(HWND window, DWORD bits);
// The control's rectangle in the main window's client coordinates.
RECT clientRectOf(HWND control);
SIZE clientSize(HWND window);

std::string rowText(int row, int column);
std::vector<std::string> statusColumn();
std::vector<std::string> reportLines();
int focusedRow();
int selectedRowCount();
bool togglePressed();

// Runs passes of the loop until all input given so far has been taken, then
// while messages are waiting already, or until the window has closed; returns
// what each pass waited for.
std::vector<int> runPendingPasses();
// A click through the input queue whose press must land on `target`, then
// the passes it causes.
std::vector<int> clickAtScreen(POINT point, HWND target);
std::vector<int> clickRow(int row);
std::vector<int> clickControl(int number);
// A button's click as its notification, posted; then one pass.
int postButtonClick(int number);
