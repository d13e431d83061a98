#include "runtime/process_entry.h"

#include "runtime/command_line.h"

#include <intrin.h>
#include <signal.h>
#include <stdlib.h>

// From CRTDLL: fills the argument count, vector and environment.
extern "C" void __cdecl __GetMainArgs(int* argc, char*** argv, char*** env, int expandWildcards);

namespace {

constexpr DWORD SEH_CHAIN_OFFSET = 0;
constexpr int SHOW_NORMAL = 1;
constexpr DWORD UNWINDING_FLAGS = EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND;

bool isProcessorFault(DWORD code) {
    switch (code) {
    case EXCEPTION_ACCESS_VIOLATION:
    case EXCEPTION_ARRAY_BOUNDS_EXCEEDED:
    case EXCEPTION_DATATYPE_MISALIGNMENT:
    case EXCEPTION_FLT_DENORMAL_OPERAND:
    case EXCEPTION_FLT_DIVIDE_BY_ZERO:
    case EXCEPTION_FLT_INEXACT_RESULT:
    case EXCEPTION_FLT_INVALID_OPERATION:
    case EXCEPTION_FLT_OVERFLOW:
    case EXCEPTION_FLT_STACK_CHECK:
    case EXCEPTION_FLT_UNDERFLOW:
    case EXCEPTION_INT_DIVIDE_BY_ZERO:
    case EXCEPTION_INT_OVERFLOW:
    case EXCEPTION_ILLEGAL_INSTRUCTION:
    case EXCEPTION_PRIV_INSTRUCTION:
    case EXCEPTION_IN_PAGE_ERROR:
    case EXCEPTION_STACK_OVERFLOW:
        return true;
    default:
        return false;
    }
}

// Asking for the handler resets it, so a handler that was there goes back
// before the signal is raised (raising resets it once more).
bool raiseToInstalledHandler(int signalNumber) {
    __p_sig_fn_t handler = signal(signalNumber, SIG_DFL);
    if (handler == SIG_DFL || handler == SIG_ERR) {
        return false;
    }
    signal(signalNumber, handler);
    raise(signalNumber);
    return true;
}

// Guards no region of its own: a fault nobody handled is shown to a signal
// handler, if the program had installed one, and then goes on to the
// system's default handling, which ends the process. No fault is survived.
EXCEPTION_DISPOSITION __cdecl processFaultHandler(EXCEPTION_RECORD* record, void*, CONTEXT*,
                                                  void*) {
    if ((record->ExceptionFlags & UNWINDING_FLAGS) == 0 &&
        isProcessorFault(record->ExceptionCode)) {
        if (!raiseToInstalledHandler(SIGSEGV)) {
            raiseToInstalledHandler(SIGFPE);
        }
    }
    return ExceptionContinueSearch;
}

} // namespace

void installFaultHandler(FaultRegistration* registration) {
    registration->previous = reinterpret_cast<FaultRegistration*>(__readfsdword(SEH_CHAIN_OFFSET));
    registration->handler = processFaultHandler;
    __writefsdword(SEH_CHAIN_OFFSET, reinterpret_cast<DWORD>(registration));
}

// The system enters here directly; the toolchain's start-up code is not
// linked. The registration lives in this frame, which is never left.
extern "C" __attribute__((force_align_arg_pointer)) void processEntry() {
    FaultRegistration registration;
    installFaultHandler(&registration);

    int argumentCount;
    char** arguments;
    char** environment;
    __GetMainArgs(&argumentCount, &arguments, &environment, 0);

    const char* tail = skipProgramName(GetCommandLineA());
    HINSTANCE instance = GetModuleHandleA(nullptr);
    exit(mainRoutine(instance, nullptr, tail, SHOW_NORMAL));
}
