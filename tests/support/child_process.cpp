#include "tests/support/child_process.h"

#include <atomic>
#include <thread>

DWORD runToEnd(const char* program, const std::string& arguments, DWORD deadlineMs) {
    std::string commandLine = std::string("\"") + program + "\" " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(program, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return CHILD_NOT_STARTED;
    }
    DWORD exitCode = CHILD_HUNG;
    if (WaitForSingleObject(process.hProcess, deadlineMs) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &exitCode);
    } else {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, deadlineMs);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

std::vector<DWORD> runEachToEnd(const char* program, const std::vector<std::string>& argumentLists,
                                DWORD deadlineMs, unsigned atOnce) {
    std::vector<DWORD> exitCodes(argumentLists.size(), CHILD_NOT_STARTED);
    std::atomic<size_t> next{0};
    auto runNext = [&] {
        for (size_t i = next++; i < argumentLists.size(); i = next++) {
            exitCodes[i] = runToEnd(program, argumentLists[i], deadlineMs);
        }
    };
    std::vector<std::thread> runners;
    for (unsigned k = 0; k < atOnce; ++k) {
        runners.emplace_back(runNext);
    }
    for (std::thread& runner : runners) {
        runner.join();
    }
    return exitCodes;
}
