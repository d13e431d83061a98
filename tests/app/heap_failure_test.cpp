// Every request that the program makes of its runtime heap, from HeapCreate
// through start-up, "Zufall", two reports and their way back, is refused in
// turn, one run of the probe per request; each run must end at once with the
// out-of-memory exit code, 3: not with a fault, not by hanging, not by going on.
#include "tests/support/child_process.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

// Bounds a hang only; a run takes a fraction of a second natively, a few
// seconds on an emulated processor under load.
constexpr DWORD RUN_DEADLINE_MS = 120000;
// The probe's counting runs end with this plus the count.
constexpr DWORD COUNT_BASE = 100000;

// The runs are independent, and a run spends part of its time waiting for the
// wineserver: three at a time keep two processors busy.
constexpr unsigned RUNS_AT_ONCE = 3;

std::vector<DWORD> runProbes(const std::vector<std::string>& argumentLists) {
    return runEachToEnd(HEAP_FAILURE_PROBE, argumentLists, RUN_DEADLINE_MS, RUNS_AT_ONCE);
}

std::string describe(DWORD exitCode) {
    switch (exitCode) {
    case 11:
    case 8:
        return "the fault handler ran (signal " + std::to_string(exitCode) + ")";
    case 0:
        return "the session went on to its normal end";
    case CHILD_HUNG:
        return "hung";
    case CHILD_NOT_STARTED:
        return "could not be started";
    default:
        return "exit code " + std::to_string(exitCode);
    }
}

struct RequestClass {
    const char* name;
    long first; // numbers of the requests, 1 for HeapCreate
    long last;
};

} // namespace

TEST(HeapFailure, EveryRefusedRequestEndsTheProgramWithCode3) {
    // The requests up to the end of each step, counted in runs that refuse none.
    const char* stepNames[] = {
        "start-up", "Zufall", "\"Alles Auf\" report", "its Back", "\"Alles Zu\" report",
        "its Back"};
    std::vector<std::string> countRuns;
    for (int step = 0; step < 6; ++step) {
        countRuns.push_back("count " + std::to_string(step));
    }
    std::vector<DWORD> counts = runProbes(countRuns);
    std::vector<RequestClass> classes = {{"HeapCreate", 1, 1}};
    long counted = 1;
    for (int step = 0; step < 6; ++step) {
        DWORD code = counts[step];
        ASSERT_TRUE(code > COUNT_BASE && code < 2 * COUNT_BASE)
            << stepNames[step] << ": " << describe(code);
        long total = static_cast<long>(code - COUNT_BASE);
        ASSERT_GE(total, counted) << stepNames[step];
        classes.push_back({stepNames[step], counted + 1, total});
        counted = total;
    }

    // Every request refused in turn; and, with nothing refused, the session
    // runs to the close, nothing more being asked for after the last step.
    std::vector<std::string> failRuns;
    for (long n = 1; n <= counted + 1; ++n) {
        failRuns.push_back("fail " + std::to_string(n));
    }
    std::vector<DWORD> exitCodes = runProbes(failRuns);
    ASSERT_EQ(exitCodes.at(counted), 0u) << describe(exitCodes.at(counted));

    for (const RequestClass& requests : classes) {
        int endedWith3 = 0;
        for (long n = requests.first; n <= requests.last; ++n) {
            DWORD exitCode = exitCodes[n - 1];
            EXPECT_EQ(exitCode, 3u)
                << requests.name << ", request " << n << ": " << describe(exitCode);
            endedWith3 += exitCode == 3;
        }
        if (requests.last < requests.first) {
            std::printf("%s: no requests\n", requests.name);
        } else {
            std::printf("%s: requests %ld to %ld (%ld), %d of them ended with exit code 3\n",
                        requests.name, requests.first, requests.last,
                        requests.last - requests.first + 1, endedWith3);
        }
    }
    std::printf("swept %ld requests\n", counted);
}
