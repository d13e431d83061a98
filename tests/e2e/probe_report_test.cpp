// The driver reads everything through these lines; a misread field would make
// every end-to-end check look at the wrong thing.
#include "tests/e2e/probe_report.h"

#include <gtest/gtest.h>

namespace {

const char SAMPLE[] = "window 1\n"
                      "title Velmorin\n"
                      "style 94c80000\n"
                      "visible -1 1\n"
                      "rect -1 382 184 146 425\n"
                      "client 260 400\n"
                      "clientorigin 385 206\n"
                      "focus 11\n"
                      "active 1\n"
                      "control 0 SysListView32 50010045 1 1\n"
                      "rect 0 390 211 130 303\n"
                      "text 0 \n"
                      "rowcount 2\n"
                      "columncount 2\n"
                      "column 0 Riegel\n"
                      "column 1 Status\n"
                      "cell 0 0 Riegel 1\n"
                      "cell 0 1 zu\n"
                      "itemrect 0 392 230 126 14\n"
                      "cell 1 0 Riegel 2\n"
                      "cell 1 1 auf\n"
                      "itemrect 1 392 244 126 14\n"
                      "rows zu auf\n"
                      "lvfocus -1\n"
                      "lvselected 0\n"
                      "control 1 Button 58011003 1 0\n"
                      "rect 1 390 548 130 24\n"
                      "text 1 System an\n"
                      "check 1 1\n"
                      "control 10 ListBox 50030141 1 1\n"
                      "lines 3\n"
                      "line 0 2 Bewegungen:\n"
                      "line 1 a\\\\b\\nc\n"
                      "line 2 \n"
                      "control 11 Button 50030000 1 1\n"
                      "text 11 <<< Zur\xFC"
                      "ck <<<\n"
                      "tabstops 0 10 11\n";

TEST(ProbeReport, ReadsTheWindow) {
    ProbeState s = parseProbeState(SAMPLE);
    EXPECT_TRUE(s.window);
    EXPECT_EQ(s.title, "Velmorin");
    EXPECT_EQ(s.style, 0x94c80000u);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.frame, (ScreenRect{382, 184, 146, 425}));
    EXPECT_EQ(s.clientWidth, 260);
    EXPECT_EQ(s.clientHeight, 400);
    EXPECT_EQ(s.clientX, 385);
    EXPECT_EQ(s.clientY, 206);
    EXPECT_EQ(s.focus, 11);
    EXPECT_TRUE(s.active);
    EXPECT_EQ(s.tabStops, (std::vector<int>{0, 10, 11}));
    EXPECT_TRUE(s.unknownLines.empty());
    EXPECT_TRUE(s.timeouts.empty());
}

TEST(ProbeReport, ReadsControlsAndTheirTexts) {
    ProbeState s = parseProbeState(SAMPLE);
    ASSERT_NE(s.control(1), nullptr);
    EXPECT_EQ(s.control(1)->className, "Button");
    EXPECT_EQ(s.control(1)->style, 0x58011003u);
    EXPECT_TRUE(s.control(1)->visible);
    EXPECT_FALSE(s.control(1)->enabled);
    EXPECT_EQ(s.control(1)->check, 1);
    EXPECT_EQ(s.control(1)->text, "System an");
    EXPECT_EQ(s.control(1)->rect, (ScreenRect{390, 548, 130, 24}));
    EXPECT_EQ(s.control(0)->check, -1) << "only buttons report a check state";
    EXPECT_EQ(s.control(11)->text, "<<< Zur\xFC"
                                   "ck <<<");
    EXPECT_FALSE(s.has(2));
    EXPECT_EQ(s.control(2), nullptr);
}

