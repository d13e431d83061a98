// The real program under Wine, used as a person uses it: clicks on the rows
// and buttons and key strokes on the X display, while a separate probe
// process reads the window back. The movement rule and both plans are
// checked against the core's own answers for the same bolt states.
#include "app/main_window.h"
#include "core/bolt_bank.h"
#include "core/planner.h"
#include "runtime/heap.h"
#include "tests/e2e/program_fixture.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <set>
#include <sstream>
#include <thread>

namespace {

using Statuses = std::vector<std::string>;
using Lines = std::vector<std::string>;

constexpr int ALL_CLOSED = 0b111111;
constexpr int ALL_OPEN = 0;
constexpr unsigned BM_GETSTATE_MESSAGE = 0x00F2;
constexpr long BUTTON_PUSHED = 0x0004;
const char BACK_TEXT[] = "<<< Zur\xFC"
                         "ck <<<";
const char SEPARATOR[] = "---------------------------";

// Bit i of a state is bolt i: 1 closed ("zu"), 0 open ("auf").
Statuses shown(int state) {
    Statuses out;
    for (int i = 0; i < BOLT_COUNT; ++i) {
        out.push_back((state >> i) & 1 ? "zu" : "auf");
    }
    return out;
}

std::string describe(const Statuses& statuses) {
    std::string out;
    for (const std::string& s : statuses) {
        out += (out.empty() ? "" : " ") + s;
    }
    return out;
}

// The CPU time the process has had, all its threads together, in clock
// ticks; -1 while its main thread, which draws its window, runs or is waiting
// to, or when it has gone.
long programWork(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), {});
    char state = 'R';
    long user = 0;
    long system = 0;
    // After the name in brackets: the state, ten fields, the user and system time.
    std::sscanf(stat.c_str() + stat.rfind(')') + 1,
                " %c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %ld %ld", &state, &user, &system);
    return state == 'R' ? -1 : user + system;
}

// The core on the host: the same bank, rule and planner the program runs.
class Core {
  public:
    Core() {
        openRuntimeHeap();
        clearBoltState();
        listCreate(&MoveJournal, 4);
        createBoltBanks();
    }
    ~Core() {
        clearBoltState();
        closeRuntimeHeap();
    }
    static void set(int state) {
        for (int i = 0; i < BOLT_COUNT; ++i) {
            BoltBank[i] = static_cast<signed char>((state >> i) & 1);
        }
    }
    static bool allows(int state, int bolt) {
        set(state);
        return canMoveBolt(bolt) == 1;
    }
    // The report's lines for a plan from `state`.
    static Lines report(void (*plan)(), int state) {
        set(state);
        plan();
        Lines lines = {std::to_string(listCount(&MoveJournal)) + " Bewegungen:", SEPARATOR};
        for (ListElement* e = MoveJournal.descriptor->first; e; e = e->next) {
            lines.push_back("Riegel " + std::to_string(journalEntry(e) + 1));
        }
        return lines;
    }
};

class VelmorinTest : public ProgramTest {
  protected:
    void SetUp() override {
        startFilled();
        ASSERT_FALSE(HasFailure());
    }

    void startFilled(const std::string& locale = "") {
        startProgram(locale);
        ASSERT_FALSE(HasFailure());
        now = waitUntil("the start-up fills the window", [](const ProbeState& s) {
            return s.has(CTL_CLOSE_ALL) && s.statuses() == shown(ALL_CLOSED) &&
                   s.rowRects.size() == BOLT_COUNT;
        });
    }

    // Polls the probe until `done` holds of a whole reading; fails the test
    // with the last state seen when it does not within the timeout. A reading
    // in which the probe timed out on a read, as it may on a busy machine,
    // says nothing of what the window holds.
    ProbeState waitUntil(const std::string& what,
                         const std::function<bool(const ProbeState&)>& done,
                         Milliseconds timeout = SETTLE) {
        auto deadline = std::chrono::steady_clock::now() + timeout;
        ProbeState s;
        for (;;) {
            s = probe->state();
            if (s.timeouts.empty() && done(s)) {
                return s;
            }
            if (std::chrono::steady_clock::now() >= deadline) {
                ADD_FAILURE() << "timed out waiting until " << what << "; rows "
                              << describe(s.statuses()) << ", focus " << s.focus << ", client "
                              << s.clientWidth << ", " << s.lines.size() << " report lines"
                              << describeProbeTrouble(s);
                return s;
            }
            std::this_thread::sleep_for(Milliseconds(15));
        }
    }

