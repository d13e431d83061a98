// The probe's answer to `state`, read back into values the tests compare.
//
// Lines (texts run to the end of the line, with \\, \n and \r escaped):
//   window 0|1                       whether the top-level window exists
//   title TEXT | style HEX | visible -1 0|1
//   rect ID X Y W H                  screen rectangle; ID -1 is the window's frame
//   client W H | clientorigin X Y    client size and its top-left corner on the screen
//   focus ID | active 0|1            ID -1 none, -2 the window itself, -3 elsewhere
//   control ID CLASS STYLE VISIBLE ENABLED, text ID TEXT, check ID N
//   rowcount N | columncount N | column C TEXT | cell R C TEXT | itemrect R X Y W H
//   rows STATUS...                   the second column, for people reading along
//   lvfocus R | lvselected N         the list-view's focus row and selection count
//   lines N | line I TEXT            the list box
//   tabstops ID...                   enabled, visible WS_TABSTOP descendants in order
// A number that the window did not answer in time reads "timeout" instead; a
// text, a line of its own: timeout cell R C | timeout column C | timeout line I.
//   error REASON                     the probe gave up there and ended
#pragma once

#include <map>
#include <string>
#include <vector>

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int centreX() const { return x + width / 2; }
    int centreY() const { return y + height / 2; }
    bool operator==(const ScreenRect&) const = default;
};

struct ProbeControl {
    std::string className;
    unsigned style = 0;
    bool visible = false;
    bool enabled = false;
    ScreenRect rect;
    std::string text;
    int check = -1; // buttons only
};

inline constexpr int FOCUS_NONE = -1;
inline constexpr int FOCUS_WINDOW = -2;
inline constexpr int FOCUS_ELSEWHERE = -3;

struct ProbeState {
    bool window = false;
    std::string title;
    unsigned style = 0;
    bool visible = false;
    ScreenRect frame;
    int clientWidth = 0;
    int clientHeight = 0;
    int clientX = 0;
    int clientY = 0;
    int focus = FOCUS_NONE;
    bool active = false;
    std::map<int, ProbeControl> controls;
    int rowCount = 0;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> cells; // [row][column]
    std::vector<ScreenRect> rowRects;
    // What no list-view reports, so that an answer without these lines never
    // reads as "no row focused, none selected".
    int listFocusRow = -2;
    int listSelectedCount = -1;
    std::vector<std::string> lines;
    std::vector<int> tabStops;
    std::vector<std::string> unknownLines;
    // The lines whose number or text timed out ("lvfocus", "check 1",
    // "cell 3 0", ...).
    std::vector<std::string> timeouts;
    // Why the probe gave up in the middle of this answer, or empty.
    std::string gaveUp;

    bool has(int id) const { return controls.count(id) != 0; }
    const ProbeControl* control(int id) const;
    // The second column of every row, top to bottom.
    std::vector<std::string> statuses() const;
    std::vector<std::string> labels() const;
};

ProbeState parseProbeState(const std::string& answer);
// "; the probe timed out reading ..." and "; the probe gave up: ..." for a
// failure message, or empty.
std::string describeProbeTrouble(const ProbeState& state);
// Undoes the probe's escaping of a text.
std::string unescapeProbeText(const std::string& text);