TEST(ProbeReport, ReadsRowsKeepingBlanksInsideTexts) {
    ProbeState s = parseProbeState(SAMPLE);
    EXPECT_EQ(s.rowCount, 2);
    EXPECT_EQ(s.columns, (std::vector<std::string>{"Riegel", "Status"}));
    EXPECT_EQ(s.labels(), (std::vector<std::string>{"Riegel 1", "Riegel 2"}));
    EXPECT_EQ(s.statuses(), (std::vector<std::string>{"zu", "auf"}));
    ASSERT_EQ(s.rowRects.size(), 2u);
    EXPECT_EQ(s.rowRects[1], (ScreenRect{392, 244, 126, 14}));
    EXPECT_EQ(s.rowRects[1].centreX(), 455);
    EXPECT_EQ(s.rowRects[1].centreY(), 251);
    EXPECT_EQ(s.listFocusRow, -1);
    EXPECT_EQ(s.listSelectedCount, 0);
}

TEST(ProbeReport, ReadsListBoxLinesWithEscapesAndEmptyLines) {
    ProbeState s = parseProbeState(SAMPLE);
    EXPECT_EQ(s.lines, (std::vector<std::string>{"2 Bewegungen:", "a\\b\nc", ""}));
}

TEST(ProbeReport, MissingWindowLeavesEverythingEmpty) {
    ProbeState s = parseProbeState("window 0\n");
    EXPECT_FALSE(s.window);
    EXPECT_TRUE(s.controls.empty());
    EXPECT_TRUE(s.cells.empty());
    EXPECT_EQ(s.focus, FOCUS_NONE);
    EXPECT_NE(s.listFocusRow, -1) << "no list read must not pass for no row focused";
    EXPECT_NE(s.listSelectedCount, 0) << "no list read must not pass for none selected";
}

TEST(ProbeReport, AReadThatTimedOutIsNamedAndReadsAsNone) {
    ProbeState s = parseProbeState("rowcount timeout\ncolumncount timeout\nlvfocus timeout\n"
                                   "lvselected timeout\ncheck 1 timeout\nlines timeout\n"
                                   "timeout cell 3 0\ntimeout line 1\n");
    EXPECT_EQ(s.timeouts,
              (std::vector<std::string>{"rowcount", "columncount", "lvfocus", "lvselected",
                                        "check 1", "lines", "cell 3 0", "line 1"}));
    EXPECT_TRUE(s.cells.empty());
    EXPECT_TRUE(s.lines.empty());
    EXPECT_NE(s.listFocusRow, -1);
    EXPECT_NE(s.listSelectedCount, 0);
    EXPECT_EQ(s.control(1)->check, -1) << "neither pressed nor released";
    EXPECT_EQ(describeProbeTrouble(s),
              "; the probe timed out reading rowcount, columncount, lvfocus, "
              "lvselected, check 1, lines, cell 3 0, line 1");
    EXPECT_TRUE(s.unknownLines.empty());

    ProbeState ended = parseProbeState("cell 0 0 Riegel 1\ntimeout cell 0 1\nerror no memory\n");
    EXPECT_EQ(describeProbeTrouble(ended),
              "; the probe timed out reading cell 0 1; the probe gave up: no memory");
    EXPECT_TRUE(ended.unknownLines.empty());
}

TEST(ProbeReport, CarriageReturnsAndUnknownLinesDoNotCorruptFields) {
    ProbeState s = parseProbeState("window 1\r\ntitle A b\r\nbogus 1 2\ncell 5000 0 x\n"
                                   "line 3 out of order\n");
    EXPECT_EQ(s.title, "A b");
    EXPECT_TRUE(s.cells.empty()) << "absurd row numbers are not allocated";
    EXPECT_TRUE(s.lines.empty());
    EXPECT_EQ(s.unknownLines.size(), 2u);
}

TEST(ProbeReport, UnescapesOnlyWhatTheProbeEscapes) {
    EXPECT_EQ(unescapeProbeText("a\\nb\\rc\\\\d"), "a\nb\rc\\d");
    EXPECT_EQ(unescapeProbeText("trailing\\"), "trailing\\");
    EXPECT_EQ(unescapeProbeText("\xFC"), "\xFC");
}

} // namespace