    // Two clicks close together in place and time would make a double
    // click; a person clicking twice in a row moves the hand a little.
    void clickInside(const ScreenRect& r) {
        int x = r.centreX();
        int y = r.centreY();
        auto sinceLast = std::chrono::steady_clock::now() - lastClickTime;
        if (std::abs(x - lastClickX) < 8 && std::abs(y - lastClickY) < 8 &&
            sinceLast < Milliseconds(700)) {
            if (lastClickX + 15 < r.x + r.width - 2) {
                x = lastClickX + 15;
            } else if (lastClickX - 15 > r.x + 1) {
                x = lastClickX - 15;
            } else {
                std::this_thread::sleep_for(Milliseconds(700) - sinceLast);
            }
        }
        ASSERT_TRUE(clickAt(x, y));
        lastClickX = x;
        lastClickY = y;
        lastClickTime = std::chrono::steady_clock::now();
    }
    // One draw in 64 repeats the state, so the rows cannot tell that a fill
    // is done. The press gives the button the focus and the release, handled
    // in the pass that makes the fill, lets the button go: with the focus
    // moved off it first, both together say the fill is done. The probe's
    // read of the button is answered between passes, so the rows read after
    // it show the fill.
    void clickRandomAndWaitUntilHandled() {
        if (now.focus == CTL_RANDOM) {
            ASSERT_TRUE(pressKey("Tab"));
            now = waitUntil("Tab moves the focus off \"Zufall\"",
                            [](const ProbeState& s) { return s.focus != CTL_RANDOM; });
        }
        clickControl(CTL_RANDOM);
        waitUntil("the click on \"Zufall\" is handled", [this](const ProbeState& s) {
            std::optional<long> button =
                probe->sendForResult(CTL_RANDOM, BM_GETSTATE_MESSAGE, 0, 0);
            return s.focus == CTL_RANDOM && button && (*button & BUTTON_PUSHED) == 0;
        });
        now = waitUntil("the probe reads the filled rows", [](const ProbeState&) { return true; });
    }
    void clickControl(int id) {
        const ProbeControl* c = now.control(id);
        ASSERT_NE(c, nullptr) << "no control " << id;
        clickInside(c->rect);
    }
    void clickRow(int row) {
        ASSERT_LT(row, static_cast<int>(now.rowRects.size()));
        clickInside(now.rowRects[row]);
    }

    int shownState() const {
        int state = 0;
        Statuses s = now.statuses();
        for (int i = 0; i < BOLT_COUNT && i < static_cast<int>(s.size()); ++i) {
            state |= (s[i] == "zu" ? 1 : 0) << i;
        }
        return state;
    }

    // Clicks a row and waits for the bolts to read `expected` with no row marked.
    void clickRowExpecting(int row, int expected) {
        clickRow(row);
        now = waitUntil("bolts read " + describe(shown(expected)) + " after a click on row " +
                            std::to_string(row + 1),
                        [&](const ProbeState& s) {
                            return s.statuses() == shown(expected) && s.listSelectedCount == 0 &&
                                   s.listFocusRow == -1;
                        });
    }

    // A refused click changes nothing visible, so a click on row 1, which
    // always moves, follows it; once bolt 1 has flipped, the refused click
    // has been handled too and must have left the rest as it was.
    void clickRefusedRow(int row, int state) {
        clickRow(row);
        clickRowExpecting(0, state ^ 1);
    }

    void setToggle(bool pressed) {
        if ((now.control(CTL_SYSTEM_TOGGLE)->check == 1) != pressed) {
            clickControl(CTL_SYSTEM_TOGGLE);
        }
        now = waitUntil(std::string("the toggle is ") + (pressed ? "pressed" : "released"),
                        [&](const ProbeState& s) {
                            return s.control(CTL_SYSTEM_TOGGLE)->check == (pressed ? 1 : 0);
                        });
    }

