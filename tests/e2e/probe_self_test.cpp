// The probe against a window of known contents in another process: the
// cross-process reads (list-view cells through the target's memory, list box
// lines through the wide messages, check states, focus, rectangles) must give
// exactly what the window holds, or the program's tests would read nonsense.
#include "tests/e2e/wine_session.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

namespace {

// Bounds a hang only: every wait ends as soon as what it waits for shows.
constexpr Milliseconds HANG_BOUND{60000};
// The fixture's messages that hold one read and answer it late.
constexpr unsigned HOLD_READ = 0x8000;
constexpr unsigned RELEASE_READ = 0x8001;

class ProbeSelfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(probe.start(win32BuildDir() + "/velmorin_probe.exe"));
        probe.target("ProbeFixture_0", "ProbeFixture");
        ASSERT_TRUE(probe.waitGone(HANG_BOUND)) << "a fixture from before still runs";
        ASSERT_TRUE(fixture.start({"wine", win32BuildDir() + "/probe_fixture.exe"}));
        ASSERT_TRUE(probe.waitWindow(Milliseconds(90000)));
        // The window shows, and takes the focus on showing, before its
        // controls exist; the fixture's last step gives the focus to the toggle.
        state = waitForState([](const ProbeState& s) { return s.has(11) && s.focus == 1; });
        ASSERT_TRUE(state.has(11));
    }
    void TearDown() override {
        probe.post(-1, 0x0010 /* WM_CLOSE */, 0, 0);
        fixture.waitExit(HANG_BOUND);
        fixture.kill();
        probe.stop();
    }

    ProbeState waitForState(const std::function<bool(const ProbeState&)>& done) {
        auto deadline = Clock::now() + HANG_BOUND;
        ProbeState now = probe.state();
        while (!done(now) && Clock::now() < deadline) {
            std::this_thread::sleep_for(Milliseconds(10));
            now = probe.state();
        }
        return now;
    }

    // Holds the window's answer to one read while the probe reads the state:
    // the probe must name the time-out rather than read an empty text, read
    // the rest, and leave its memory to the window, which answers into it
    // once released. (A write into freed memory would fault; the system
    // drops the fault and gives 0 for the answer.)
    void expectHeldReadNamed(unsigned message, int index, const std::string& what,
                             long lateAnswer) {
        ASSERT_TRUE(probe.send(-1, HOLD_READ, message, index));
        ProbeState held = probe.state();
        EXPECT_EQ(held.timeouts, std::vector<std::string>{what});
        EXPECT_EQ(held.statuses(), state.statuses());
        EXPECT_EQ(probe.sendForResult(-1, RELEASE_READ, 0, 0), std::optional<long>(lateAnswer))
            << "the late answer to " << what;
        ProbeState after = probe.state();
        EXPECT_EQ(after.cells, state.cells);
        EXPECT_EQ(after.columns, state.columns);
        EXPECT_EQ(after.lines, state.lines);
        EXPECT_EQ(describeProbeTrouble(after), "");
    }

    ProbeSession probe;
    ChildProcess fixture;
    ProbeState state;
};

TEST_F(ProbeSelfTest, ReadsTheWindowFrameAndClient) {
    EXPECT_EQ(state.title, "ProbeFixture");
    EXPECT_EQ(state.frame.x, 100);
    EXPECT_EQ(state.frame.y, 100);
    EXPECT_EQ(state.clientWidth, 260);
    EXPECT_EQ(state.clientHeight, 400);
    EXPECT_GT(state.clientX, state.frame.x);
    EXPECT_GT(state.clientY, state.frame.y);
    EXPECT_EQ(state.style & 0x90C80000u, 0x90C80000u);
    EXPECT_EQ(describeProbeTrouble(state), "");
}

TEST_F(ProbeSelfTest, ReadsListViewCellsThroughTheTargetsMemory) {
    EXPECT_EQ(state.columns, (std::vector<std::string>{"Riegel", "Status"}));
    EXPECT_EQ(state.rowCount, 6);
    EXPECT_EQ(state.labels(), (std::vector<std::string>{"Riegel 1", "Riegel 2", "Riegel 3",
                                                        "Riegel 4", "Riegel 5", "Riegel 6"}));
    EXPECT_EQ(state.statuses(), (std::vector<std::string>{"zu", "auf", "zu", "auf", "auf", "zu"}));
    ASSERT_EQ(state.rowRects.size(), 6u);
    const ScreenRect& list = state.control(0)->rect;
    for (std::size_t r = 0; r < state.rowRects.size(); ++r) {
        const ScreenRect& row = state.rowRects[r];
        EXPECT_GT(row.height, 0);
        EXPECT_GE(row.x, list.x);
        EXPECT_LE(row.x + row.width, list.x + list.width);
        if (r > 0) {
            EXPECT_EQ(row.y, state.rowRects[r - 1].y + row.height) << "rows lie one below another";
        }
    }
    // LVM_GETITEMTEXTW answers with the length of "Riegel 4"; LVM_GETCOLUMNW, TRUE.
    expectHeldReadNamed(0x1073, 3, "cell 3 0", 8);
    expectHeldReadNamed(0x105F, 1, "column 1", 1);
}

