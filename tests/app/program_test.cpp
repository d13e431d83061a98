// The finished program, from outside: its resources, and a run that ends
// when its window is closed.
#include "tests/support/child_process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

// These bound a hang only: an emulated processor under load starts and ends
// the program, and runs the probe, many times more slowly than a real one.
constexpr DWORD START_TIMEOUT_MS = 90000;
constexpr DWORD END_TIMEOUT_MS = 60000;
constexpr DWORD FAULT_TIMEOUT_MS = 120000;

const char* programPath() {
    return VELMORIN_PROGRAM;
}

// The program's version block; empty when it has none.
std::string versionBlock() {
    DWORD ignored = 0;
    std::string data(GetFileVersionInfoSizeA(programPath(), &ignored), '\0');
    if (!GetFileVersionInfoA(programPath(), 0, data.size(), data.data())) {
        return "";
    }
    return data;
}

// A string of the block as Explorer reads it: under the first language and
// code page the block names for its strings.
std::string versionString(const std::string& data, const std::string& name) {
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        length < 2 * sizeof(WORD)) {
        return "";
    }
    const WORD* translation = static_cast<const WORD*>(value);
    char block[32];
    std::snprintf(block, sizeof block, "\\StringFileInfo\\%04x%04x\\", translation[0],
                  translation[1]);
    std::string path = block + name;
    if (!VerQueryValueA(data.data(), path.c_str(), &value, &length) || length == 0) {
        return "";
    }
    return static_cast<const char*>(value);
}

HWND findProgramWindow(DWORD processId) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < START_TIMEOUT_MS) {
        for (HWND window = FindWindowA("WindowClass_0", "Velmorin"); window;
             window = FindWindowExA(nullptr, window, "WindowClass_0", "Velmorin")) {
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            // The window shows before its controls exist; "Alles Zu" comes last.
            if (owner == processId && GetDlgItem(window, 4)) {
                return window;
            }
        }
        Sleep(50);
    }
    return nullptr;
}

} // namespace

