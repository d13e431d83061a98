#include "core/bolt_bank.h"

#include "runtime/dynamic_array.h"

#include <cstdint>

signed char* BoltBank;
signed char* backupBank;
LinkedList MoveJournal;

namespace {

constexpr int BANK_UPPER_BOUND = 6;

signed char* recreateBank(signed char* old) {
    arrayFree(old);
    return static_cast<signed char*>(arrayCreate(1, BANK_UPPER_BOUND));
}

// Every bolt below `n` is closed; the scan runs over all of them.
bool allClosedBelow(int n) {
    bool allClosed = true;
    for (int i = n - 1; i >= 0; --i) {
        if (BoltBank[i] == BOLT_OPEN) {
            allClosed = false;
        }
    }
    return allClosed;
}

} // namespace

void createBoltBanks() {
    BoltBank = recreateBank(BoltBank);
    backupBank = recreateBank(backupBank);
    for (int i = 0; i < BOLT_COUNT; ++i) {
        BoltBank[i] = BOLT_CLOSED;
    }
}

void clearBoltState() {
    BoltBank = nullptr;
    backupBank = nullptr;
    MoveJournal = {};
}

int canMoveBolt(int n) {
    switch (n) {
    case 0:
        return 1;
    case 1:
        return BoltBank[0] == BOLT_OPEN;
    case 2:
    case 3:
    case 4:
        return BoltBank[n - 1] == BOLT_OPEN && allClosedBelow(n - 1);
    case 5:
        // The last bolt only needs all others closed, not the one below open.
        return allClosedBelow(5);
    default:
        return 0;
    }
}

void moveBolt(int n) {
    ListElement* element = listAdd(&MoveJournal);
    *static_cast<std::int32_t*>(listElementData(element)) = n;
    flipBolt(n);
}

void flipBolt(int n) {
    BoltBank[n] = static_cast<signed char>(1 - BoltBank[n]);
}

int journalEntry(ListElement* element) {
    return *static_cast<std::int32_t*>(listElementData(element));
}
