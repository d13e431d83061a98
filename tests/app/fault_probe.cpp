// A program that faults on purpose behind the process-wide fault handler:
// "segv" or "fpe" on its command line installs that signal handler first,
// which ends the process with the signal's number. With "nowindow" it runs
// the program itself instead, with every top-level window refused.
// "raise" followed by exception codes in hex raises each code in turn (with
// "segv" or "fpe" before it) and ends with bit i of the exit code set when
// the i-th code reached that signal handler. With "none" it raises a fault
// that no signal handler is there for: an array-bounds fault, which neither
// a crash nor an emulated processor gives, carrying the probe's mark.
#include "runtime/process_entry.h"

#include <intrin.h>
#include <signal.h>
#include <stdlib.h>
#include <string.h>

namespace {

void __cdecl endWithSignalNumber(int signalNumber) {
    ExitProcess(static_cast<UINT>(signalNumber));
}

// Written by the signal handler, inside the raise.
volatile int signalSeen;

void __cdecl recordSignal(int signalNumber) {
    signalSeen = signalNumber;
}

// Raises each code in turn and ends with the codes that reached the signal
// handler, one bit each.
[[noreturn]] void raiseEachCodeInTurn(const char* codes, int signalNumber) {
    UINT reached = 0;
    char* next = nullptr;
    for (int i = 0; i < 31; ++i, codes = next) {
        DWORD code = strtoul(codes, &next, 16);
        if (next == codes) {
            break;
        }
        // Delivering a signal resets its handler.
        signal(signalNumber, recordSignal);
        signalSeen = 0;
        RaiseException(code, 0, 0, nullptr);
        if (signalSeen == signalNumber) {
            reached |= 1u << i;
        }
    }
    ExitProcess(reached);
}

// Behind the fault handler: a raised code that the handler passed on lets the
// probe go on with the next one.
EXCEPTION_DISPOSITION __cdecl goOnAfterTheRaise(EXCEPTION_RECORD* record, void*, CONTEXT*, void*) {
    constexpr DWORD unwinding = EXCEPTION_UNWINDING | EXCEPTION_EXIT_UNWIND;
    return record->ExceptionFlags & unwinding ? ExceptionContinueSearch
                                              : ExceptionContinueExecution;
}

// The fault handler in front of the catcher, each in a frame that is never
// left; the handler's frame is the inner one, as on any thread's chain.
[[noreturn]] __attribute__((noinline)) void raiseEachCodeBehindTheHandler(const char* codes,
                                                                          int signalNumber) {
    FaultRegistration handler;
    installFaultHandler(&handler);
    raiseEachCodeInTurn(codes, signalNumber);
}

[[noreturn]] void raiseEachCode(const char* codes, int signalNumber) {
    FaultRegistration goOn;
    goOn.previous = reinterpret_cast<FaultRegistration*>(__readfsdword(0));
    goOn.handler = goOnAfterTheRaise;
    __writefsdword(0, reinterpret_cast<DWORD>(&goOn));
    raiseEachCodeBehindTheHandler(codes, signalNumber);
}

LRESULT CALLBACK refuseTopLevelWindows(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND && !reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent) {
        return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace

extern "C" __attribute__((force_align_arg_pointer)) void faultProbeEntry() {
    FaultRegistration registration;
    installFaultHandler(&registration);
    // No crash dialog or debugger: the probe's end is all that is looked at.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const char* commandLine = GetCommandLineA();
    if (strstr(commandLine, " nowindow")) {
        SetWindowsHookExA(WH_CBT, refuseTopLevelWindows, nullptr, GetCurrentThreadId());
        processEntry();
    }
    if (const char* codes = strstr(commandLine, " raise ")) {
        raiseEachCode(codes + 7, strstr(commandLine, " segv") ? SIGSEGV : SIGFPE);
    }
    if (strstr(commandLine, " segv")) {
        signal(SIGSEGV, endWithSignalNumber);
    }
    if (strstr(commandLine, " fpe")) {
        signal(SIGFPE, endWithSignalNumber);
    }
    if (strstr(commandLine, " none")) {
        constexpr ULONG_PTR PROBE_MARK = 0x0BADB0B5;
        RaiseException(EXCEPTION_ARRAY_BOUNDS_EXCEEDED, EXCEPTION_NONCONTINUABLE, 1, &PROBE_MARK);
    }
    *static_cast<volatile int*>(nullptr) = 1;
    ExitProcess(1);
}
