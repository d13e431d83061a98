#include "app/event_loop.h"

#include "app/main_window.h"
#include "app/move_report.h"
#include "app/program_lifecycle.h"
#include "core/bolt_bank.h"
#include "core/planner.h"
#include "runtime/random.h"
#include "toolkit/controls/control_table.h"
#include "toolkit/window/event_wait.h"
#include "toolkit/window/window_table.h"

int forceRefresh;
int selectedRow;
StringVariable statusText;

namespace {

constexpr int NO_ROW = -1;

void randomiseBolts() {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        BoltBank[i] = static_cast<signed char>(rngUpTo(1));
    }
    forceRefresh = 1;
}

void runCommand(int control) {
    switch (control) {
    case CTL_RANDOM:
        randomiseBolts();
        break;
    case CTL_BACK:
        leaveMoveReport();
        break;
    case CTL_OPEN_ALL:
        planOpenAll();
        showMoveReport();
        break;
    case CTL_CLOSE_ALL:
        planCloseAll();
        showMoveReport();
        break;
    default:
        // The bolt list is read below in every pass; the toggle has no
        // command of its own.
        break;
    }
}

// With the toggle released any marked row flips; with it pressed only a row
// the movement rule allows.
bool flipWanted() {
    return forceRefresh != 0 ||
           (controlGetState(CTL_SYSTEM_TOGGLE) == 0 && controlGetState(CTL_BOLT_LIST) > NO_ROW);
}

} // namespace

void clearEventLoopState() {
    forceRefresh = 0;
    selectedRow = 0;
    statusText = nullptr;
}

void refreshBoltList() {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        assignString(&statusText, BoltBank[i] == BOLT_OPEN ? "auf" : "zu");
        controlSetItemText(CTL_BOLT_LIST, i, statusText, 1);
    }
}

int runEventPass() {
    int event = waitEvent();
    forceRefresh = 0;
    if (event == EVENT_CONTROL) {
        runCommand(eventSource());
    }
    if (forceRefresh == 0) {
        selectedRow = controlGetState(CTL_BOLT_LIST);
        forceRefresh = canMoveBolt(selectedRow);
    }
    if (flipWanted()) {
        if (selectedRow >= 0 && selectedRow < BOLT_COUNT) {
            flipBolt(selectedRow);
        }
        refreshBoltList();
    }
    // The marks go at once, so that the next pass reads no row until the
    // user clicks again.
    controlSetState(CTL_BOLT_LIST, NO_ROW);
    if (event == EVENT_CLOSE) {
        closeWindow(MAIN_WINDOW);
    }
    return event;
}

void runEventLoop() {
    while (runEventPass() != EVENT_CLOSE) {
    }
    endProgram();
}
