// The beginning and the end of the process.
#pragma once

#include <windows.h>

extern "C" void processEntry();
int mainRoutine(HINSTANCE instance, HINSTANCE previous, const char* commandTail, int show);
void clearRuntimeState();
void runtimeStartup();
[[noreturn]] void endProgram();
