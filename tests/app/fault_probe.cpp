// A program that faults on purpose behind the process-wide fault handler:
// "segv" or "fpe" on its command line installs that signal handler first,
// which ends the process with the signal's number. With "nowindow" it runs
// the program itself instead, with every top-level window refused.
#include "runtime/process_entry.h"

#include <signal.h>
#include <string.h>

namespace {

void __cdecl endWithSignalNumber(int signalNumber) {
    ExitProcess(static_cast<UINT>(signalNumber));
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
    if (strstr(commandLine, " segv")) {
        signal(SIGSEGV, endWithSignalNumber);
    }
    if (strstr(commandLine, " fpe")) {
        signal(SIGFPE, endWithSignalNumber);
    }
    *static_cast<volatile int*>(nullptr) = 1;
    ExitProcess(1);
}
