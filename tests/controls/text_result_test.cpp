// Text results go into the scratch area at its position and never run past
// its end, however long the control's text is.
#include "tests/controls/controls_fixture.h"

#include "toolkit/controls/button.h"
#include "toolkit/controls/list_box.h"
#include "toolkit/controls/list_icon.h"

#include <string>

namespace {

class TextResultTest : public ControlsTest {
  protected:
    // Leaves `room` bytes, terminator included, at the position.
    char* leaveRoom(int room) {
        ScratchString.position = scratchLastByte() - (room - 1);
        EXPECT_EQ(scratchRoom(), room);
        return ScratchString.position;
    }
    void expectWithinTheArea() {
        EXPECT_LE(ScratchString.position, scratchLastByte());
        EXPECT_EQ(*ScratchString.position, '\0');
        EXPECT_EQ(*scratchLastByte(), '\0');
        EXPECT_TRUE(HeapValidate(RuntimeHeap, 0, nullptr));
    }

    const std::string longLine = std::string(100, 'L') + "!";
};

TEST_F(TextResultTest, ALongListBoxLineIsCutAtTheAreasEnd) {
    createListBox(10, 0, 0, 100, 100);
    controlAddItem(10, -1, longLine.c_str());
    char* start = leaveRoom(10);
    char* text = controlGetItemText(10, 0, 0);
    EXPECT_EQ(text, start);
    EXPECT_EQ(std::string(text), longLine.substr(0, 9));
    EXPECT_EQ(ScratchString.position, scratchLastByte());
    expectWithinTheArea();
}

TEST_F(TextResultTest, AListBoxLineThatJustFitsIsWhole) {
    createListBox(10, 0, 0, 100, 100);
    controlAddItem(10, -1, "neun Byte");
    char* start = leaveRoom(10);
    EXPECT_STREQ(controlGetItemText(10, 0, 0), "neun Byte");
    EXPECT_EQ(ScratchString.position, start + 9);
    expectWithinTheArea();
}

TEST_F(TextResultTest, TheSelectedListBoxLineIsCutAlike) {
    createListBox(10, 0, 0, 100, 100);
    controlAddItem(10, -1, longLine.c_str());
    controlSetState(10, 0);
    leaveRoom(1);
    EXPECT_STREQ(controlGetText(10), "");
    expectWithinTheArea();
}

TEST_F(TextResultTest, ALongListIconCellIsCutAtTheAreasEnd) {
    createListIcon(0, 0, 0, 200, 200, "Riegel", 70);
    addListIconColumn(0, 1, "Status", 56);
    controlAddItem(0, -1, ("kurz\n" + longLine).c_str());
    char* start = leaveRoom(12);
    char* text = controlGetItemText(0, 0, 1);
    EXPECT_EQ(text, start);
    EXPECT_EQ(std::string(text), longLine.substr(0, 11));
    expectWithinTheArea();

    scratchRestore(ScratchString.area);
    EXPECT_EQ(std::string(controlGetItemText(0, 0, 1)), longLine);
    EXPECT_EQ(ScratchString.position, ScratchString.area + longLine.size());
}

TEST_F(TextResultTest, TheFocusedRowsTextIsCutAlike) {
    createListIcon(0, 0, 0, 200, 200, "Riegel", 70);
    controlAddItem(0, -1, longLine.c_str());
    controlSetState(0, 0);
    leaveRoom(5);
    EXPECT_STREQ(controlGetText(0), "LLLL");
    expectWithinTheArea();
}

TEST_F(TextResultTest, AWindowTextIsCutAtTheAreasEnd) {
    createButton(1, 0, 0, 100, 20, longLine.c_str());
    leaveRoom(3);
    EXPECT_STREQ(controlGetText(1), "LL");
    expectWithinTheArea();
}

TEST_F(TextResultTest, AWindowTextIsCutAtFiveThousandBytes) {
    const std::string huge(6000, 'w');
    createButton(1, 0, 0, 100, 20, huge.c_str());
    char* start = ScratchString.position;
    EXPECT_EQ(std::string(controlGetText(1)), huge.substr(0, 4999));
    EXPECT_EQ(ScratchString.position, start + 4999);
}

TEST_F(TextResultTest, TheEmptyTextLeavesThePositionAndStoresATerminator) {
    createButton(2, 0, 0, 50, 20, "x");
    scratchAppend("abc");
    char* start = ScratchString.position;
    EXPECT_EQ(controlGetItemText(2, 0, 0), start); // no getItemText for buttons
    EXPECT_EQ(ScratchString.position, start);
    EXPECT_EQ(*start, '\0');
    EXPECT_EQ(controlGetText(25), start);  // never created
    EXPECT_EQ(controlGetText(500), start); // beyond the table
    EXPECT_EQ(ScratchString.position, start);
    EXPECT_STREQ(ScratchString.area, "abc");
}

} // namespace
