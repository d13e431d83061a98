// The program's start-up and a fixed session on a runtime heap whose requests
// (HeapCreate, then every allocation and reallocation) are counted:
//   fail N   refuses the Nth request (0: none) and plays the whole session,
//            which ends by closing the window, so with exit code 0;
//   count S  ends with 100000 + the number of requests made up to the end of
//            step S (0 start-up, 1 "Zufall", 2 "Alles Auf", 3 back, 4 "Alles Zu",
//            5 back), a code no other end of the probe gives.
// A processor fault reaches the program's fault handler, which hands it to
// the signal handlers installed here: they end the probe with the signal's
// number, so a fault never passes for the exit code of a refused request.
#include "app/event_loop.h"
#include "app/main_window.h"
#include "app/program_lifecycle.h"
#include "runtime/heap_requests.h"
#include "runtime/process_entry.h"
#include "runtime/random.h"
#include "toolkit/controls/control_table.h"
#include "toolkit/window/event_wait.h"
#include "toolkit/window/window_table.h"

#include <signal.h>
#include <stdlib.h>
#include <string.h>

namespace {

// The Zufall draws are the same in every run, so every run asks for the same blocks.
constexpr std::uint32_t SESSION_SEED = 20260;
constexpr int NO_STEP = -1;
constexpr UINT COUNT_BASE = 100000;
const int sessionCommands[] = {CTL_RANDOM, CTL_OPEN_ALL, CTL_BACK, CTL_CLOSE_ALL, CTL_BACK};

long requestsMade;
long refusedRequest;
int countedStep = NO_STEP;

bool refuseThisRequest() {
    ++requestsMade;
    return requestsMade == refusedRequest;
}

void __cdecl endWithSignalNumber(int signalNumber) {
    ExitProcess(static_cast<UINT>(signalNumber));
}

void endCountAfterStep(int step) {
    if (step == countedStep) {
        ExitProcess(COUNT_BASE + static_cast<UINT>(requestsMade));
    }
}

// As a click on the button would: its notification to window 0, then passes
// of the loop until the loop has taken it.
void clickButton(int control) {
    HWND button = lookupControl(control)->window;
    PostMessageA(currentWindowHandle(), WM_COMMAND, MAKEWPARAM(control, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    while (runEventPass() != EVENT_CONTROL || eventSource() != control) {
    }
}

void closeMainWindow() {
    PostMessageA(currentWindowHandle(), WM_CLOSE, 0, 0);
    while (runEventPass() != EVENT_CLOSE) {
    }
    endProgram();
}

void readCommandLine() {
    const char* commandLine = GetCommandLineA();
    if (const char* fail = strstr(commandLine, " fail ")) {
        refusedRequest = atol(fail + 6);
    }
    if (const char* count = strstr(commandLine, " count ")) {
        countedStep = atoi(count + 7);
    }
}

} // namespace

HANDLE requestHeapCreate(DWORD options, SIZE_T initialSize, SIZE_T maximumSize) {
    return refuseThisRequest() ? nullptr : HeapCreate(options, initialSize, maximumSize);
}

LPVOID requestHeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    return refuseThisRequest() ? nullptr : HeapAlloc(heap, flags, bytes);
}

LPVOID requestHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T bytes) {
    return refuseThisRequest() ? nullptr : HeapReAlloc(heap, flags, block, bytes);
}

// The main routine's start-up with a fixed seed, then the session.
extern "C" __attribute__((force_align_arg_pointer)) void heapFailureProbeEntry() {
    FaultRegistration registration;
    installFaultHandler(&registration);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    signal(SIGSEGV, endWithSignalNumber);
    signal(SIGFPE, endWithSignalNumber);
    readCommandLine();

    runtimeStartup();
    rngSeed(SESSION_SEED);
    applicationStartup();
    if (!mainWindowOpen) {
        endProgramWithCode(EXIT_CODE_NO_WINDOW);
    }
    endCountAfterStep(0);
    int step = 0;
    for (int control : sessionCommands) {
        clickButton(control);
        endCountAfterStep(++step);
    }
    closeMainWindow();
}
