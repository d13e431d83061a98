// A program that faults on purpose behind the process-wide fault handler:
// "segv" or "fpe" on its command line installs that signal handler first,
// which ends the process with the signal's number.
#include "runtime/process_entry.h"

#include <signal.h>
#include <string.h>

namespace {

void __cdecl endWithSignalNumber(int signalNumber) {
    ExitProcess(static_cast<UINT>(signalNumber));
}

} // namespace

extern "C" __attribute__((force_align_arg_pointer)) void faultProbeEntry() {
    FaultRegistration registration;
    installFaultHandler(&registration);
    // No crash dialog or debugger: the probe's end is all that is looked at.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const char* commandLine = GetCommandLineA();
    if (strstr(commandLine, " segv")) {
        signal(SIGSEGV, endWithSignalNumber);
    }
    if (strstr(commandLine, " fpe")) {
        signal(SIGFPE, endWithSignalNumber);
    }
    *static_cast<volatile int*>(nullptr) = 1;
    ExitProcess(1);
}
