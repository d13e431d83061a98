// The beginning and the end of the process. The entry itself lives with the
// executable alone; the start-up and the end sequence are in app/, beside the
// state they clear, so that tests can run the start-up too.
#pragma once

#include <windows.h>

extern "C" void processEntry();

// One link of the thread's structured exception chain (FS:[0]). The system
// accepts only links on the thread's stack, so the caller provides it in a
// frame that is never left.
struct FaultRegistration {
    FaultRegistration* previous;
    EXCEPTION_DISPOSITION(__cdecl* handler)
    (EXCEPTION_RECORD* record, void* frame, CONTEXT* context, void* dispatcher);
};
// Puts the process-wide fault handler in front of the thread's chain.
void installFaultHandler(FaultRegistration* registration);
int mainRoutine(HINSTANCE instance, HINSTANCE previous, const char* commandTail, int show);
void clearRuntimeState();
void runtimeStartup();
[[noreturn]] void endProgram();
// The end sequence with another exit code, for a program that could not start.
[[noreturn]] void endProgramWithCode(UINT exitCode);
