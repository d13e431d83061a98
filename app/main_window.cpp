#include "app/main_window.h"

#include "app/bolt_text.h"
#include "core/bolt_bank.h"
#include "runtime/linked_list.h"
#include "runtime/scratch_string.h"
#include "toolkit/controls/button.h"
#include "toolkit/controls/list_icon.h"
#include "toolkit/window/window_table.h"

MainLayout mainLayout;
int mainWindowOpen;

namespace {

constexpr int BUTTON_HEIGHT = 24;
constexpr int NARROW_CONTROL_WIDTH = 130;
constexpr int FIRST_COLUMN_WIDTH = 70;
constexpr int SECOND_COLUMN_WIDTH = 56;
constexpr int MARGIN = 5;
constexpr int JOURNAL_DATA_SIZE = 4;
// A title bar with system menu and close box, but no sizing border and no
// minimise or maximise box: the layout is fixed.
constexpr DWORD MAIN_WINDOW_FLAGS = WS_POPUP | WS_CAPTION | WS_SYSMENU;

void setLayoutValues() {
    mainLayout.buttonHeight = BUTTON_HEIGHT;
    mainLayout.controlWidth = NARROW_CONTROL_WIDTH;
    mainLayout.listHeight = 375 - 3 * BUTTON_HEIGHT;
    mainLayout.firstColumnWidth = FIRST_COLUMN_WIDTH;
    mainLayout.secondColumnWidth = SECOND_COLUMN_WIDTH;
}

// Centred for the wide form, so that the report widens the window to the
// right without moving it. The shift floors, also for a negative difference.
void placeWindow() {
    mainLayout.windowX = (GetSystemMetrics(SM_CXSCREEN) - WIDE_CLIENT_WIDTH) >> 1;
    mainLayout.windowY = (GetSystemMetrics(SM_CYSCREEN) - CLIENT_HEIGHT) >> 1;
}

void createMainControls() {
    const MainLayout& l = mainLayout;
    createListIcon(CTL_BOLT_LIST, MARGIN, MARGIN, l.controlWidth, l.listHeight, "Riegel",
                   l.firstColumnWidth, LIST_ICON_FLAG_FULL_ROW_SELECT);
    addListIconColumn(CTL_BOLT_LIST, 1, "Status", l.secondColumnWidth);
    createButton(CTL_RANDOM, MARGIN, l.listHeight + 10, l.controlWidth, l.buttonHeight, "Zufall");
    createButtonEx(CTL_SYSTEM_TOGGLE, MARGIN, l.listHeight + l.buttonHeight + 15, l.controlWidth,
                   l.buttonHeight, "System an", BUTTON_TOGGLE_FLAGS);
    int commandY = l.listHeight + 2 * l.buttonHeight + 20;
    int halfWidth = (l.controlWidth - MARGIN) >> 1;
    createButton(CTL_OPEN_ALL, MARGIN, commandY, halfWidth, l.buttonHeight, "Alles Auf");
    createButton(CTL_CLOSE_ALL, halfWidth + 10, commandY, halfWidth, l.buttonHeight, "Alles Zu");
}

// Each row goes in at the end of the growing list; without a live bolt list
// the toolkit ignores the calls.
void fillBoltRows() {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        char* name = buildBoltName(i + 1);
        controlAddItem(CTL_BOLT_LIST, i + 1, name);
        scratchRestore(name);
        controlSetItemText(CTL_BOLT_LIST, i, BoltBank[i] == BOLT_CLOSED ? "zu" : "auf", 1);
    }
}

} // namespace

void clearApplicationState() {
    mainLayout = {};
    mainWindowOpen = 0;
    clearBoltState();
}

void applicationStartup() {
    setLayoutValues();
    placeWindow();
    listCreate(&MoveJournal, JOURNAL_DATA_SIZE);
    HWND window = openWindow(MAIN_WINDOW, mainLayout.windowX, mainLayout.windowY,
                             NARROW_CLIENT_WIDTH, CLIENT_HEIGHT, MAIN_WINDOW_FLAGS, "Velmorin");
    mainWindowOpen = window != nullptr;
    createBoltBanks();
    if (useControlParent(currentWindowHandle())) {
        createMainControls();
    }
    fillBoltRows();
}
