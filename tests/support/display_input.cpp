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

// Moves the pointer and waits until the program's side sees the cursor there,
// and for a click also the window in front with the point on it.
bool moveAndWait(int x, int y, const LookAtPointer& look, bool forClick) {
    if (!xdotool({"mousemove", std::to_string(x), std::to_string(y)})) {
        return false;
    }
    auto deadline = Clock::now() + HANG_BOUND;
    std::optional<PointerView> view = look(x, y);
    while (!(view && view->cursorX == x && view->cursorY == y &&
             (!forClick || (view->front && view->onWindow)))) {
        if (Clock::now() >= deadline) {
            std::fprintf(stderr, "the point %d,%d did not become ready\n", x, y);
            return false;
        }
        std::this_thread::sleep_for(POLL);
        view = look(x, y);
    }
    return true;
}

} // namespace

bool clickOnDisplay(int x, int y, const LookAtPointer& look) {
    return moveAndWait(x, y, look, true) && xdotool({"click", "1"});
}

bool moveOnDisplay(int x, int y, const LookAtPointer& look) {
    return moveAndWait(x, y, look, false);
}

bool pressKeyOnDisplay(const std::string& key) {
    return xdotool({"key", key});
}
