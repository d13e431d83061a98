// The six bolts of the lock, the rule that says which bolt may move, and the
// single recorded move. Bolt index i is shown to the user as "Riegel i+1".
#pragma once

#include "runtime/linked_list.h"

inline constexpr int BOLT_COUNT = 6;
inline constexpr signed char BOLT_CLOSED = 1;
inline constexpr signed char BOLT_OPEN = 0;

// One-byte cells 0..6 of a dynamic array; cells 0..5 hold the bolts.
extern signed char* BoltBank;
extern signed char* backupBank;
// One 32-bit bolt index per move of the last plan, in the order of the moves.
extern LinkedList MoveJournal;

// Creates (anew) the bank and its backup with every bolt closed.
void createBoltBanks();
void clearBoltState();

int canMoveBolt(int n);
void moveBolt(int n);
// A move the user makes: flips the bolt without recording it.
void flipBolt(int n);
int journalEntry(ListElement* element);