    // With the toggle released every row click flips its bolt.
    void setBolts(int state) {
        setToggle(false);
        int current = shownState();
        for (int i = 0; i < BOLT_COUNT; ++i) {
            if (((current ^ state) >> i) & 1) {
                current ^= 1 << i;
                clickRowExpecting(i, current);
            }
        }
        ASSERT_EQ(now.statuses(), shown(state));
    }

    void showReport(int button) {
        clickControl(button);
        now = waitUntil("the report is shown", [](const ProbeState& s) {
            return s.has(CTL_MOVE_LIST) && s.has(CTL_BACK) && s.lines.size() >= 2 &&
                   s.clientWidth == 260;
        });
    }

    // The probe reads each control at its own moment, without the program's
    // thread, while the program may still be enabling them one by one: the
    // report is left once every command reads enabled.
    void leaveReport() {
        clickControl(CTL_BACK);
        now = waitUntil("the report is left", [](const ProbeState& s) {
            bool commandsEnabled = true;
            for (int id : {CTL_SYSTEM_TOGGLE, CTL_RANDOM, CTL_OPEN_ALL, CTL_CLOSE_ALL}) {
                commandsEnabled &= s.control(id)->enabled;
            }
            return !s.has(CTL_MOVE_LIST) && !s.has(CTL_BACK) && s.clientWidth == 140 &&
                   commandsEnabled;
        });
    }

    // Waits until the window on the screen is docs/NAME.png pixel for pixel,
    // and gives the pixels that differ when it has settled on another picture
    // first: the same capture three times in a row while the program did no
    // work in between. The seen picture and the difference stay in the build
    // tree, and `account` tells where.
    int pictureDifference(const std::string& name, std::string* account) {
        const std::string picture = std::string(DOCS_DIR "/") + name + ".png";
        const std::string kept = std::string(PICTURES_DIR "/") + name;
        std::filesystem::create_directories(PICTURES_DIR);
        // The pointer rests outside the window, so no button shows its hot look.
        if (!moveTo(0, 0)) {
            *account = "the pointer did not move off the window";
            return -1;
        }
        // Read once: every reading is work for the program.
        const ScreenRect frame = probe->state().frame;
        auto started = Clock::now();
        std::string last;
        long lastWork = -1;
        for (int settled = 0;; std::this_thread::sleep_for(Milliseconds(500))) {
            long work = programWork(program.pid());
            // The capture has the picture's size at the window's corner.
            ChildProcess shell;
            if (!shell.start(
                    {"sh", "-c",
                     "{ import -window root -crop $(identify -format %wx%h \"$1\")$2 +repage "
                     "-strip \"$3-seen.png\" && compare -metric AE \"$1\" \"$3-seen.png\" "
                     "\"$3-difference.png\"; } 2>\"$3-count.txt\"",
                     "sh", picture, "+" + std::to_string(frame.x) + "+" + std::to_string(frame.y),
                     kept}) ||
                !shell.waitExit(SETTLE)) {
                *account = "ImageMagick did not run";
                return -1;
            }
            std::ifstream countFile(kept + "-count.txt");
            std::string count((std::istreambuf_iterator<char>(countFile)), {});
            if (count == "0") {
                return 0;
            }
            std::ifstream in(kept + "-seen.png", std::ios::binary);
            std::string now((std::istreambuf_iterator<char>(in)), {});
            settled = now == last && work == lastWork && work >= 0 ? settled + 1 : 0;
            last = now;
            lastWork = work;
            auto after = Clock::now() - started;
            if (settled >= 2 || !program.running() || after >= SETTLE) {
                std::ostringstream out;
                out << "after " << std::chrono::duration_cast<std::chrono::seconds>(after).count()
                    << " s the window "
                    << (settled >= 2 ? "settled on another picture than " : "differs from ") << name
                    << ".png" << (program.running() ? "" : ", the program ended") << ": " << count
                    << " pixels differ; seen: " << kept << "-seen.png, difference: " << kept
                    << "-difference.png";
                *account = out.str();
                int differing = -1;
                std::sscanf(count.c_str(), "%d", &differing);
                return differing;
            }
        }
    }

