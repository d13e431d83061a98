// The finished program, from outside: its resources, and a run that ends
// when its window is closed.
#include "tests/support/child_process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD START_TIMEOUT_MS = 20000;
constexpr DWORD END_TIMEOUT_MS = 20000;
constexpr DWORD FAULT_TIMEOUT_MS = 10000;

const char* programPath() {
    return VELMORIN_PROGRAM;
}

std::string versionString(const std::string& name) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(programPath(), &ignored);
    if (size == 0) {
        return "";
    }
    std::string data(size, '\0');
    if (!GetFileVersionInfoA(programPath(), 0, size, data.data())) {
        return "";
    }
    void* value = nullptr;
    UINT length = 0;
    std::string path = "\\StringFileInfo\\040704E4\\" + name;
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

    EXPECT_EQ(versionString("ProductName"), "Velmorin");
    EXPECT_EQ(versionString("ProductVersion"), "1.0.0.0");
    EXPECT_EQ(versionString("FileVersion"), "1.0.0.0");
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

DWORD runFaultProbe(const char* argument) {
    return runToEnd(FAULT_PROBE, argument, FAULT_TIMEOUT_MS);
}

} // namespace

TEST(FaultHandler, HandsAFaultToAnInstalledSegvHandler) {
    EXPECT_EQ(runFaultProbe("segv"), 11u);
    EXPECT_EQ(runFaultProbe("segv fpe"), 11u);
}

TEST(Program, EndsWithCodeTwoWhenItsWindowCannotOpen) {
    EXPECT_EQ(runFaultProbe("nowindow"), 2u);
}

TEST(FaultHandler, FallsBackToAnInstalledFpeHandler) {
    EXPECT_EQ(runFaultProbe("fpe"), 8u);
}

namespace {

// Runs the probe under this process as its debugger and gives the code of
// the fault that came back as unhandled (the debugger's last chance), or 0.
// Without a debugger the system would start one of its own.
DWORD lastChanceFaultOfProbe() {
    std::string commandLine = std::string("\"") + FAULT_PROBE + "\" none";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(FAULT_PROBE, commandLine.data(), nullptr, nullptr, FALSE,
                        DEBUG_ONLY_THIS_PROCESS, nullptr, nullptr, &startup, &process)) {
        return 0;
    }
    DWORD lastChance = 0;
    DEBUG_EVENT event;
    while (WaitForDebugEvent(&event, FAULT_TIMEOUT_MS)) {
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
            } else {
                lastChance = info.ExceptionRecord.ExceptionCode;
                TerminateProcess(process.hProcess, lastChance);
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
    // which ends the process: no fault is survived.
    EXPECT_EQ(lastChanceFaultOfProbe(), static_cast<DWORD>(EXCEPTION_ACCESS_VIOLATION));
}
