#include "tests/controls/controls_fixture.h"
#include "tests/support/heap_blocks.h"

#include "toolkit/controls/button.h"
#include "toolkit/controls/list_icon.h"
#include "toolkit/controls/list_icon_images.h"

#include <commctrl.h>

#include <cstring>

namespace {

constexpr DWORD EXTENDED_BITS =
    LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP | LVS_EX_FULLROWSELECT;

DWORD styleOf(HWND window) {
    return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
}

DWORD extendedOf(HWND window) {
    return static_cast<DWORD>(SendMessageA(window, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
}

class ListIconTest : public ControlsTest {
  protected:
    // The bolt list as the program makes it: two columns, six rows.
    HWND createBoltList() {
        HWND window = createListIcon(0, 5, 5, 130, 303, "Riegel", 70, 0x40000000);
        addListIconColumn(0, 1, "Status", 56);
        return window;
    }
    HWND createWithRows(int rows) {
        HWND window = createBoltList();
        addListIconColumn(0, 2, "Mehr", 40);
        for (int i = 0; i < rows; ++i) {
            std::string text = "Riegel " + std::to_string(i + 1);
            controlAddItem(0, i + 1, text.c_str());
        }
        return window;
    }
};

TEST_F(ListIconTest, TheProgramsBoltListIsASingleSelectionReportList) {
    HWND window = createBoltList();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(styleOf(window) & 0x50010045u, 0x50010045u);
    EXPECT_EQ(styleOf(window) & LVS_TYPEMASK, static_cast<DWORD>(LVS_REPORT));
    EXPECT_EQ(extendedOf(window) & EXTENDED_BITS, static_cast<DWORD>(LVS_EX_FULLROWSELECT));
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(GetDlgCtrlID(window), 0);
    EXPECT_EQ(lookupControl(0)->window, window);
    EXPECT_EQ(lookupControl(0)->type, &ListIconType);

    char title[32] = {};
    LVCOLUMNA column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
    column.pszText = title;
    column.cchTextMax = sizeof title;
    ASSERT_TRUE(SendMessageA(window, LVM_GETCOLUMNA, 0, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, "Riegel");
    EXPECT_EQ(column.cx, 70);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
    ASSERT_TRUE(SendMessageA(window, LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&column)));
    EXPECT_STREQ(title, "Status");
    EXPECT_EQ(column.cx, 56);
}

TEST_F(ListIconTest, FlagWordsGiveTheirWindowAndExtendedStyles) {
    struct Case {
        DWORD flags;
        DWORD styleBits;
        bool singleSelection;
        DWORD extended;
    };
    const Case cases[] = {
        {0, 0x50010045, true, 0},
        {0x00000004, 0x50010041, false, 0},
        {0x00010001, 0x50010045, true, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES},
        {0x10000000, 0x50010045, true, LVS_EX_HEADERDRAGDROP},
    };
    int number = 0;
    for (const Case& c : cases) {
        HWND window = createListIcon(number, 0, 0, 100, 100, "t", 40, c.flags);
        ASSERT_NE(window, nullptr) << c.flags;
        EXPECT_EQ(styleOf(window) & c.styleBits, c.styleBits) << std::hex << c.flags;
        EXPECT_EQ((styleOf(window) & LVS_SINGLESEL) != 0, c.singleSelection) << c.flags;
        EXPECT_EQ(extendedOf(window) & EXTENDED_BITS, c.extended) << std::hex << c.flags;
        controlFree(number++);
    }
}

TEST_F(ListIconTest, RowsAddedAtOneToSixComeInOrder) {
    HWND window = createWithRows(6);
    ASSERT_EQ(listViewRows(window), 6);
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(listViewCell(window, row, 0), "Riegel " + std::to_string(row + 1));
    }
    EXPECT_EQ(ListIconType.countItems(window), 6);
}

TEST_F(ListIconTest, MinusOneAppendsAndZeroInsertsFirst) {
    HWND window = createBoltList();
    EXPECT_EQ(controlAddItem(0, -1, "b"), 0);
    EXPECT_EQ(controlAddItem(0, -1, "c"), 1);
    EXPECT_EQ(controlAddItem(0, 0, "a"), 0);
    ASSERT_EQ(listViewRows(window), 3);
    EXPECT_EQ(listViewCell(window, 0, 0), "a");
    EXPECT_EQ(listViewCell(window, 1, 0), "b");
    EXPECT_EQ(listViewCell(window, 2, 0), "c");
}

TEST_F(ListIconTest, LineFeedsSplitTheFieldsOfACopy) {
    HWND window = createBoltList();
    addListIconColumn(0, 2, "Drei", 40);
    char three[] = "eins\nzwei\ndrei";
    char trailing[] = "vier\n";
    char doubled[] = "f\xFCnf\n\nsieben";
    controlAddItem(0, -1, three);
    controlAddItem(0, -1, trailing);
    controlAddItem(0, -1, doubled);
    EXPECT_STREQ(three, "eins\nzwei\ndrei");
    EXPECT_STREQ(trailing, "vier\n");
    EXPECT_STREQ(doubled, "f\xFCnf\n\nsieben");

    EXPECT_EQ(listViewCell(window, 0, 0), "eins");
    EXPECT_EQ(listViewCell(window, 0, 1), "zwei");
    EXPECT_EQ(listViewCell(window, 0, 2), "drei");
    EXPECT_EQ(listViewCell(window, 1, 0), "vier");
    EXPECT_EQ(listViewCell(window, 1, 1), "");
    EXPECT_EQ(listViewCell(window, 2, 0), "f\xFCnf");
    EXPECT_EQ(listViewCell(window, 2, 1), "");
    EXPECT_EQ(listViewCell(window, 2, 2), "sieben");
}

TEST_F(ListIconTest, FieldsFollowTheRowWhereverItLands) {
    HWND window = createBoltList();
    controlAddItem(0, -1, "a\n1");
    // Beyond the row count: the row is appended, and its field goes with it.
    controlAddItem(0, 5, "b\n2");
    ASSERT_EQ(listViewRows(window), 2);
    EXPECT_EQ(listViewCell(window, 1, 0), "b");
    EXPECT_EQ(listViewCell(window, 1, 1), "2");
    EXPECT_EQ(listViewCell(window, 0, 1), "1");
}

TEST_F(ListIconTest, ANegativePositionIsTheControlsToJudge) {
    HWND window = createBoltList();
    controlAddItem(0, -1, "a\n1");
    int row = controlAddItem(0, -5, "b\n2");
    RecordProperty("rowForMinusFive", row);
    if (row < 0) {
        EXPECT_EQ(listViewRows(window), 1);
        EXPECT_EQ(listViewCell(window, 0, 1), "1"); // no other row gets the field
    } else {
        EXPECT_EQ(listViewRows(window), 2);
        EXPECT_EQ(listViewCell(window, row, 0), "b");
        EXPECT_EQ(listViewCell(window, row, 1), "2");
    }
}

TEST_F(ListIconTest, WriteRowFieldsCutsItsTextAndSendsEveryField) {
    HWND window = createWithRows(1);
    char fields[] = "x\ny\nz\n";
    writeRowFields(window, 0, fields);
    EXPECT_EQ(listViewCell(window, 0, 1), "x");
    EXPECT_EQ(listViewCell(window, 0, 2), "y");
    EXPECT_EQ(std::memcmp(fields, "x\0y\0z\0", 7), 0);
    EXPECT_EQ(listViewCell(window, 0, 0), "Riegel 1");
}

TEST_F(ListIconTest, SetItemTextWritesOneCellWhole) {
    HWND window = createWithRows(2);
    controlSetItemText(0, 0, "zu", 1);
    EXPECT_EQ(listViewCell(window, 0, 1), "zu");
    EXPECT_EQ(listViewCell(window, 0, 0), "Riegel 1");
    EXPECT_EQ(listViewCell(window, 1, 1), "");
    controlSetItemText(0, 1, "a\nb", 1);
    EXPECT_EQ(listViewCell(window, 1, 1), "a\nb");
    EXPECT_EQ(listViewCell(window, 1, 2), "");
    controlSetItemText(0, 0, nullptr, 1);
    EXPECT_EQ(listViewCell(window, 0, 1), "");
    controlSetItemText(0, 7, "auf", 1); // no such row: nothing changes
    EXPECT_EQ(listViewRows(window), 2);
}

TEST_F(ListIconTest, StateIsTheFocusedRow) {
    HWND window = createWithRows(6);
    EXPECT_EQ(controlGetState(0), -1);
    controlSetState(0, 2);
    EXPECT_EQ(controlGetState(0), 2);
    EXPECT_EQ(listViewMarks(window, 2), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(GetFocus(), window);
    EXPECT_STREQ(controlGetText(0), "Riegel 3");
    controlSetState(0, -1);
    EXPECT_EQ(controlGetState(0), -1);
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(listViewMarks(window, row), 0u) << row;
    }
    EXPECT_STREQ(controlGetText(0), "");
}

TEST_F(ListIconTest, ClearingWithNoFocusedRowLeavesASelectedRowSelected) {
    HWND window = createWithRows(3);
    LVITEMA mark = {};
    mark.stateMask = LVIS_SELECTED;
    mark.state = LVIS_SELECTED;
    SendMessageA(window, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&mark));
    ASSERT_EQ(SendMessageA(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), -1);
    ASSERT_EQ(listViewMarks(window, 1), static_cast<UINT>(LVIS_SELECTED));
    controlSetState(0, -1);
    EXPECT_EQ(listViewMarks(window, 1), static_cast<UINT>(LVIS_SELECTED));
    EXPECT_EQ(ListIconType.getItemState(window, 1), 2);
    EXPECT_EQ(ListIconType.getItemState(window, 0), 0);
}

TEST_F(ListIconTest, ItemStatesMarkAndUnmarkWithoutMovingTheFocus) {
    HWND window = createWithRows(3);
    HWND button = createButton(5, 200, 10, 60, 20, "x");
    SetFocus(button);
    ListIconType.setItemState(window, 0, 1);
    EXPECT_EQ(listViewMarks(window, 0), static_cast<UINT>(LVIS_FOCUSED | LVIS_SELECTED));
    EXPECT_EQ(GetFocus(), button);
    ListIconType.setItemState(window, 0, 5);
    EXPECT_EQ(listViewMarks(window, 0), 0u);
}

TEST_F(ListIconTest, TheFocusedRowsTextCanBeRewritten) {
    HWND window = createWithRows(2);
    controlSetState(0, 1);
    char text[] = "neu\nauf";
    ListIconType.setText(window, text);
    EXPECT_EQ(listViewCell(window, 1, 0), "neu");
    EXPECT_EQ(listViewCell(window, 1, 1), "auf");
    EXPECT_EQ(listViewCell(window, 0, 0), "Riegel 1");
}

TEST_F(ListIconTest, RowsCanBeRemovedAndCleared) {
    HWND window = createWithRows(3);
    ListIconType.removeItem(window, 0);
    EXPECT_EQ(listViewCell(window, 0, 0), "Riegel 2");
    ListIconType.clearItems(window);
    EXPECT_EQ(listViewRows(window), 0);
    // A row's fields are split in a copy from the process heap (GlobalAlloc);
    // 200 rows added and cleared, with fields and without, leave no block per
    // row behind. Without redrawing, the list takes them in a moment.
    SendMessageA(window, WM_SETREDRAW, FALSE, 0);
    const int blocks = liveHeapBlocks(GetProcessHeap());
    for (int row = 0; row < 200; ++row) {
        controlAddItem(0, -1, row % 2 ? "Riegel" : "Riegel\nzu");
    }
    ListIconType.clearItems(window);
    EXPECT_LT(liveHeapBlocks(GetProcessHeap()), blocks + 50);
}

TEST_F(ListIconTest, AFreedListIconAnswersZero) {
    HWND window = createWithRows(3);
    controlSetState(0, 1);
    controlFree(0);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(lookupControl(0)->type, &ListIconType);
    EXPECT_EQ(controlGetState(0), 0);
    EXPECT_EQ(ListIconType.getState(nullptr), 0);
    EXPECT_EQ(ListIconType.countItems(nullptr), 0);
    EXPECT_EQ(ListIconType.addItem(nullptr, -1, "x"), -1);
}

TEST_F(ListIconTest, AFailedCreationLeavesTheRecordAsItWas) {
    HWND button = createButton(4, 0, 0, 60, 20, "x");
    useControlParent(reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7654)));
    EXPECT_EQ(createListIcon(4, 0, 0, 100, 100, "t", 40), nullptr);
    EXPECT_EQ(createListIcon(40, 0, 0, 100, 100, "t", 40), nullptr);
    EXPECT_EQ(lookupControl(4)->window, button);
    EXPECT_EQ(lookupControl(4)->type, &ButtonType);
    EXPECT_EQ(controlTable.capacity, 30); // not grown either
    EXPECT_EQ(controlGetState(40), 0);
}

