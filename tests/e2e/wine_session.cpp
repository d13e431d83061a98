#include "tests/e2e/wine_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

#ifndef VELMORIN_WIN32_BUILD
#define VELMORIN_WIN32_BUILD "build/win32"
#endif

namespace {

// The session whose probe tells when a point is ready for a click: the one
// started last.
ProbeSession* watchingProbe = nullptr;

int decodeStatus(int status) {
    if (WIFEXITED(status)) {
        return WEXITSTATUS(status);
    }
    return 128 + (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
}

} // namespace

std::string win32BuildDir() {
    const char* fromEnvironment = std::getenv("VELMORIN_WIN32_BUILD");
    if (fromEnvironment && *fromEnvironment) {
        return fromEnvironment;
    }
    return VELMORIN_WIN32_BUILD;
}

ChildProcess::~ChildProcess() {
    kill();
}

bool ChildProcess::start(const std::vector<std::string>& argv, int stdinFd, int stdoutFd) {
    std::vector<char*> args;
    for (const std::string& a : argv) {
        args.push_back(const_cast<char*>(a.c_str()));
    }
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    }
    if (stdoutFd >= 0) {
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    }
    exitCode_.reset();
    int failed = posix_spawnp(&pid_, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed) {
        pid_ = -1;
        return false;
    }
    return true;
}

bool ChildProcess::running() {
    if (pid_ < 0 || exitCode_) {
        return false;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
        exitCode_ = decodeStatus(status);
        return false;
    }
    return true;
}

std::optional<int> ChildProcess::waitExit(Milliseconds timeout) {
    auto deadline = Clock::now() + timeout;
    while (running()) {
        if (Clock::now() >= deadline) {
            return std::nullopt;
        }
        std::this_thread::sleep_for(Milliseconds(5));
    }
    return exitCode_;
}

void ChildProcess::kill() {
    if (running()) {
        ::kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        exitCode_ = decodeStatus(status);
    }
}

ProbeSession::~ProbeSession() {
    stop();
}

bool ProbeSession::start(const std::string& probeExe) {
    // A probe that died must show as a failed answer, not end the test.
    signal(SIGPIPE, SIG_IGN);
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0) {
        return false;
    }
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return false;
    }
    bool started = process_.start({"wine", probeExe}, in[0], out[1]);
    close(in[0]);
    close(out[1]);
    toProbe_ = in[1];
    fromProbe_ = out[0];
    pending_.clear();
    unanswered_ = 0;
    watchingProbe = this;
    return started;
}

void ProbeSession::stop() {
    if (watchingProbe == this) {
        watchingProbe = nullptr;
    }
    if (toProbe_ >= 0) {
        static const char quit[] = "quit\n";
        ssize_t ignored = write(toProbe_, quit, sizeof quit - 1);
        (void)ignored;
        close(toProbe_);
        toProbe_ = -1;
    }
    if (!process_.waitExit(Milliseconds(20000))) {
        process_.kill();
    }
    if (fromProbe_ >= 0) {
        close(fromProbe_);
        fromProbe_ = -1;
    }
}

std::string ProbeSession::ask(const std::string& command, Milliseconds timeout) {
    if (toProbe_ < 0) {
        return {};
    }
    std::string line = command + "\n";
    if (write(toProbe_, line.data(), line.size()) != static_cast<ssize_t>(line.size())) {
        return {};
    }
    auto deadline = Clock::now() + timeout;
    ++unanswered_;
    std::string answer;
    while (unanswered_ > 0) {
        std::optional<std::string> next = nextAnswer(deadline);
        if (!next) {
            return {};
        }
        --unanswered_;
        answer = *next;
    }
    return answer;
}

std::optional<std::string> ProbeSession::nextAnswer(Clock::time_point deadline) {
    for (;;) {
        if (pending_.rfind("end\n", 0) == 0) {
            pending_.erase(0, 4);
            return std::string();
        }
        std::size_t end = pending_.find("\nend\n");
        if (end != std::string::npos) {
            std::string answer = pending_.substr(0, end + 1);
            pending_.erase(0, end + 5);
            return answer;
        }
        auto left = std::chrono::duration_cast<Milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return std::nullopt;
        }
        pollfd ready = {fromProbe_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(left)) <= 0) {
            return std::nullopt;
        }
        char chunk[8192];
        ssize_t got = read(fromProbe_, chunk, sizeof chunk);
        if (got <= 0) {
            return std::nullopt;
        }
        pending_.append(chunk, static_cast<std::size_t>(got));
    }
}

