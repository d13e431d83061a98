// The beginning and the end of the program: the runtime's preparation, the
// main routine that the process entry calls, and the end sequence. They live
// with the application, beside the state they clear, so that tests can run
// the start-up too.
#pragma once

#include <windows.h>

void clearRuntimeState();
void runtimeStartup();
[[noreturn]] void endProgram();
// The end sequence with another exit code, for a program that could not start.
[[noreturn]] void endProgramWithCode(UINT exitCode);
