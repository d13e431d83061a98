// Text results go into the scratch area at its position and never run past
// its end, however long the control's text is.
#include "tests/controls/controls_fixture.h"

#include "runtime/heap.h"
#include "toolkit/controls/button.h"
#include "toolkit/controls/list_box.h"
#include "toolkit/controls/list_icon.h"

#include <commctrl.h>

#include <gtest/gtest-spi.h>

#include <string>
#include <vector>

namespace {

constexpr int GUARD_BYTES = 64;
constexpr char GUARD = 'G';

// A list-view may answer with a pointer to its own copy of a cell's text
// instead of filling the caller's buffer; this one always does, in whichever
// form it is asked.
std::string ownCopy;
std::wstring ownWideCopy;
WNDPROC listViewProc;

LRESULT CALLBACK answerFromOwnCopy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LVM_GETITEMA && (reinterpret_cast<LVITEMA*>(lParam)->mask & LVIF_TEXT)) {
        reinterpret_cast<LVITEMA*>(lParam)->pszText = ownCopy.data();
        return TRUE;
    }
    if (message == LVM_GETITEMW && (reinterpret_cast<LVITEMW*>(lParam)->mask & LVIF_TEXT)) {
        ownWideCopy.assign(ownCopy.begin(), ownCopy.end());
        reinterpret_cast<LVITEMW*>(lParam)->pszText = ownWideCopy.data();
        return TRUE;
    }
    return CallWindowProcW(listViewProc, window, message, wParam, lParam);
}

std::wstring platformText(HWND window) {
    wchar_t text[64] = {};
    GetWindowTextW(window, text, 64);
    return text;
}

std::wstring platformColumnTitle(HWND listView, int column) {
    wchar_t text[64] = {};
    LVCOLUMNW title = {};
    title.mask = LVCF_TEXT;
    title.pszText = text;
    title.cchTextMax = 64;
    SendMessageW(listView, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                 reinterpret_cast<LPARAM>(&title));
    return text;
}

class TextResultTest : public ControlsTest {
  protected:
    void SetUp() override {
        ControlsTest::SetUp();
        useGuardedArea();
    }

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
        EXPECT_TRUE(guardIntact()) << "a byte was written past the area's end";
    }

    // An area of the same size with guard bytes behind it, so that a write
    // past the area's end shows: the heap does not notice a single byte.
    void useGuardedArea() {
        guarded.assign(SCRATCH_STRING_SIZE + GUARD_BYTES, GUARD);
        ScratchString.area = guarded.data();
        ScratchString.position = guarded.data();
    }
    bool guardIntact() const {
        for (int i = SCRATCH_STRING_SIZE; i < SCRATCH_STRING_SIZE + GUARD_BYTES; ++i) {
            if (guarded[i] != GUARD) {
                return false;
            }
        }
        return true;
    }

    const std::string longLine = std::string(100, 'L') + "!";
    std::vector<char> guarded;
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

TEST_F(TextResultTest, AListBoxLineAsLongAsTheRoomLosesItsLastCharacter) {
    createListBox(10, 0, 0, 100, 100);
    controlAddItem(10, -1, "zehn Bytes");
    leaveRoom(10);
    EXPECT_STREQ(controlGetItemText(10, 0, 0), "zehn Byte");
    EXPECT_EQ(ScratchString.position, scratchLastByte());
    EXPECT_TRUE(guardIntact());
}

TEST_F(TextResultTest, TheSelectedListBoxLineIsCutAlike) {
    createListBox(10, 0, 0, 100, 100);
    controlAddItem(10, -1, longLine.c_str());
    controlSetState(10, 0);
    leaveRoom(1);
    EXPECT_STREQ(controlGetText(10), "");
    expectWithinTheArea();
}