TEST_F(ListIconTest, ImagesAreSharedAndAttachedOnce) {
    HWND window = createBoltList();
    HICON icon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(ListIconType.addImageItem(window, -1, "mit Bild", icon), 0);
    EXPECT_EQ(ListIconType.addImageItem(window, -1, "noch eins", icon), 1);
    EXPECT_EQ(ListIconImages.count, 1);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(window, LVM_GETIMAGELIST, LVSIL_SMALL, 0)),
              ListIconImages.small);
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = 1;
    SendMessageA(window, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 0); // the first image of an empty list
    EXPECT_EQ(ImageList_GetImageCount(ListIconImages.small), 1);
    EXPECT_EQ(ImageList_GetImageCount(ListIconImages.large), 1);
    // Each view's list holds its images at the system's icon size for that
    // view (at the 96 dpi of the test desktop), 16 bits deep, with a mask that
    // keeps an icon's transparent pixels transparent (ILC_COLOR16 | ILC_MASK).
    const struct { int which, size; } sizes[] = {{LVSIL_NORMAL, 32}, {LVSIL_SMALL, 16}};
    for (const auto& size : sizes) {
        int width = 0, height = 0;
        HIMAGELIST list =
            reinterpret_cast<HIMAGELIST>(SendMessageA(window, LVM_GETIMAGELIST, size.which, 0));
        ASSERT_TRUE(ImageList_GetIconSize(list, &width, &height)) << size.which;
        EXPECT_EQ(width, size.size) << size.which;
        EXPECT_EQ(height, size.size) << size.which;
        EXPECT_EQ(ImageList_GetImageCount(list), 1) << size.which;
        IMAGEINFO info = {};
        ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info)) << size.which;
        EXPECT_NE(info.hbmMask, nullptr) << "no mask in the list of view " << size.which;
        BITMAP image = {};
        ASSERT_EQ(GetObjectA(info.hbmImage, sizeof image, &image), static_cast<int>(sizeof image));
        EXPECT_EQ(image.bmBitsPixel, 16) << size.which;
    }
}

} // namespace