// With no fresh block to be had after a read timed out, every later read
// would give an empty text: the probe says so and ends instead.
TEST_F(ProbeSelfTest, NoFreshMemoryAfterATimedOutReadEndsTheProbeSayingSo) {
    ASSERT_EQ(probe.ask("refuse-fresh-block"), "refuse-fresh-block 1\n");
    ASSERT_TRUE(probe.send(-1, HOLD_READ, 0x1073 /* LVM_GETITEMTEXTW */, 3));
    ProbeState held = probe.state();
    EXPECT_EQ(describeProbeTrouble(held),
              "; the probe gave up: no fresh memory in the target after a read timed out");
    EXPECT_EQ(held.statuses(), (std::vector<std::string>{"zu", "auf", "zu"}))
        << "nothing is read after the time-out";
    EXPECT_EQ(probe.ask("sync"), "") << "the probe still answers";
    // A new probe releases the held read, so that the window can close.
    probe.stop();
    ASSERT_TRUE(probe.start(win32BuildDir() + "/velmorin_probe.exe"));
    probe.target("ProbeFixture_0", "ProbeFixture");
    EXPECT_EQ(probe.sendForResult(-1, RELEASE_READ, 0, 0), std::optional<long>(8));
}

TEST_F(ProbeSelfTest, ReadsListBoxLinesIntactInWindows1252) {
    EXPECT_EQ(state.lines, (std::vector<std::string>{"2 Bewegungen:", "<<< Zur\xFC"
                                                                      "ck <<<"}));
    expectHeldReadNamed(0x0189 /* LB_GETTEXT */, 1, "line 1", 14); // the line's length
}

TEST_F(ProbeSelfTest, ReadsButtonStatesAndTabStops) {
    EXPECT_EQ(state.control(1)->check, 1);
    EXPECT_EQ(state.control(1)->text, "System an");
    EXPECT_TRUE(state.control(1)->enabled);
    EXPECT_FALSE(state.control(2)->enabled);
    EXPECT_TRUE(state.control(2)->visible);
    EXPECT_FALSE(state.control(11)->visible);
    EXPECT_EQ(state.control(2)->check, 0);
    EXPECT_EQ(state.focus, 1);
    // The disabled and the hidden button are no stops.
    EXPECT_EQ(state.tabStops, (std::vector<int>{0, 1, 10}));
}

TEST_F(ProbeSelfTest, ClicksLandWhereTheRectanglesSay) {
    // A click on the toggle's centre releases it and gives it the focus.
    const ScreenRect& toggle = state.control(1)->rect;
    ASSERT_TRUE(clickAt(toggle.centreX(), toggle.centreY()));
    ProbeState after =
        waitForState([](const ProbeState& s) { return s.control(1) && s.control(1)->check == 0; });
    ASSERT_NE(after.control(1), nullptr);
    EXPECT_EQ(after.control(1)->check, 0);

    // A click on a row selects that row.
    ASSERT_TRUE(clickAt(state.rowRects[3].centreX(), state.rowRects[3].centreY()));
    after = waitForState([](const ProbeState& s) { return s.listFocusRow == 3; });
    EXPECT_EQ(after.listFocusRow, 3);
    EXPECT_EQ(after.listSelectedCount, 1);
    EXPECT_EQ(after.focus, 0);
}

TEST_F(ProbeSelfTest, FindsTheCloseBoxAndItCloses) {
    auto point = probe.closeBox();
    ASSERT_TRUE(point);
    EXPECT_GT(point->first, state.frame.x + state.frame.width / 2);
    EXPECT_LT(point->first, state.frame.x + state.frame.width);
    EXPECT_GT(point->second, state.frame.y);
    EXPECT_LT(point->second, state.clientY);
    ASSERT_TRUE(clickAt(point->first, point->second));
    EXPECT_EQ(fixture.waitExit(HANG_BOUND), std::optional<int>(7));
}

} // namespace
