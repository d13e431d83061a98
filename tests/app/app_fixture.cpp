#include "tests/app/app_fixture.h"
#include "tests/support/real_input.h"
#include "tests/support/windows1252_text.h"

#include "app/event_loop.h"
#include "app/main_window.h"
#include "app/program_lifecycle.h"
#include "runtime/heap.h"
#include "toolkit/window/event_wait.h"
#include "toolkit/window/window_table.h"

#include <commctrl.h>

namespace {

constexpr int TEXT_SIZE = 256;

bool windowOpen() {
    return mainWindow() != nullptr;
}

POINT centreOfMain() {
    RECT frame;
    GetWindowRect(mainWindow(), &frame);
    return {(frame.left + frame.right) / 2, (frame.top + frame.bottom) / 2};
}

void runOnePass(std::vector<int>* events) {
    int event = runEventPass();
    if (!isMarker(event)) {
        events->push_back(event);
    }
}

} // namespace

void AppTest::SetUp() {
    runtimeStartup();
    if (startsApplication()) {
        applicationStartup();
        ASSERT_TRUE(mainWindowOpen);
        std::vector<int> ignored;
        bringToFront(mainWindow(), centreOfMain(), mainWindow(),
                     [&ignored] { runOnePass(&ignored); });
        runPendingPasses();
    }
}

void AppTest::TearDown() {
    closeAllWindows();
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        DispatchMessageW(&message);
    }
    closeRuntimeHeap();
}

HWND mainWindow() {
    return windowTable.records[MAIN_WINDOW].window;
}

HWND controlWindow(int number) {
    return GetDlgItem(mainWindow(), number);
}

std::string windowText(HWND window) {
    return windowText1252(window);
}

std::string classNameOf(HWND window) {
    return className1252(window);
}

bool hasStyle(HWND window, DWORD bits) {
    return (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & bits) == bits;
}

RECT clientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, mainWindow(), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE clientSize(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

std::string rowText(int row, int column) {
    wchar_t text[TEXT_SIZE] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = TEXT_SIZE;
    SendMessageW(controlWindow(CTL_BOLT_LIST), LVM_GETITEMTEXTW, row,
                 reinterpret_cast<LPARAM>(&item));
    return windows1252Of(text);
}

std::vector<std::string> statusColumn() {
    std::vector<std::string> column;
    int rows = static_cast<int>(SendMessageA(controlWindow(CTL_BOLT_LIST), LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        column.push_back(rowText(row, 1));
    }
    return column;
}

std::vector<std::string> reportLines() {
    HWND list = controlWindow(CTL_MOVE_LIST);
    std::vector<std::string> lines;
    int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[TEXT_SIZE] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        lines.push_back(windows1252Of(text));
    }
    return lines;
}

int focusedRow() {
    return static_cast<int>(
        SendMessageA(controlWindow(CTL_BOLT_LIST), LVM_GETNEXTITEM, -1, LVNI_FOCUSED));
}

int selectedRowCount() {
    return static_cast<int>(SendMessageA(controlWindow(CTL_BOLT_LIST), LVM_GETSELECTEDCOUNT, 0, 0));
}

bool togglePressed() {
    return SendMessageA(controlWindow(CTL_SYSTEM_TOGGLE), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

std::vector<int> runPendingPasses() {
    std::vector<int> events;
    if (mainWindow()) {
        takeGivenInput([&events] { runOnePass(&events); }, windowOpen);
    }
    return events;
}

std::vector<int> clickAtScreen(POINT point, HWND target) {
    std::vector<int> ignored;
    std::vector<int> events;
    if (readyToClick(point, mainWindow(), Click::Left, [&ignored] { runOnePass(&ignored); })) {
        pressAt(
            point, target, Click::Left, [&events] { runOnePass(&events); }, windowOpen);
    }
    return events;
}

std::vector<int> clickRow(int row) {
    HWND list = controlWindow(CTL_BOLT_LIST);
    RECT bounds = {};
    bounds.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    POINT point = {bounds.left + 10, (bounds.top + bounds.bottom) / 2};
    ClientToScreen(list, &point);
    return clickAtScreen(point, list);
}

std::vector<int> clickControl(int number) {
    HWND control = controlWindow(number);
    if (!control) {
        ADD_FAILURE() << "no control " << number << " to click";
        return {};
    }
    RECT client;
    GetClientRect(control, &client);
    POINT point = {client.right / 2, client.bottom / 2};
    ClientToScreen(control, &point);
    return clickAtScreen(point, control);
}

int postButtonClick(int number) {
    PostMessageA(mainWindow(), WM_COMMAND, MAKEWPARAM(number, BN_CLICKED),
                 reinterpret_cast<LPARAM>(controlWindow(number)));
    return runEventPass();
}
