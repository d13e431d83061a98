#include "tests/controls/controls_fixture.h"

#include "toolkit/controls/button.h"
#include "toolkit/controls/list_box.h"
#include "toolkit/controls/list_icon.h"

#include <climits>
#include <cstring>

namespace {

using ControlTableTest = ControlsTest;

TEST_F(ControlTableTest, StartsWithThirtyNeverCreatedRecords) {
    EXPECT_EQ(controlTable.capacity, 30);
    EXPECT_EQ(controlTable.defaultControlFont, GetStockObject(ANSI_VAR_FONT));
    EXPECT_EQ(controlTable.currentControlParent, parent);
    for (int number = 0; number < 40; ++number) {
        ControlRecord* record = lookupControl(number);
        EXPECT_EQ(record->window, nullptr) << number;
        EXPECT_EQ(record->type, nullptr) << number;
        EXPECT_EQ(controlGetState(number), 0) << number;
        controlFree(number);
        EXPECT_EQ(controlAddItem(number, -1, "x"), 0) << number;
    }
    EXPECT_TRUE(childrenOf(parent).empty());
}

TEST_F(ControlTableTest, InitEmptiesTheKindsHandlerTables) {
    createButton(1, 0, 0, 50, 20, "a");
    createListBox(2, 0, 30, 50, 50);
    createListIcon(3, 0, 90, 100, 100, "t", 40);
    ASSERT_NE(ButtonType.getState, nullptr);
    ASSERT_NE(ListBoxType.addItem, nullptr);
    ASSERT_NE(ListIconType.addItem, nullptr);
    initControls();
    const ControlType empty = {};
    EXPECT_EQ(std::memcmp(&ButtonType, &empty, sizeof empty), 0);
    EXPECT_EQ(std::memcmp(&ListBoxType, &empty, sizeof empty), 0);
    EXPECT_EQ(std::memcmp(&ListIconType, &empty, sizeof empty), 0);
    EXPECT_EQ(controlTable.currentControlParent, nullptr);
}

TEST_F(ControlTableTest, LookupAtOrAboveCapacityGivesTheNullRecord) {
    EXPECT_EQ(lookupControl(29), &controlTable.records[29]);
    EXPECT_EQ(lookupControl(30), &controlTable.nullControlRecord);
    EXPECT_EQ(lookupControl(1000000), &controlTable.nullControlRecord);
    EXPECT_EQ(lookupControl(-1), &controlTable.nullControlRecord);
}

TEST_F(ControlTableTest, GrowthKeepsTheRecordsAndLeavesThirtyFreeNumbers) {
    HWND low = createButton(3, 0, 0, 50, 20, "3");
    HWND edge = createButton(29, 0, 30, 50, 20, "29");
    growControlTable(29);
    EXPECT_EQ(controlTable.capacity, 30);

    HWND thirty = createButton(30, 0, 60, 50, 20, "30");
    EXPECT_EQ(controlTable.capacity, 60);
    EXPECT_EQ(lookupControl(3)->window, low);
    EXPECT_EQ(lookupControl(29)->window, edge);
    EXPECT_EQ(lookupControl(30)->window, thirty);
    for (int number = 31; number < 60; ++number) {
        EXPECT_EQ(lookupControl(number)->type, nullptr) << number;
    }

    ControlRecord* storage = controlTable.records;
    createButton(5, 0, 90, 50, 20, "5");
    EXPECT_EQ(controlTable.capacity, 60);
    EXPECT_EQ(controlTable.records, storage);

    // Every kind grows the table for a number past its end; the record that
    // stands for the numbers beyond stays empty.
    const struct {
        int number;
        int capacity;
        HWND (*create)(int number);
    } kinds[] = {
        {100, 130, [](int n) { return createButton(n, 0, 120, 50, 20, "100"); }},
        {130, 160, [](int n) { return createListBox(n, 60, 0, 50, 50); }},
        {200, 230, [](int n) { return createListIcon(n, 120, 0, 100, 100, "t", 40); }},
    };
    for (const auto& kind : kinds) {
        HWND window = kind.create(kind.number);
        EXPECT_EQ(controlTable.nullControlRecord.window, nullptr) << kind.number;
        controlFree(60000); // a number past the table
        EXPECT_TRUE(IsWindow(window)) << kind.number;
        ASSERT_EQ(controlTable.capacity, kind.capacity) << kind.number;
        EXPECT_EQ(lookupControl(kind.number), &controlTable.records[kind.number]);
        EXPECT_EQ(lookupControl(kind.number)->window, window);
        EXPECT_EQ(lookupControl(kind.capacity - 1), &controlTable.records[kind.capacity - 1]);
        EXPECT_EQ(lookupControl(kind.capacity), &controlTable.nullControlRecord);
    }
    EXPECT_EQ(lookupControl(30)->window, thirty);
    EXPECT_EQ(lookupControl(3)->window, low);
    EXPECT_TRUE(HeapValidate(RuntimeHeap, 0, nullptr));
}

TEST_F(ControlTableTest, NumbersTheTableCannotHoldAreRefused) {
    EXPECT_EQ(createButton(-1, 0, 0, 50, 20, "neg"), nullptr);
    EXPECT_EQ(createButton(INT_MAX, 0, 0, 50, 20, "max"), nullptr);
    EXPECT_EQ(createListIcon(INT_MAX, 0, 0, 50, 50, "max", 20), nullptr);
    growControlTable(INT_MAX);
    EXPECT_EQ(controlTable.capacity, 30);
    EXPECT_TRUE(childrenOf(parent).empty());
    const ControlRecord& none = controlTable.nullControlRecord;
    EXPECT_EQ(none.window, nullptr);
    EXPECT_EQ(none.type, nullptr);
}

TEST_F(ControlTableTest, NumbersAbove65535AreRefusedLikeNegativeOnes) {
    for (int number : {65536, INT_MAX, -1}) {
        EXPECT_EQ(createButton(number, 0, 0, 50, 20, "out"), nullptr) << number;
        EXPECT_EQ(createListBox(number, 0, 0, 50, 50), nullptr) << number;
        EXPECT_EQ(createListIcon(number, 0, 0, 50, 50, "out", 20), nullptr) << number;
    }
    EXPECT_EQ(controlTable.capacity, 30);
    EXPECT_TRUE(childrenOf(parent).empty());

    // The highest number still reports its own clicks.
    HWND highest = createButton(65535, 0, 0, 50, 20, "highest");
    ASSERT_NE(highest, nullptr);
    EXPECT_EQ(controlTable.capacity, 65565);
    SendMessageA(highest, BM_CLICK, 0, 0);
    EXPECT_EQ(parentLog.lastCommandId, 65535);
    // Inside the grown table too, a number above it names no record.
    EXPECT_EQ(lookupControl(65536), &controlTable.nullControlRecord);
    EXPECT_EQ(lookupControl(INT_MAX), &controlTable.nullControlRecord);
    EXPECT_EQ(createButton(65536, 0, 0, 50, 20, "out"), nullptr);
    EXPECT_EQ(controlTable.capacity, 65565);
    controlFree(65535);
    EXPECT_FALSE(IsWindow(highest));
}

TEST_F(ControlTableTest, TheChildIdentifierIsTheNumberAndTheFontIsSet) {
    HWND button = createButton(7, 0, 0, 50, 20, "seven");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(GetDlgCtrlID(button), 7);
    EXPECT_EQ(GetParent(button), parent);
    EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(button, WM_GETFONT, 0, 0)),
              GetStockObject(ANSI_VAR_FONT));
}

