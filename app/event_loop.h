// The main loop: one pass per event; row clicks flip bolts, buttons run
// their commands, closing the window ends the program.
#pragma once

#include "runtime/scratch_string.h"

extern int forceRefresh;
extern int selectedRow;
extern StringVariable statusText;

void clearEventLoopState();
// One pass of the loop; returns the event it waited for. On EVENT_CLOSE the
// window has been closed and the caller ends the program.
int runEventPass();
[[noreturn]] void runEventLoop();
void refreshBoltList();
