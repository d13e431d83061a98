// Runs another program of the suite to its end, for tests that look only at
// how it ended.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// What `runToEnd` gives when the program could not be started, or had not
// ended by the deadline (it is then ended).
inline constexpr DWORD CHILD_NOT_STARTED = 0xFFFFFFFF;
inline constexpr DWORD CHILD_HUNG = 0xFFFFFFFE;

// Starts `program` with `arguments` and returns its exit code. The deadline
// only bounds a hang.
DWORD runToEnd(const char* program, const std::string& arguments, DWORD deadlineMs);

// Runs `program` once for each entry of `argumentLists`, `atOnce` runs at a
// time, and returns their exit codes in the same order, each as `runToEnd`.
std::vector<DWORD> runEachToEnd(const char* program, const std::vector<std::string>& argumentLists,
                                DWORD deadlineMs, unsigned atOnce);
