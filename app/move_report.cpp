#include "app/move_report.h"

#include "app/bolt_text.h"
#include "app/main_window.h"
#include "core/bolt_bank.h"
#include "runtime/linked_list.h"
#include "runtime/scratch_string.h"
#include "toolkit/controls/button.h"
#include "toolkit/controls/list_box.h"
#include "toolkit/window/window_table.h"

namespace {

constexpr int REPORT_X = 140;
constexpr int REPORT_Y = 5;
constexpr int REPORT_CONTROL_WIDTH = 115;
constexpr int APPEND = -1;

void setCommandsDisabled(int state) {
    for (int n = CTL_SYSTEM_TOGGLE; n <= CTL_CLOSE_ALL; ++n) {
        controlDisable(n, state);
    }
}

void addMoveCount() {
    char* start = scratchStart();
    formatLong(listCount(&MoveJournal), start);
    scratchAppend(" Bewegungen:");
    scratchSeal();
    controlAddItem(CTL_MOVE_LIST, APPEND, start);
    scratchRestore(start);
}

void addMoveLine(int bolt) {
    char* name = buildBoltName(bolt + 1);
    controlAddItem(CTL_MOVE_LIST, APPEND, name);
    scratchRestore(name);
}

} // namespace

void showMoveReport() {
    // The plan buttons are locked while a report is shown, but a command can
    // still be posted from outside: the old report's controls go first, so
    // that none is left behind unreachable.
    controlFree(CTL_MOVE_LIST);
    controlFree(CTL_BACK);
    mainLayout.controlWidth = REPORT_CONTROL_WIDTH;
    int listBoxHeight = 385 - mainLayout.buttonHeight;
    resizeWindow(WIDE_CLIENT_WIDTH, CLIENT_HEIGHT);
    createListBox(CTL_MOVE_LIST, REPORT_X, REPORT_Y, mainLayout.controlWidth, listBoxHeight);
    // The moves are meant to be replayed under the movement rule.
    controlSetState(CTL_SYSTEM_TOGGLE, 1);
    setCommandsDisabled(1);
    createButton(CTL_BACK, REPORT_X, listBoxHeight + 10, mainLayout.controlWidth,
                 mainLayout.buttonHeight,
                 "<<< Zur\xFC"
                 "ck <<<");
    listReset(&MoveJournal);
    addMoveCount();
    controlAddItem(CTL_MOVE_LIST, APPEND, "---------------------------");
    while (ListElement* move = listNext(&MoveJournal)) {
        addMoveLine(journalEntry(move));
    }
}

// The toggle stays pressed: the user may go on replaying under the rule.
void leaveMoveReport() {
    controlFree(CTL_MOVE_LIST);
    controlFree(CTL_BACK);
    resizeWindow(NARROW_CLIENT_WIDTH, CLIENT_HEIGHT);
    setCommandsDisabled(0);
}