    // What a command run by the shell printed, its last line end dropped.
    std::string shellOutput(const std::string& command) {
        const std::string file = std::string(PICTURES_DIR "/output.txt");
        std::filesystem::create_directories(PICTURES_DIR);
        ChildProcess shell;
        if (!shell.start({"sh", "-c", command + " >\"$0\"", file}) || !shell.waitExit(SETTLE)) {
            return "(" + command + " did not run)";
        }
        std::ifstream in(file);
        std::string text((std::istreambuf_iterator<char>(in)), {});
        return text.substr(0, text.find_last_not_of('\n') + 1);
    }

    ScreenRect inClient(const ScreenRect& r) const {
        return {r.x - now.clientX, r.y - now.clientY, r.width, r.height};
    }

    ProbeState now;
    int lastClickX = -100;
    int lastClickY = -100;
    std::chrono::steady_clock::time_point lastClickTime;
};

TEST_F(VelmorinTest, StartsNarrowWithAllBoltsClosed) {
    EXPECT_EQ(now.title, "Velmorin");
    EXPECT_EQ(now.frame.x, 382);
    EXPECT_EQ(now.frame.y, 184);
    EXPECT_EQ(now.clientWidth, 140);
    EXPECT_EQ(now.clientHeight, 400);
    EXPECT_EQ(now.style & 0x90C80000u, 0x90C80000u) << "popup, visible, caption, system menu";
    EXPECT_EQ(now.columns, (std::vector<std::string>{"Riegel", "Status"}));
    EXPECT_EQ(now.labels(), (std::vector<std::string>{"Riegel 1", "Riegel 2", "Riegel 3",
                                                      "Riegel 4", "Riegel 5", "Riegel 6"}));
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->text, "System an");
    EXPECT_EQ(now.control(CTL_RANDOM)->text, "Zufall");
    EXPECT_EQ(now.control(CTL_OPEN_ALL)->text, "Alles Auf");
    EXPECT_EQ(now.control(CTL_CLOSE_ALL)->text, "Alles Zu");
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->style & 0x1003u, 0x1003u) << "a push-like check box";
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->check, 0);
    for (int id : {CTL_BOLT_LIST, CTL_SYSTEM_TOGGLE, CTL_RANDOM, CTL_OPEN_ALL, CTL_CLOSE_ALL}) {
        EXPECT_TRUE(now.control(id)->enabled) << id;
        EXPECT_TRUE(now.control(id)->visible) << id;
    }
    EXPECT_FALSE(now.has(CTL_MOVE_LIST));
    EXPECT_FALSE(now.has(CTL_BACK));
    EXPECT_EQ(inClient(now.control(CTL_BOLT_LIST)->rect), (ScreenRect{5, 5, 130, 303}));
    EXPECT_EQ(inClient(now.control(CTL_RANDOM)->rect), (ScreenRect{5, 313, 130, 24}));
    EXPECT_EQ(inClient(now.control(CTL_SYSTEM_TOGGLE)->rect), (ScreenRect{5, 342, 130, 24}));
    EXPECT_EQ(inClient(now.control(CTL_OPEN_ALL)->rect), (ScreenRect{5, 371, 62, 24}));
    EXPECT_EQ(inClient(now.control(CTL_CLOSE_ALL)->rect), (ScreenRect{72, 371, 62, 24}));
}

TEST_F(VelmorinTest, WithTheToggleReleasedEveryRowFlips) {
    int state = ALL_CLOSED;
    for (int row : {2, 5, 2, 0, 4, 1, 3, 5}) {
        state ^= 1 << row;
        clickRowExpecting(row, state);
        ASSERT_FALSE(HasFailure()) << "row " << row + 1;
    }
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->check, 0) << "row clicks leave the toggle alone";
}

