// The beginning and the end of the process. The entry itself lives with the
// executable alone; the start-up and the end sequence are in app/, beside the
// state they clear, so that tests can run the start-up too.
#pragma once

#include <windows.h>

extern "C" void processEntry();
int mainRoutine(HINSTANCE instance, HINSTANCE previous, const char* commandTail, int show);
void clearRuntimeState();
void runtimeStartup();
[[noreturn]] void endProgram();
// The end sequence with another exit code, for a program that could not start.
[[noreturn]] void endProgramWithCode(UINT exitCode);
