#include "tests/e2e/program_fixture.h"

#include <cstdlib>
#include <filesystem>

ProbeSession* ProgramTest::probe = nullptr;

namespace {

// $VELMORIN_PROGRAM (the program out of an unpacked package, say), or the
// one in the Windows build tree.
std::string programPath() {
    const char* chosen = std::getenv("VELMORIN_PROGRAM");
    return chosen && *chosen ? chosen : win32BuildDir() + "/velmorin.exe";
}

} // namespace

void ProgramTest::SetUpTestSuite() {
    probe = new ProbeSession;
    probe->start(win32BuildDir() + "/velmorin_probe.exe");
}

void ProgramTest::TearDownTestSuite() {
    delete probe;
    probe = nullptr;
}

void ProgramTest::startProgram(const std::string& locale) {
    ASSERT_TRUE(std::filesystem::exists(programPath()))
        << "no program at " << programPath() << "; build the Windows program first";
    ASSERT_TRUE(probe->waitGone(SETTLE)) << "a program from before still runs";
    std::vector<std::string> command = {"wine", programPath()};
    if (!locale.empty()) {
        command.insert(command.begin(), {"env", "LC_ALL=" + locale});
    }
    ASSERT_TRUE(program.start(command));
    ASSERT_TRUE(probe->waitWindow(Milliseconds(90000))) << "no window \"Velmorin\"";
}

void ProgramTest::closeProgram() {
    // Posted, not sent: a sent close is only taken at the next queued message.
    probe->post(MAIN_WINDOW_ID, WM_CLOSE_MESSAGE, 0, 0);
    EXPECT_EQ(program.waitExit(SETTLE), std::optional<int>(0));
    EXPECT_TRUE(probe->waitGone(SETTLE));
}

void ProgramTest::TearDown() {
    if (program.running()) {
        // Posted, not sent: a sent close is only taken at the next queued message.
        probe->post(MAIN_WINDOW_ID, WM_CLOSE_MESSAGE, 0, 0);
        program.waitExit(SETTLE);
        program.kill();
    }
    probe->waitGone(SETTLE);
}