TEST_F(VelmorinTest, WithTheTogglePressedTheRuleDecides) {
    Core core;
    setToggle(true);
    // Nothing below bolt 3 is open: refused, and no row stays marked.
    clickRefusedRow(2, ALL_CLOSED);
    // Bolt 1 is open now, so bolt 2 may follow it.
    clickRowExpecting(1, ALL_CLOSED ^ 0b11);
    ASSERT_FALSE(HasFailure());

    // A walk of clicks, each one allowed or refused as the core's rule says.
    std::mt19937 pick(20240611);
    int state = shownState();
    int allowed = 0;
    int refused = 0;
    for (int k = 0; k < 24 && !HasFailure(); ++k) {
        int row = static_cast<int>(pick() % BOLT_COUNT);
        if (Core::allows(state, row)) {
            state ^= 1 << row;
            clickRowExpecting(row, state);
            ++allowed;
        } else {
            clickRefusedRow(row, state);
            state ^= 1;
            ++refused;
        }
    }
    EXPECT_GT(allowed, 0);
    EXPECT_GT(refused, 0);
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->check, 1);
}

TEST_F(VelmorinTest, RandomFillShowsOnlyZuAndAuf) {
    std::set<Statuses> seen = {now.statuses()};
    for (int k = 0; k < 8; ++k) {
        clickRandomAndWaitUntilHandled();
        ASSERT_FALSE(HasFailure());
        ASSERT_EQ(now.rowCount, 6);
        for (const std::string& status : now.statuses()) {
            EXPECT_TRUE(status == "zu" || status == "auf") << status;
        }
        EXPECT_EQ(now.labels()[5], "Riegel 6");
        seen.insert(now.statuses());
    }
    EXPECT_GE(seen.size(), 3u) << "eight fills hardly ever give fewer than three states";
    EXPECT_FALSE(now.has(CTL_MOVE_LIST));
}

TEST_F(VelmorinTest, ReportWidensLocksTheButtonsAndBackRestoresTheNarrowForm) {
    showReport(CTL_OPEN_ALL);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(now.clientWidth, 260);
    EXPECT_EQ(now.clientHeight, 400);
    EXPECT_EQ(now.frame.x, 382) << "the window widens to the right";
    EXPECT_EQ(now.frame.y, 184);
    EXPECT_EQ(inClient(now.control(CTL_MOVE_LIST)->rect), (ScreenRect{140, 5, 115, 361}));
    EXPECT_EQ(inClient(now.control(CTL_BACK)->rect), (ScreenRect{140, 371, 115, 24}));
    EXPECT_EQ(now.control(CTL_BACK)->text, BACK_TEXT);
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->check, 1);
    for (int id : {CTL_SYSTEM_TOGGLE, CTL_RANDOM, CTL_OPEN_ALL, CTL_CLOSE_ALL}) {
        EXPECT_FALSE(now.control(id)->enabled) << id;
    }
    EXPECT_TRUE(now.control(CTL_BOLT_LIST)->enabled);
    ASSERT_GE(now.lines.size(), 7u);
    EXPECT_EQ(now.lines[0], "22 Bewegungen:");
    EXPECT_EQ(now.lines[1], SEPARATOR);
    EXPECT_EQ(Lines(now.lines.begin() + 2, now.lines.begin() + 7),
              (Lines{"Riegel 6", "Riegel 1", "Riegel 2", "Riegel 1", "Riegel 3"}));
    EXPECT_EQ(now.statuses(), shown(ALL_CLOSED)) << "a plan leaves the bolts as they were";

    leaveReport();
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(now.clientWidth, 140);
    EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->check, 1) << "the toggle stays pressed";
    EXPECT_EQ(now.frame.x, 382);

    // The next report shows only its own plan: nothing to do when all are closed.
    showReport(CTL_CLOSE_ALL);
    EXPECT_EQ(now.lines, (Lines{"0 Bewegungen:", SEPARATOR}));
    leaveReport();
}

