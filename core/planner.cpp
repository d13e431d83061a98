#include "core/planner.h"

#include "core/bolt_bank.h"

namespace {

void saveBank() {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        backupBank[i] = BoltBank[i];
    }
}

void restoreBank() {
    for (int i = 0; i < BOLT_COUNT; ++i) {
        BoltBank[i] = backupBank[i];
    }
}

void closeBoltsFrom(int highest) {
    for (int i = highest; i >= 0; --i) {
        closeBolt(i);
    }
}

} // namespace

void closeBolt(int n) {
    if (BoltBank[n] == BOLT_OPEN) {
        prepareBolt(n);
    }
}

void openBolt(int n) {
    if (BoltBank[n] == BOLT_CLOSED) {
        prepareBolt(n);
    }
}

// Brings the bolts below n into the pattern the movement rule asks for, then
// moves n.
void prepareBolt(int n) {
    switch (n) {
    case 0:
        break;
    case 1:
        openBolt(0);
        break;
    case 5:
        closeBoltsFrom(4);
        break;
    default:
        openBolt(n - 1);
        closeBoltsFrom(n - 2);
        break;
    }
    moveBolt(n);
}

void planOpenAll() {
    saveBank();
    listClear(&MoveJournal);
    closeBoltsFrom(4);
    for (int i = 5; i >= 0; --i) {
        openBolt(i);
    }
    restoreBank();
}

void planCloseAll() {
    saveBank();
    listClear(&MoveJournal);
    closeBoltsFrom(5);
    restoreBank();
}