void ProbeSession::target(const std::string& windowClass, const std::string& title) {
    ask("target " + windowClass + " " + title);
}

ProbeState ProbeSession::state() {
    return parseProbeState(ask("state"));
}

bool ProbeSession::waitWindow(Milliseconds timeout) {
    std::string answer =
        ask("wait " + std::to_string(timeout.count()), timeout + Milliseconds(30000));
    return answer == "window 1\n";
}

bool ProbeSession::waitGone(Milliseconds timeout) {
    std::string answer =
        ask("gone " + std::to_string(timeout.count()), timeout + Milliseconds(30000));
    return answer == "window 0\n";
}

std::optional<std::pair<int, int>> ProbeSession::closeBox() {
    std::string answer = ask("closebox");
    int x = 0;
    int y = 0;
    if (std::sscanf(answer.c_str(), "closebox %d %d", &x, &y) != 2) {
        return std::nullopt;
    }
    return std::make_pair(x, y);
}

namespace {

std::string messageCommand(const char* verb, int id, unsigned message, long long wParam,
                           long long lParam) {
    return std::string(verb) + " " + std::to_string(id) + " " + std::to_string(message) + " " +
           std::to_string(wParam) + " " + std::to_string(lParam);
}

} // namespace

bool ProbeSession::send(int id, unsigned message, long long wParam, long long lParam) {
    return sendForResult(id, message, wParam, lParam).has_value();
}

std::optional<long> ProbeSession::sendForResult(int id, unsigned message, long long wParam,
                                                long long lParam) {
    std::string answer = ask(messageCommand("send", id, message, wParam, lParam));
    int done = 0;
    long result = 0;
    if (std::sscanf(answer.c_str(), "sent %d %ld", &done, &result) != 2 || done != 1) {
        return std::nullopt;
    }
    return result;
}

bool ProbeSession::post(int id, unsigned message, long long wParam, long long lParam) {
    return ask(messageCommand("post", id, message, wParam, lParam)) == "posted 1\n";
}

std::optional<HitTest> ProbeSession::hitTest(int x, int y) {
    std::string answer = ask("hittest " + std::to_string(x) + " " + std::to_string(y));
    HitTest hit;
    int inside = 0;
    if (std::sscanf(answer.c_str(), "hittest %d %d", &hit.code, &inside) != 2) {
        return std::nullopt;
    }
    hit.inside = inside == 1;
    return hit;
}

std::optional<ProcessMemory> ProbeSession::memory() {
    std::string answer = ask("memory");
    ProcessMemory m;
    if (std::sscanf(answer.c_str(), "memory %lu %lu %lu", &m.privateBytes, &m.workingSetBytes,
                    &m.pagefileBytes) != 3) {
        return std::nullopt;
    }
    return m;
}

std::optional<HostMemory> hostMemory(pid_t pid) {
    std::FILE* status = std::fopen(("/proc/" + std::to_string(pid) + "/status").c_str(), "r");
    if (!status) {
        return std::nullopt;
    }
    HostMemory m;
    int found = 0;
    char line[256];
    while (std::fgets(line, sizeof line, status)) {
        found += std::sscanf(line, "VmRSS: %ld kB", &m.residentKiB) == 1;
        found += std::sscanf(line, "RssAnon: %ld kB", &m.anonymousKiB) == 1;
        found += std::sscanf(line, "VmData: %ld kB", &m.dataKiB) == 1;
    }
    std::fclose(status);
    if (found != 3) {
        return std::nullopt;
    }
    return m;
}

std::optional<PointerView> ProbeSession::pointer(int x, int y) {
    std::string answer = ask("pointer " + std::to_string(x) + " " + std::to_string(y));
    PointerView view;
    int front = 0;
    int onWindow = 0;
    if (std::sscanf(answer.c_str(), "pointer %d %d %d %d", &front, &onWindow, &view.cursorX,
                    &view.cursorY) != 4) {
        return std::nullopt;
    }
    view.front = front == 1;
    view.onWindow = onWindow == 1;
    return view;
}

bool clickAt(int x, int y) {
    if (!watchingProbe) {
        return false;
    }
    return clickOnDisplay(x, y, [](int px, int py) { return watchingProbe->pointer(px, py); });
}

bool moveTo(int x, int y) {
    return watchingProbe &&
           moveOnDisplay(x, y, [](int px, int py) { return watchingProbe->pointer(px, py); });
}

bool pressKey(const std::string& key) {
    return pressKeyOnDisplay(key);
}