// The selected line of a list box and the focused row of a list-icon read
// whole at either end of the list, with room to spare and with room for the
// text and its terminator alone.
TEST_F(TextResultTest, TheSelectedLineReadsWholeAtTheFirstAndTheLastLine) {
    createListBox(10, 0, 0, 100, 100);
    createListIcon(0, 110, 0, 200, 200, "Riegel", 70);
    for (const char* line : {"erste Zeile", "Mitte", "letzte Zeile!"}) {
        controlAddItem(10, -1, line);
        controlAddItem(0, -1, line);
    }
    *scratchLastByte() = '\0'; // as the area is made, zero-filled
    const struct {
        int number, line;
        const char* text;
        int length;
    } cases[] = {
        {10, 0, "erste Zeile", 11},
        {10, 2, "letzte Zeile!", 13},
        {0, 0, "erste Zeile", 11},
        {0, 2, "letzte Zeile!", 13},
    };
    for (const auto& c : cases) {
        for (int room : {SCRATCH_STRING_SIZE, c.length + 1}) {
            SCOPED_TRACE(testing::Message()
                         << "control " << c.number << ", line " << c.line << ", room " << room);
            controlSetState(c.number, c.line);
            ASSERT_EQ(controlGetState(c.number), c.line);
            char* start = leaveRoom(room);
            EXPECT_STREQ(controlGetText(c.number), c.text);
            EXPECT_EQ(ScratchString.position, start + c.length);
            expectWithinTheArea();
        }
    }
}

TEST_F(TextResultTest, ALongListIconCellIsCutAtTheAreasEnd) {
    watchTextRooms(createListIcon(0, 0, 0, 200, 200, "Riegel", 70));
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

    // A cell as long as the room: the control keeps a unit for the terminator.
    const std::string roomLong(300, 'R');
    controlSetItemText(0, 0, roomLong.c_str(), 1);
    leaveRoom(300);
    EXPECT_EQ(std::string(controlGetItemText(0, 0, 1)), roomLong.substr(0, 299));
    expectWithinTheArea();
    EXPECT_GE(textRoomsChecked(), 2);
}

TEST_F(TextResultTest, ACellFromTheControlsOwnCopyIsCutAlike) {
    HWND list = createListIcon(0, 0, 0, 200, 200, "Riegel", 70);
    addListIconColumn(0, 1, "Status", 56);
    controlAddItem(0, -1, "kurz\nlang");
    listViewProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(answerFromOwnCopy)));

    // A cell gives at most 9999 characters, however much room is left.
    ownCopy = std::string(9999, 'c');
    EXPECT_EQ(std::string(controlGetItemText(0, 0, 1)), ownCopy);
    scratchRestore(ScratchString.area);
    ownCopy += 'c';
    EXPECT_EQ(std::string(controlGetItemText(0, 0, 1)), std::string(9999, 'c'));

    ownCopy = std::string(11, 'e');
    leaveRoom(12);
    EXPECT_EQ(std::string(controlGetItemText(0, 0, 1)), ownCopy);
    EXPECT_EQ(ScratchString.position, scratchLastByte());
    ownCopy += std::string(29, 'e');
    leaveRoom(12);
    EXPECT_EQ(std::string(controlGetItemText(0, 0, 1)), std::string(11, 'e'));
    EXPECT_TRUE(guardIntact());
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