TEST(Program, CarriesItsIconAndVersionInformation) {
    HMODULE image = LoadLibraryExA(programPath(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(image, nullptr) << programPath();
    // The window class asks for icon resource 1.
    EXPECT_NE(FindResourceA(image, MAKEINTRESOURCEA(1), RT_GROUP_ICON), nullptr);
    HICON icon = static_cast<HICON>(LoadImageA(image, MAKEINTRESOURCEA(1), IMAGE_ICON, 32, 32, 0));
    EXPECT_NE(icon, nullptr);
    if (icon) {
        DestroyIcon(icon);
    }
    FreeLibrary(image);

    // The fixed part, and every string that Explorer's details show.
    const std::string data = versionBlock();
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(data.data(), "\\", &value, &length)) << programPath();
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    unsigned major = 0, minor = 0, patch = 0;
    ASSERT_EQ(std::sscanf(VELMORIN_VERSION, "%u.%u.%u", &major, &minor, &patch), 3);
    EXPECT_EQ(fixed->dwFileVersionMS, major << 16 | minor);
    EXPECT_EQ(fixed->dwFileVersionLS, patch << 16);
    EXPECT_EQ(fixed->dwProductVersionMS, major << 16 | minor);
    EXPECT_EQ(fixed->dwProductVersionLS, patch << 16);
    const char* const strings[][2] = {
        {"FileDescription", "Velmorin - Riegelschloss mit sechs Riegeln"},
        {"FileVersion", VELMORIN_VERSION ".0"},
        {"InternalName", "velmorin"},
        {"OriginalFilename", "velmorin.exe"},
        {"ProductName", "Velmorin"},
        {"ProductVersion", VELMORIN_VERSION ".0"}};
    for (const auto& [name, text] : strings) {
        EXPECT_EQ(versionString(data, name), text) << name;
    }
}

TEST(Program, RunsWithArgumentsAndEndsWithZeroWhenItsWindowCloses) {
    std::string commandLine = std::string("\"") + programPath() + "\"   ignored \"two words\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(programPath(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, &startup, &process));
    HWND window = findProgramWindow(process.dwProcessId);
    EXPECT_NE(window, nullptr);
    if (window) {
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, 140);
        EXPECT_EQ(client.bottom, 400);
        EXPECT_NE(GetDlgItem(window, 0), nullptr);
        PostMessageA(window, WM_CLOSE, 0, 0);
    }
    DWORD ended = WaitForSingleObject(process.hProcess, window ? END_TIMEOUT_MS : 0);
    // A program that is still running is ended before anything is judged, so
    // that no window of it is left for the suites after this one.
    if (ended != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, END_TIMEOUT_MS);
    }
    DWORD exitCode = 1234;
    GetExitCodeProcess(process.hProcess, &exitCode);
    if (window) {
        EXPECT_EQ(ended, WAIT_OBJECT_0) << "the program did not end when its window closed";
        EXPECT_EQ(exitCode, 0u);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

namespace {

DWORD runFaultProbe(const std::string& arguments) {
    return runToEnd(FAULT_PROBE, arguments, FAULT_TIMEOUT_MS);
}

struct RaisedCode {
    DWORD code;
    bool processorFault;
};

// Every processor fault, and codes beside them that are none.
// clang-format off
const RaisedCode RAISED_CODES[] = {
    {EXCEPTION_ACCESS_VIOLATION, true},      {EXCEPTION_ARRAY_BOUNDS_EXCEEDED, true},
    {EXCEPTION_DATATYPE_MISALIGNMENT, true}, {EXCEPTION_FLT_DENORMAL_OPERAND, true},
    {EXCEPTION_FLT_DIVIDE_BY_ZERO, true},    {EXCEPTION_FLT_INEXACT_RESULT, true},
    {EXCEPTION_FLT_INVALID_OPERATION, true}, {EXCEPTION_FLT_OVERFLOW, true},
    {EXCEPTION_FLT_STACK_CHECK, true},       {EXCEPTION_FLT_UNDERFLOW, true},
    {EXCEPTION_INT_DIVIDE_BY_ZERO, true},    {EXCEPTION_INT_OVERFLOW, true},
    {EXCEPTION_ILLEGAL_INSTRUCTION, true},   {EXCEPTION_PRIV_INSTRUCTION, true},
    {EXCEPTION_IN_PAGE_ERROR, true},         {EXCEPTION_STACK_OVERFLOW, true},
    {EXCEPTION_INVALID_HANDLE, false},       {0xE0000001, false},
    {STATUS_NO_MEMORY, false},               {STATUS_DLL_NOT_FOUND, false},
};
// clang-format on

// The probe raises each code in turn with one signal handler installed and
// tells by its exit code which codes reached it.
void expectEveryProcessorFaultReaches(const char* signalHandler) {
    std::string arguments = std::string(signalHandler) + " raise";
    char code[16];
    for (const RaisedCode& raised : RAISED_CODES) {
        std::snprintf(code, sizeof code, " %lx", static_cast<unsigned long>(raised.code));
        arguments += code;
    }
    DWORD reached = runFaultProbe(arguments);
    constexpr DWORD count = sizeof RAISED_CODES / sizeof RAISED_CODES[0];
    ASSERT_EQ(reached >> count, 0u)
        << "the probe did not go through the codes: exit code 0x" << std::hex << reached;
    for (DWORD i = 0; i < count; ++i) {
        const RaisedCode& raised = RAISED_CODES[i];
        EXPECT_EQ(((reached >> i) & 1) != 0, raised.processorFault)
            << "exception 0x" << std::hex << raised.code
            << (raised.processorFault ? " must reach " : " must not reach ") << "the "
            << signalHandler << " handler";
    }
}

} // namespace

TEST(FaultHandler, HandsAFaultToAnInstalledSegvHandler) {
    EXPECT_EQ(runFaultProbe("segv"), 11u);
    EXPECT_EQ(runFaultProbe("segv fpe"), 11u);
    expectEveryProcessorFaultReaches("segv");
}

TEST(Program, EndsWithCodeTwoWhenItsWindowCannotOpen) {
    EXPECT_EQ(runFaultProbe("nowindow"), 2u);
}

TEST(FaultHandler, FallsBackToAnInstalledFpeHandler) {
    EXPECT_EQ(runFaultProbe("fpe"), 8u);
    expectEveryProcessorFaultReaches("fpe");
}

namespace {

// Runs the probe under this process as its debugger and gives the fault that
// came back as unhandled (the debugger's last chance), or a record of zeros.
// Without a debugger the system would start one of its own. A fault that is
// taken up again and again sends events without end, so the whole run, not
// each wait, has the deadline.
EXCEPTION_RECORD lastChanceFaultOfProbe() {
    std::string commandLine = std::string("\"") + FAULT_PROBE + "\" none";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    EXCEPTION_RECORD lastChance = {};
    if (!CreateProcessA(FAULT_PROBE, commandLine.data(), nullptr, nullptr, FALSE,
                        DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &process)) {
        return lastChance;
    }
    int firstChances = 0;
    DWORD start = GetTickCount();
    DEBUG_EVENT event;
    for (;;) {
        DWORD waited = GetTickCount() - start;
        if (waited >= FAULT_TIMEOUT_MS || !WaitForDebugEvent(&event, FAULT_TIMEOUT_MS - waited)) {
            ADD_FAILURE() << "waiting as its debugger for the fault probe to end: not ended within "
                          << FAULT_TIMEOUT_MS << " ms, after " << firstChances
                          << " first-chance faults";
            TerminateProcess(process.hProcess, 99);
            DebugActiveProcessStop(process.dwProcessId);
            break;
        }
        DWORD status = DBG_CONTINUE;
        if (event.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT &&
            event.u.CreateProcessInfo.hFile) {
            CloseHandle(event.u.CreateProcessInfo.hFile);
        } else if (event.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && event.u.LoadDll.hFile) {
            CloseHandle(event.u.LoadDll.hFile);
        } else if (event.dwDebugEventCode == EXCEPTION_DEBUG_EVENT) {
            const EXCEPTION_DEBUG_INFO& info = event.u.Exception;
            if (info.ExceptionRecord.ExceptionCode == EXCEPTION_BREAKPOINT) {
                status = DBG_CONTINUE;
            } else if (info.dwFirstChance) {
                status = DBG_EXCEPTION_NOT_HANDLED;
                ++firstChances;
            } else {
                lastChance = info.ExceptionRecord;
                TerminateProcess(process.hProcess, lastChance.ExceptionCode);
            }
        }
        ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
        if (event.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) {
            break;
        }
    }
    if (WaitForSingleObject(process.hProcess, FAULT_TIMEOUT_MS) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 99);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return lastChance;
}

} // namespace

TEST(FaultHandler, WithoutSignalHandlersTheFaultGoesOnUnhandled) {
    // The handler lets the fault pass on to the system's default handling,
    // which ends the process: no fault is survived. The probe's own fault,
    // with its mark, not one of the handler's or an emulated processor's.
    EXCEPTION_RECORD lastChance = lastChanceFaultOfProbe();
    EXPECT_EQ(lastChance.ExceptionCode, 0xC000008Cu);
    ASSERT_EQ(lastChance.NumberParameters, 1u);
    EXPECT_EQ(lastChance.ExceptionInformation[0], 0x0BADB0B5u);
    // And without a debugger, the only run in which the system asks the
    // unhandled-exception filter: one that resumed the fault would spin on it.
    DWORD end = runFaultProbe("none");
    EXPECT_EQ(end, 0xC000008Cu)
        << (end == CHILD_HUNG ? "the probe still ran after its deadline, caught in its fault" : "");
}