TEST_F(ControlTableTest, FreeingTwiceDoesNothingTheSecondTime) {
    HWND button = createButton(4, 0, 0, 50, 20, "x");
    controlFree(4);
    EXPECT_FALSE(IsWindow(button));
    EXPECT_EQ(lookupControl(4)->window, nullptr);
    EXPECT_EQ(lookupControl(4)->type, &ButtonType); // freed: the type stays
    controlFree(4);
    EXPECT_EQ(lookupControl(4)->type, &ButtonType);
    EXPECT_TRUE(childrenOf(parent).empty());
}

TEST_F(ControlTableTest, AFreedNumberCanBeCreatedAgain) {
    HWND first = createButtonEx(4, 0, 0, 50, 20, "old", BUTTON_TOGGLE_FLAGS);
    controlSetState(4, 1);
    controlFree(4);
    HWND second = createButtonEx(4, 0, 0, 50, 20, "new", BUTTON_TOGGLE_FLAGS);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_EQ(lookupControl(4)->window, second);
    EXPECT_EQ(controlGetState(4), 0);
    EXPECT_EQ(windowText1252(second), "new");
}

TEST_F(ControlTableTest, DisableTakesZeroAsEnableAndAnythingElseAsDisable) {
    HWND button = createButton(2, 0, 0, 50, 20, "x");
    const int disabling[] = {1, 2, -1};
    for (int state : disabling) {
        controlDisable(2, 0);
        EXPECT_TRUE(IsWindowEnabled(button)) << state;
        controlDisable(2, state);
        EXPECT_FALSE(IsWindowEnabled(button)) << state;
    }
    controlDisable(2, 0);
    EXPECT_TRUE(IsWindowEnabled(button));
}

