// Temporary strings are built in one shared work area by writing pieces at a
// moving position, without allocating; string variables own a heap copy.
//
// Building a string:
//     char* start = scratchStart();          // also the position to restore
//     scratchAppend("Riegel ");
//     formatLong(6, ScratchString.position);
//     scratchSeal();                         // step past the terminator
//     consume(start);                        // the consumer copies the text
//     scratchRestore(start);
#pragma once

#include "runtime/platform.h"

inline constexpr int SCRATCH_STRING_SIZE = 64000;

struct ScratchStringState {
    char* area;     // SCRATCH_STRING_SIZE bytes, zero-filled at start-up
    char* position; // where the next piece goes; rests on the last terminator
};
extern ScratchStringState ScratchString;

// A string variable owns one heap block holding its text, or is null (empty).
using StringVariable = char*;

void openScratchString();

// The area's last byte is kept for a terminator: no piece is ever written
// past it. Pieces that do not fit are cut there.
char* scratchLastByte();
// Bytes a piece may still take at the position, terminator included (at least 1).
int scratchRoom();

void scratchAppend(const char* text);
char* formatLong(LONG value, char* destination);

char* scratchStart();
void scratchSeal();
void scratchRestore(char* saved);

// For text results: `length` bytes have been written at the position; the
// position moves onto their end (never past the last byte) and a terminator
// is stored there.
void scratchCommit(int length);

int assignString(StringVariable* variable, const char* text);