// Every text reaches the platform as the characters its Windows-1252 bytes
// stand for, whatever the system's code page, and reads back as those bytes.
TEST_F(TextResultTest, TextsKeepTheirCharactersOnTheWayThroughThePlatform) {
    const char* text = "Zur\xFC"
                       "ck \x80\x9F";
    const std::wstring characters = L"Zur\u00FCck \u20AC\u0178";
    const std::string fields = std::string(text) + "\n" + text;
    HWND button = createButton(1, 0, 0, 100, 20, text);
    HWND listBox = createListBox(10, 0, 30, 100, 100);
    controlAddItem(10, -1, text);
    HWND listView = createListIcon(0, 0, 140, 200, 100, text, 70);
    addListIconColumn(0, 1, text, 56);
    controlAddItem(0, -1, fields.c_str());
    controlAddItem(0, -1, "");
    controlSetItemText(0, 1, text, 1);

    EXPECT_EQ(platformText(button), characters);
    EXPECT_EQ(listBoxLine(listBox, 0), text);
    EXPECT_EQ(platformColumnTitle(listView, 0), characters);
    EXPECT_EQ(platformColumnTitle(listView, 1), characters);
    EXPECT_EQ(listViewCell(listView, 0, 0), text);
    EXPECT_EQ(listViewCell(listView, 0, 1), text);
    EXPECT_EQ(listViewCell(listView, 1, 1), text);

    EXPECT_STREQ(controlGetText(1), text);
    EXPECT_STREQ(controlGetItemText(10, 0, 0), text);
    controlSetState(0, 0);
    EXPECT_STREQ(controlGetText(0), text);
    EXPECT_STREQ(controlGetItemText(0, 1, 1), text);
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

// The checks above, each once on a case known to be wrong.
TEST_F(TextResultTest, TheAreaChecksReportAByteBeyondTheAreaAndAMissingTerminator) {
    leaveRoom(5)[4] = '\0';
    *ScratchString.position = '\0';
    guarded[SCRATCH_STRING_SIZE] = 'x';
    EXPECT_NONFATAL_FAILURE(expectWithinTheArea(), "a byte was written past the area's end");
    guarded[SCRATCH_STRING_SIZE] = GUARD;
    *ScratchString.position = 'x';
    EXPECT_NONFATAL_FAILURE(expectWithinTheArea(), "*ScratchString.position");
    *ScratchString.position = '\0';
    expectWithinTheArea();
}

// Answers as a list holding one line of 300 units would, and writes nothing,
// so that the watch can be shown short buffers without anything overrunning.
LRESULT CALLBACK standInList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == LB_GETTEXTLEN) {
        return 300;
    }
    if (message == LB_GETTEXT || message == LB_INSERTSTRING || message == LVM_GETITEMW ||
        message == LVM_SETITEMTEXTW) {
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

using TextRoomWatchTest = ControlsTest;

TEST_F(TextRoomWatchTest, ReportsEveryBlockTooShortForWhatGoesIntoIt) {
    HWND standIn = CreateWindowExW(0, L"STATIC", nullptr, WS_CHILD, 0, 0, 10, 10, parent, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(standIn, nullptr);
    SetWindowLongPtrW(standIn, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(standInList));
    watchTextRooms(standIn);

    // Room for the 300 units of the line but not for its terminator, and
    // filled by a text that has none inside it.
    WCHAR* line = static_cast<WCHAR*>(heapAllocZeroed(300 * sizeof(WCHAR)));
    for (int i = 0; i < 300; ++i) {
        line[i] = L'x';
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.cchTextMax = 301;
    const struct {
        UINT message;
        bool inAnItem; // the text's block goes in an LVITEMW, not on its own
        const char* report;
    } cases[] = {
        {LB_GETTEXT, false, "LB_GETTEXT writes the whole line and its terminator"},
        {LVM_GETITEMW, true, "a list-view writes up to cchTextMax units"},
        {LB_INSERTSTRING, false, "a line given to the list box ends inside its block"},
        {LVM_SETITEMTEXTW, true, "a cell given to the list-view ends inside its block"},
    };
    auto send = [&](UINT message, bool inAnItem) {
        item.pszText = line;
        return SendMessageW(standIn, message, 0,
                            inAnItem ? reinterpret_cast<LPARAM>(&item)
                                     : reinterpret_cast<LPARAM>(line));
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        EXPECT_NONFATAL_FAILURE(send(c.message, c.inAnItem), c.report);
    }

    // One unit more, zero, and the same requests pass.
    line = static_cast<WCHAR*>(heapReallocZeroed(line, 301 * sizeof(WCHAR)));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.report);
        send(c.message, c.inAnItem);
    }
    EXPECT_EQ(textRoomsChecked(), 8);
}

} // namespace
