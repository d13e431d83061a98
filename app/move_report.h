// The report beside the bolt list: the number of moves of the last plan and
// one line per move; the command buttons are locked while it is shown.
#pragma once

void showMoveReport();
void leaveMoveReport();
