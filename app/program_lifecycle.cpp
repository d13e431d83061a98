#include "app/program_lifecycle.h"

#include "app/event_loop.h"
#include "app/main_window.h"
#include "runtime/heap.h"
#include "runtime/process_entry.h"
#include "runtime/random.h"
#include "runtime/scratch_string.h"
#include "toolkit/controls/control_table.h"
#include "toolkit/window/window_table.h"

void clearRuntimeState() {
    RuntimeHeap = nullptr;
    instanceHandle = nullptr;
    // Not zero: a failed allocation must still end the process cleanly.
    heapFailureHandler = endOnHeapFailure;
    ScratchString = {};
    randomState = {};
    clearApplicationState();
    clearEventLoopState();
}

// Every allocation below ends the process with EXIT_CODE_OUT_OF_MEMORY when
// the heap cannot supply it, the scratch area included, so nothing after this
// ever sees a missing block.
void runtimeStartup() {
    clearRuntimeState();
    openRuntimeHeap();
    rngSeedFromClock();
    initControls();
    initWindows();
    openScratchString();
}

// The entry's arguments are not used: the instance handle is fetched again
// and the program reads no command line.
int mainRoutine(HINSTANCE, HINSTANCE, const char*, int) {
    runtimeStartup();
    applicationStartup();
    if (!mainWindowOpen) {
        // Nothing could be shown and nothing could ever close the program.
        endProgramWithCode(EXIT_CODE_NO_WINDOW);
    }
    runEventLoop();
}

void endProgramWithCode(UINT exitCode) {
    closeAllWindows();
    closeRuntimeHeap();
    ExitProcess(exitCode);
}

void endProgram() {
    endProgramWithCode(0);
}
