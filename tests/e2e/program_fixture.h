// Every end-to-end test runs the real program under Wine from its start to
// its end, with one probe process per suite reading its windows.
#pragma once

#include "tests/e2e/wine_session.h"

#include <gtest/gtest.h>

class ProgramTest : public ::testing::Test {
  protected:
    static constexpr unsigned WM_CLOSE_MESSAGE = 0x0010;
    static constexpr int MAIN_WINDOW_ID = -1; // the probe's name for the window itself
    // Bounds a hang only: every wait ends as soon as what it waits for shows.
    static inline const Milliseconds SETTLE{60000};

    static void SetUpTestSuite();
    static void TearDownTestSuite();

    // Starts velmorin.exe and waits for its window; the window shows before
    // its controls are made and its rows filled, which each suite waits for.
    // A locale name ("ru_RU.UTF-8") gives the program that system locale and
    // its code page.
    void startProgram(const std::string& locale = "");
    // Closes the window as its close box does and expects the exit code 0.
    void closeProgram();
    // A program still running is asked to close, and ended if it does not.
    void TearDown() override;

    static ProbeSession* probe;
    ChildProcess program;
};