TEST_F(VelmorinTest, BothPlansListWhatTheCorePlansFromManyStates) {
    Core core;
    for (int state : {ALL_CLOSED, ALL_OPEN, 0b111110, 0b001111, 0b101010, 0b010101, 0b110011}) {
        setBolts(state);
        for (auto [button, plan] :
             {std::pair{CTL_OPEN_ALL, &planOpenAll}, std::pair{CTL_CLOSE_ALL, &planCloseAll}}) {
            showReport(button);
            ASSERT_FALSE(HasFailure());
            EXPECT_EQ(now.lines, Core::report(plan, state))
                << (button == CTL_OPEN_ALL ? "Alles Auf" : "Alles Zu") << " from "
                << describe(shown(state));
            EXPECT_EQ(now.statuses(), shown(state));
            leaveReport();
            ASSERT_FALSE(HasFailure());
        }
    }
}

TEST_F(VelmorinTest, ThePlanAfterARandomFillMatchesTheCore) {
    Core core;
    // The fill's state cannot be foreseen, so the test waits until a later
    // click has been handled: the press on "Zufall" takes the focus, then
    // the press on row 1 takes it to the list, after the fill is done.
    clickControl(CTL_RANDOM);
    now = waitUntil("\"Zufall\" has the focus",
                    [](const ProbeState& s) { return s.focus == CTL_RANDOM; });
    clickRow(0);
    now = waitUntil("the bolt list has the focus", [](const ProbeState& s) {
        return s.focus == CTL_BOLT_LIST && s.listSelectedCount == 0;
    });
    int state = shownState();
    showReport(CTL_CLOSE_ALL);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(now.lines, Core::report(planCloseAll, state)) << describe(shown(state));
    EXPECT_EQ(shownState(), state);
}

TEST_F(VelmorinTest, ReplayingTheReportByClickingOpensTheLock) {
    showReport(CTL_OPEN_ALL);
    ASSERT_FALSE(HasFailure());
    Lines moves(now.lines.begin() + 2, now.lines.end());
    int state = ALL_CLOSED;
    for (const std::string& move : moves) {
        int bolt = std::stoi(move.substr(7)) - 1;
        state ^= 1 << bolt;
        clickRowExpecting(bolt, state);
        ASSERT_FALSE(HasFailure()) << "the rule refused " << move;
    }
    EXPECT_EQ(now.statuses(), shown(ALL_OPEN));
    EXPECT_EQ(now.lines.size(), moves.size() + 2) << "replaying leaves the report as it is";
}

TEST_F(VelmorinTest, TabAndShiftTabWalkTheStopsAndWrap) {
    const std::vector<int> narrow = {0, 2, 1, 3, 4};
    EXPECT_EQ(now.tabStops, narrow) << "the stops in the order the controls were made";
    auto press = [&](const std::string& key, int expected) {
        ASSERT_TRUE(pressKey(key));
        now = waitUntil(key + " moves the focus to control " + std::to_string(expected),
                        [&](const ProbeState& s) { return s.focus == expected; });
    };
    // Nothing in the window has the focus yet: Tab starts at the first stop.
    for (int id : narrow) {
        press("Tab", id);
    }
    press("Tab", narrow.front());
    for (auto it = narrow.rbegin(); it != narrow.rend(); ++it) {
        press("shift+Tab", *it);
    }
    ASSERT_FALSE(HasFailure());

    // In the report the locked buttons are passed over.
    showReport(CTL_OPEN_ALL);
    ASSERT_FALSE(HasFailure());
    EXPECT_EQ(now.tabStops, (std::vector<int>{0, 10, 11}));
    press("Tab", CTL_BOLT_LIST);
    press("Tab", CTL_MOVE_LIST);
    press("Tab", CTL_BACK);
    press("Tab", CTL_BOLT_LIST);
    press("shift+Tab", CTL_BACK);
    press("shift+Tab", CTL_MOVE_LIST);
    EXPECT_EQ(now.statuses(), shown(ALL_CLOSED)) << "moving the focus flips nothing";
}

TEST_F(VelmorinTest, TheCloseBoxEndsTheProgramWithExitCodeZero) {
    clickRowExpecting(3, ALL_CLOSED ^ 0b1000);
    auto point = probe->closeBox();
    ASSERT_TRUE(point);
    EXPECT_GT(point->first, now.frame.x + now.frame.width / 2);
    EXPECT_LT(point->second, now.clientY);
    ASSERT_TRUE(clickAt(point->first, point->second));
    EXPECT_EQ(program.waitExit(SETTLE), std::optional<int>(0));
    EXPECT_TRUE(probe->waitGone(SETTLE));
}

