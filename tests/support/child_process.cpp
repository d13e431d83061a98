#include "tests/support/child_process.h"

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