TEST_F(ControlTableTest, DisableOfANumberWithoutAControlLeavesTheParentAlone) {
    controlDisable(12, 1);
    controlDisable(300, 1);
    EXPECT_TRUE(IsWindowEnabled(parent));
}

TEST_F(ControlTableTest, AnAbsentTextIsAddedAsTheEmptyText) {
    HWND list = createListBox(10, 0, 0, 100, 100);
    EXPECT_EQ(controlAddItem(10, -1, nullptr), 0);
    EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 1);
    EXPECT_EQ(listBoxLine(list, 0), "");
}

TEST_F(ControlTableTest, ASecondCreationUnderALiveNumberLeavesBothWindows) {
    HWND first = createButton(11, 0, 0, 50, 20, "first");
    HWND second = createButton(11, 0, 30, 50, 20, "second");
    ASSERT_NE(first, second);
    EXPECT_EQ(childrenOf(parent).size(), 2u);
    EXPECT_EQ(lookupControl(11)->window, second);
    controlFree(11);
    EXPECT_TRUE(IsWindow(first));
    EXPECT_FALSE(IsWindow(second));
    controlFree(11);
    EXPECT_TRUE(IsWindow(first));
}

TEST_F(ControlTableTest, AFailedCreationHoldsNoWindowAndTheKindsType) {
    HWND earlier = createButton(6, 0, 0, 50, 20, "earlier");
    EXPECT_EQ(createControl(6, "NoSuchWindowClass", WS_CHILD | WS_VISIBLE, 0, 0, 0, 10, 10, "x",
                            &ListBoxType),
              nullptr);
    EXPECT_EQ(lookupControl(6)->window, nullptr);
    EXPECT_EQ(lookupControl(6)->type, &ListBoxType);
    EXPECT_TRUE(IsWindow(earlier)); // unreachable by number, still in its parent
    EXPECT_EQ(controlGetState(6), 0);
    EXPECT_EQ(controlAddItem(6, -1, "x"), 0);
}

TEST_F(ControlTableTest, WithoutAParentNothingIsCreated) {
    useControlParent(nullptr);
    EXPECT_EQ(createButton(1, 0, 0, 50, 20, "x"), nullptr);
    EXPECT_EQ(createListBox(2, 0, 0, 50, 50), nullptr);
    EXPECT_EQ(lookupControl(1)->window, nullptr);
    EXPECT_EQ(controlGetState(1), 0);
    EXPECT_EQ(controlGetState(2), 0);
}

TEST_F(ControlTableTest, OperationsOnAFreedControlTouchNoOtherWindow) {
    HWND button = createButton(1, 0, 0, 50, 20, "x");
    createListIcon(0, 60, 0, 150, 150, "Riegel", 70, 0x40000000);
    controlAddItem(0, -1, "a");
    controlAddItem(0, -1, "b");
    controlAddItem(0, -1, "c");
    controlFree(0);
    SetFocus(button);
    ASSERT_EQ(GetFocus(), button);
    controlSetState(0, 2); // would give the focus to the list-icon were it there
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(controlGetState(0), 0);
    EXPECT_EQ(controlAddItem(0, -1, "d"), 0);
    controlSetItemText(0, 0, "zu", 1);
    EXPECT_EQ(*controlGetText(0), '\0');
}

} // namespace
