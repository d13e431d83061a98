// Runs Windows programs under Wine from the host and plays the user: real
// clicks and key strokes on the X display through xdotool, and a long-lived
// probe process that reads the program's windows on request.
//
// Everything runs in the Wine prefix and on the display of the environment
// (scripts/with-wine sets both), so the program and the probe share one
// virtual desktop whose coordinates are those of the X screen.
#pragma once

#include "tests/e2e/probe_report.h"
#include "tests/support/display_input.h"

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

using Milliseconds = std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// The Windows build tree whose programs are run: $VELMORIN_WIN32_BUILD, or
// the tree the tests were configured with.
std::string win32BuildDir();

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    ~ChildProcess();

    // Starts argv[0] from PATH; stdinFd/stdoutFd -1 keep the test's own.
    bool start(const std::vector<std::string>& argv, int stdinFd = -1, int stdoutFd = -1);
    bool running();
    // The exit code once the process has ended within the timeout.
    std::optional<int> waitExit(Milliseconds timeout);
    void kill();
    pid_t pid() const { return pid_; }

  private:
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

struct HitTest {
    int code = 0;        // HTCAPTION, HTCLOSE, HTCLIENT, ...
    bool inside = false; // the point's window is the target or one of its controls
};

struct ProcessMemory {
    unsigned long privateBytes = 0;
    unsigned long workingSetBytes = 0;
    unsigned long pagefileBytes = 0;

    // On Windows the commit charge is both fields; Wine 8 leaves the private
    // one 0 for another process and counts anonymous resident pages (and
    // swap) as the pagefile figure.
    unsigned long committedBytes() const { return privateBytes ? privateBytes : pagefileBytes; }
};

// A host process's memory from /proc/PID/status, in KiB.
struct HostMemory {
    long residentKiB = 0;  // VmRSS
    long anonymousKiB = 0; // RssAnon
    long dataKiB = 0;      // VmData: the private address space, touched or not
};

class ProbeSession {
  public:
    ProbeSession() = default;
    ProbeSession(const ProbeSession&) = delete;
    ProbeSession& operator=(const ProbeSession&) = delete;
    ~ProbeSession();

    bool start(const std::string& probeExe);
    void stop();
    // One command and its answer without the final "end"; empty when the
    // probe gave no complete answer in time. The timeout bounds a hang only:
    // an answer takes milliseconds, and the first waits a second or so for
    // the probe to start.
    std::string ask(const std::string& command, Milliseconds timeout = Milliseconds(60000));

    void target(const std::string& windowClass, const std::string& title);
    ProbeState state();
    bool waitWindow(Milliseconds timeout);
    bool waitGone(Milliseconds timeout);
    std::optional<std::pair<int, int>> closeBox();
    // Foreign messages to the window (id -1) or one of its controls; the
    // parameters are cut to 32 bits as the platform's are.
    bool send(int id, unsigned message, long long wParam, long long lParam);
    std::optional<long> sendForResult(int id, unsigned message, long long wParam, long long lParam);
    bool post(int id, unsigned message, long long wParam, long long lParam);
    // The window's answer to WM_NCHITTEST for a screen point.
    std::optional<HitTest> hitTest(int x, int y);
    // The program's memory as the system reports it to another process.
    std::optional<ProcessMemory> memory();
    // Whether a click on a screen point would reach the window now.
    std::optional<PointerView> pointer(int x, int y);

  private:
    std::optional<std::string> nextAnswer(Clock::time_point deadline);

    ChildProcess process_;
    int toProbe_ = -1;
    int fromProbe_ = -1;
    std::string pending_;
    // Answers still owed for commands whose wait ran out; taken and dropped
    // before the next answer, so that a late one is never read as another's.
    int unanswered_ = 0;
};

std::optional<HostMemory> hostMemory(pid_t pid);

// The user's hands, through the shared display input: a click waits until the
// probe started last sees the window in front, the point on it and the cursor
// there.
bool clickAt(int x, int y);
bool moveTo(int x, int y);
bool pressKey(const std::string& key);