TEST_F(VelmorinTest, TheCloseBoxEndsTheProgramWhileTheReportIsShown) {
    showReport(CTL_CLOSE_ALL);
    ASSERT_FALSE(HasFailure());
    auto point = probe->closeBox();
    ASSERT_TRUE(point);
    EXPECT_GT(point->first, now.frame.x + 140) << "the close box moved with the wider frame";
    ASSERT_TRUE(clickAt(point->first, point->second));
    EXPECT_EQ(program.waitExit(SETTLE), std::optional<int>(0));
}

// As the README shows it, pixel for pixel, as it starts and after "Alles Auf".
// Another Wine than the one that drew the pictures draws the frame, the fonts
// and the disabled toggle otherwise: there the window keeps their client sizes.
TEST_F(VelmorinTest, LooksAsItsPicturesAndAltF4EndsItWithExitCodeZero) {
    std::ifstream drawn(DOCS_DIR "/pictures-wine.txt");
    std::string drewThem;
    std::getline(drawn, drewThem);
    std::map<std::string, std::string> clientSizes; // "narrow" -> "140 400"
    for (std::string name, size; drawn >> name && std::getline(drawn >> std::ws, size);) {
        clientSizes[name] = size;
    }
    const std::string thisWine = shellOutput("wine --version");
    const bool pixels = drewThem == thisWine;
    if (!pixels) {
        std::printf("[   NOTE   ] the pictures were drawn by %s, this is %s: their client sizes "
                    "are compared, not their pixels\n",
                    drewThem.c_str(), thisWine.c_str());
    }
    auto looksAs = [&](const std::string& name) {
        std::string account;
        if (pixels) {
            EXPECT_EQ(pictureDifference(name, &account), 0) << account;
            return;
        }
        const ProbeState state = probe->state();
        EXPECT_EQ(clientSizes[name],
                  std::to_string(state.clientWidth) + " " + std::to_string(state.clientHeight))
            << name;
    };
    std::string account;
    EXPECT_GT(pictureDifference("report", &account), 0)
        << "a check that passes the narrow window for the report would pass anything";
    looksAs("narrow");
    showReport(CTL_OPEN_ALL);
    looksAs("report");
    ASSERT_TRUE(pressKey("alt+F4"));
    EXPECT_EQ(program.waitExit(SETTLE), std::optional<int>(0));
}

// The narrow calls would read the program's Windows-1252 texts in the
// system's code page: "Zur\u044Cck" under Russian, "Zur\u03CCck" under Greek,
// and under Japanese and Chinese 0xFC would swallow the "c" as one double-byte
// character. The probe reads every text in UTF-16, whatever its own code page.
class VelmorinLocaleTest : public VelmorinTest {
  protected:
    void SetUp() override {}
};

TEST_F(VelmorinLocaleTest, EveryTextReadsAsWrittenUnderEverySystemCodePage) {
    for (const char* locale :
         {"de_DE.UTF-8", "ru_RU.UTF-8", "el_GR.UTF-8", "ja_JP.UTF-8", "zh_CN.UTF-8"}) {
        SCOPED_TRACE(locale);
        startFilled(locale);
        ASSERT_FALSE(HasFailure());
        showReport(CTL_OPEN_ALL);
        now = waitUntil("the whole report is listed",
                        [](const ProbeState& s) { return s.lines.size() == 24; });
        ASSERT_FALSE(HasFailure());
        EXPECT_EQ(now.title, "Velmorin");
        EXPECT_EQ(now.control(CTL_BACK)->text, BACK_TEXT);
        EXPECT_EQ(now.control(CTL_SYSTEM_TOGGLE)->text, "System an");
        EXPECT_EQ(now.columns, (std::vector<std::string>{"Riegel", "Status"}));
        EXPECT_EQ(now.labels().front(), "Riegel 1");
        EXPECT_EQ(now.lines[0], "22 Bewegungen:");
        EXPECT_EQ(now.lines[2], "Riegel 6");
        closeProgram();
    }
}

} // namespace
