#include "tests/e2e/program_fixture.h"

#include <filesystem>

ProbeSession* ProgramTest::probe = nullptr;

void ProgramTest::SetUpTestSuite() {
    probe = new ProbeSession;
    probe->start(win32BuildDir() + "/velmorin_probe.exe");
}

void ProgramTest::TearDownTestSuite() {
    delete probe;
    probe = nullptr;
}

void ProgramTest::startProgram() {
    ASSERT_TRUE(std::filesystem::exists(win32BuildDir() + "/velmorin.exe"))
        << "build the Windows program first, into " << win32BuildDir();
    ASSERT_TRUE(probe->waitGone(SETTLE)) << "a program from before still runs";
    ASSERT_TRUE(program.start({"wine", win32BuildDir() + "/velmorin.exe"}));
    ASSERT_TRUE(probe->waitWindow(Milliseconds(30000))) << "no window \"Velmorin\"";
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
