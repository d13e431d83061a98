// Where the Windows documentation describes a behaviour differently from what
// Wine shows, a test accepts the documented one too, but only when it runs on
// Windows itself, and says why in one line. Under Wine, where the suites run
// every day, the test still pins what Wine does: no check is loosened there.
#pragma once

#include <windows.h>

inline bool runningUnderWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// True when `documented` holds and the test runs on Windows.
inline bool documentedOnWindows(bool documented) {
    return documented && !runningUnderWine();
}
