// The process entry: the fault handler, the command line, and the call of the
// main routine. Like a C runtime's start-up calling `main`, the entry knows
// nothing of the program: the application provides the main routine.
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
// Provided by the application; the process ends with its result should it return.
int mainRoutine(HINSTANCE instance, HINSTANCE previous, const char* commandTail, int show);
