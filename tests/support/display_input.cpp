#include "tests/support/display_input.h"

#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// Bounds a hang only: the wait ends as soon as the point is ready.
constexpr std::chrono::milliseconds HANG_BOUND{60000};
constexpr std::chrono::milliseconds POLL{5};

bool readyAt(const std::optional<PointerView>& view, int x, int y) {
    return view && view->front && view->onWindow && view->cursorX == x && view->cursorY == y;
}

bool xdotool(const std::vector<std::string>& arguments) {
    std::vector<char*> argv = {const_cast<char*>("xdotool")};
    for (const std::string& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, argv.data(), environ) != 0) {
        return false;
    }
    int status = 0;
    return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

bool clickOnDisplay(int x, int y, const LookAtPointer& look) {
    if (!xdotool({"mousemove", std::to_string(x), std::to_string(y)})) {
        return false;
    }
    auto deadline = Clock::now() + HANG_BOUND;
    std::optional<PointerView> view = look(x, y);
    while (!readyAt(view, x, y)) {
        if (Clock::now() >= deadline) {
            std::fprintf(stderr, "the point %d,%d did not become ready for a click\n", x, y);
            return false;
        }
        std::this_thread::sleep_for(POLL);
        view = look(x, y);
    }
    return xdotool({"click", "1"});
}

bool pressKeyOnDisplay(const std::string& key) {
    return xdotool({"key", key});
}
