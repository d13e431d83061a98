#include "tests/support/heap_blocks.h"
#include "tests/window/window_fixture.h"

#include <climits>
#include <cstring>

namespace {

using WindowTableTest = WindowToolkitTest;

RECT windowRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

SIZE clientSize(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    return {rect.right, rect.bottom};
}

bool classRegistered(const char* name) {
    WNDCLASSA description;
    return GetClassInfoA(instanceHandle, name, &description) != 0;
}

HWND openHidden(int number) {
    return openWindow(number, 10, 10, 50, 50, 0x90C80000, "hidden");
}

bool recordIsZero(const WindowRecord& record) {
    static const WindowRecord zero = {};
    return std::memcmp(&record, &zero, sizeof(zero)) == 0;
}

TEST_F(WindowTableTest, StartsWithTenFreeNumbersAndTheTemplateClass) {
    EXPECT_EQ(windowTable.capacity, 10);
    ASSERT_NE(windowTable.records, nullptr);
    EXPECT_GE(HeapSize(RuntimeHeap, 0, windowTable.records), 12 * sizeof(WindowRecord));
    for (int i = 0; i < 12; ++i) {
        EXPECT_TRUE(recordIsZero(windowTable.records[i])) << i;
    }
    EXPECT_EQ(eventState.pendingEvent, 0);
    EXPECT_EQ(eventState.eventSource, 0);
    EXPECT_EQ(eventState.eventType, 0);

    WNDCLASSW description = {};
    ASSERT_TRUE(GetClassInfoW(instanceHandle, L"TemplateClass", &description));
    EXPECT_EQ(description.lpfnWndProc, toolkitWindowProc);
    EXPECT_EQ(currentWindowHandle(), nullptr);
}

TEST_F(WindowTableTest, OpensWithTheExactClientSizeAtTheOuterCorner) {
    HWND window = openWindow(0, 382, 184, 140, 400, MAIN_WINDOW_FLAGS, "Velmorin");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(currentWindowHandle(), window);
    EXPECT_EQ(windowTable.records[0].window, window);
    EXPECT_TRUE(IsWindowVisible(window));
    SIZE client = clientSize(window);
    EXPECT_EQ(client.cx, 140);
    EXPECT_EQ(client.cy, 400);
    RECT outer = windowRect(window);
    EXPECT_EQ(outer.left, 382);
    EXPECT_EQ(outer.top, 184);

    DWORD expectedStyle = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & expectedStyle, expectedStyle);
    EXPECT_EQ(GetWindowLongA(window, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetParent(window), nullptr);
    EXPECT_EQ(GetMenu(window), nullptr);
    char title[32] = {};
    GetWindowTextA(window, title, sizeof(title));
    EXPECT_STREQ(title, "Velmorin");
}

TEST_F(WindowTableTest, EachNumberHasItsOwnClassWithTheSharedDescription) {
    HWND window = openWindow(12, 0, 0, 100, 100, MAIN_WINDOW_FLAGS,
                             "Zur\xFC"
                             "ck \x80");
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(classNameOf(window), "WindowClass_12");
    // A Unicode window holds the Windows-1252 title's characters under any
    // system code page.
    EXPECT_TRUE(IsWindowUnicode(window));
    wchar_t title[16] = {};
    GetWindowTextW(window, title, 16);
    EXPECT_STREQ(title, L"Zur\u00FCck \u20AC");

    WNDCLASSW description = {};
    ASSERT_TRUE(GetClassInfoW(instanceHandle, L"WindowClass_12", &description));
    EXPECT_EQ(description.style, 0u);
    EXPECT_EQ(description.lpfnWndProc, toolkitWindowProc);
    EXPECT_EQ(description.cbClsExtra, 0);
    EXPECT_EQ(description.cbWndExtra, 0);
    EXPECT_EQ(description.hCursor, LoadCursorA(nullptr, IDC_ARROW));
    EXPECT_EQ(description.lpszMenuName, nullptr);
    // The test program carries no icon resource 1, so the class has none.
    EXPECT_EQ(description.hIcon, nullptr);

    LOGBRUSH brush = {};
    ASSERT_EQ(GetObjectA(description.hbrBackground, sizeof(brush), &brush),
              static_cast<int>(sizeof(brush)));
    EXPECT_EQ(brush.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(brush.lbColor, GetSysColor(COLOR_BTNFACE));
}

TEST_F(WindowTableTest, TheHiddenFlagOpensAnInvisibleWindow) {
    HWND window = openWindow(0, 382, 184, 140, 400, 0x90C80000, "Velmorin");
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(GetWindowLongA(window, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(clientSize(window).cx, 140);
}

TEST_F(WindowTableTest, ResizeKeepsTheCornerAndSetsTheClientSize) {
    HWND window = openMainWindow();
    ASSERT_NE(window, nullptr);
    resizeWindow(260, 400);
    SIZE client = clientSize(window);
    EXPECT_EQ(client.cx, 260);
    EXPECT_EQ(client.cy, 400);
    RECT outer = windowRect(window);
    EXPECT_EQ(outer.left, MAIN_X);
    EXPECT_EQ(outer.top, MAIN_Y);
    resizeWindow(140, 400);
    EXPECT_EQ(clientSize(window).cx, 140);
    EXPECT_EQ(windowRect(window).left, MAIN_X);
}

TEST_F(WindowTableTest, ResizingAfterTheCurrentWindowClosedDoesNothing) {
    HWND first = openHidden(1);
    HWND current = openHidden(0);
    closeWindow(0);
    EXPECT_EQ(currentWindowHandle(), current);
    resizeWindow(300, 300);
    EXPECT_EQ(clientSize(first).cx, 50);
}

TEST_F(WindowTableTest, ReopeningANumberDestroysTheOldWindowBeforeMakingTheNew) {
    HWND old = openMainWindow();
    ASSERT_NE(old, nullptr);
    HWND renewed;
    std::vector<CbtEntry> seen;
    {
        CbtWatch watch;
        renewed = openMainWindow();
        seen = watch.entries();
    }
    ASSERT_NE(renewed, nullptr);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(currentWindowHandle(), renewed);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].code, HCBT_DESTROYWND);
    EXPECT_EQ(seen[0].window, old);
    EXPECT_EQ(seen[0].className, "WindowClass_0");
    EXPECT_EQ(seen[1].code, HCBT_CREATEWND);
    EXPECT_EQ(seen[1].window, renewed);
    EXPECT_EQ(seen[1].className, "WindowClass_0");
}

TEST_F(WindowTableTest, GrowingTheTableKeepsTheOpenWindows) {
    HWND windows[10];
    for (int i = 0; i < 10; ++i) {
        windows[i] = openHidden(i);
        ASSERT_NE(windows[i], nullptr) << i;
    }
    HWND ten = openHidden(10);
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(windowTable.capacity, 20);
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(windowTable.records[i].window, windows[i]) << i;
        EXPECT_EQ(findWindowAccelerators(windows[i]), windowTable.records[i].acceleratorTable);
    }
    EXPECT_EQ(windowTable.records[10].window, ten);

    ASSERT_NE(openHidden(25), nullptr);
    EXPECT_EQ(windowTable.capacity, 35);
    EXPECT_GE(HeapSize(RuntimeHeap, 0, windowTable.records), 37 * sizeof(WindowRecord));
    EXPECT_EQ(windowTable.records[10].window, ten);
    for (int i = 26; i < 37; ++i) {
        EXPECT_TRUE(recordIsZero(windowTable.records[i])) << i;
    }
    EXPECT_EQ(classNameOf(windowTable.records[25].window), "WindowClass_25");
}

TEST_F(WindowTableTest, ClosingTwiceDestroysOnceAndTakesBackClassAndAccelerators) {
    HWND window = openMainWindow();
    HACCEL accelerators = findWindowAccelerators(window);
    ASSERT_NE(accelerators, nullptr);
    CbtWatch watch;
    closeWindow(0);
    closeWindow(0);
    EXPECT_EQ(watch.destroyCount(), 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(windowTable.records[0].window, nullptr);
    EXPECT_FALSE(classRegistered("WindowClass_0"));
    EXPECT_EQ(findWindowAccelerators(window), nullptr);
    // The table handle is gone with the window.
    EXPECT_EQ(CopyAcceleratorTableA(accelerators, nullptr, 0), 0);
}

TEST_F(WindowTableTest, CloseAllClosesFromTheTopAndSkipsFreeNumbers) {
    HWND zero = openHidden(0);
    HWND three = openHidden(3);
    HWND seven = openHidden(7);
    closeWindow(3);
    // A class of the same name that the table does not own must survive.
    WNDCLASSA foreign = {};
    foreign.lpfnWndProc = DefWindowProcA;
    foreign.hInstance = instanceHandle;
    foreign.lpszClassName = "WindowClass_3";
    ASSERT_NE(RegisterClassA(&foreign), 0);

    CbtWatch watch;
    closeAllWindows();
    ASSERT_EQ(watch.entries().size(), 2u);
    EXPECT_EQ(watch.entries()[0].window, seven);
    EXPECT_EQ(watch.entries()[1].window, zero);
    EXPECT_FALSE(IsWindow(three));
    EXPECT_TRUE(classRegistered("WindowClass_3"));
    UnregisterClassA("WindowClass_3", instanceHandle);
}

TEST_F(WindowTableTest, CloseAllAfterTheWindowWasClosedDestroysNothing) {
    openMainWindow();
    closeWindow(0);
    CbtWatch watch;
    closeAllWindows();
    EXPECT_TRUE(watch.entries().empty());
}

TEST_F(WindowTableTest, NumbersOutsideTheTableAreIgnoredSafely) {
    HWND window = openHidden(0);
    CbtWatch watch;
    closeWindow(-1);
    closeWindow(10);
    closeWindow(0x7FFFFFFF);
    EXPECT_EQ(openWindow(-1, 0, 0, 50, 50, MAIN_WINDOW_FLAGS, "negative"), nullptr);
    EXPECT_EQ(openWindow(0x7FFFFFF8, 0, 0, 50, 50, MAIN_WINDOW_FLAGS, "huge"), nullptr);
    EXPECT_TRUE(watch.entries().empty());
    EXPECT_EQ(windowTable.capacity, 10);
    EXPECT_EQ(currentWindowHandle(), window);
}

TEST_F(WindowTableTest, NumbersAbove65535AreRefusedLikeNegativeOnes) {
    CbtWatch watch;
    for (int number : {65536, INT_MAX, -1}) {
        EXPECT_EQ(openHidden(number), nullptr) << number;
    }
    EXPECT_TRUE(watch.entries().empty());
    EXPECT_EQ(windowTable.capacity, 10);
    EXPECT_FALSE(classRegistered("WindowClass_65536"));
    EXPECT_FALSE(classRegistered("WindowClass_2147483647"));

    HWND highest = openHidden(65535);
    ASSERT_NE(highest, nullptr);
    EXPECT_EQ(windowTable.capacity, 65545);
    EXPECT_TRUE(classRegistered("WindowClass_65535"));
    EXPECT_NE(findWindowAccelerators(highest), nullptr);
    // Inside the grown table too, a number above the highest names no window.
    closeWindow(65536);
    closeWindow(INT_MAX);
    EXPECT_EQ(watch.entries().size(), 1u);
    closeWindow(65535);
    EXPECT_FALSE(IsWindow(highest));
    EXPECT_FALSE(classRegistered("WindowClass_65535"));
}

TEST_F(WindowTableTest, AFailedOpenLeavesTheNumberFreeAndItsClassRegistered) {
    HWND current = openHidden(1);
    // A child style without a parent cannot be created.
    EXPECT_EQ(openWindow(0, 0, 0, 50, 50, WS_CHILD, "child"), nullptr);
    EXPECT_EQ(windowTable.records[0].window, nullptr);
    EXPECT_EQ(windowTable.records[0].acceleratorCount, 0);
    EXPECT_EQ(currentWindowHandle(), current);
    EXPECT_TRUE(classRegistered("WindowClass_0"));

    HWND window = openHidden(0);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(classNameOf(window), "WindowClass_0");
    EXPECT_NE(findWindowAccelerators(window), nullptr);
}

TEST_F(WindowTableTest, AcceleratorsBelongOnlyToTableWindows) {
    HWND window = openMainWindow();
    HACCEL accelerators = findWindowAccelerators(window);
    ASSERT_NE(accelerators, nullptr);
    EXPECT_EQ(accelerators, windowTable.records[0].acceleratorTable);
    ASSERT_EQ(windowTable.records[0].acceleratorCount, 2);
    // Two ACCEL entries of 6 bytes each are written into the block.
    EXPECT_TRUE(heapBlockHolds(windowTable.records[0].acceleratorEntries, 2 * 6));

    ACCEL entries[4] = {};
    ASSERT_EQ(CopyAcceleratorTableA(accelerators, entries, 4), 2);
    EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FNOINVERT);
    EXPECT_EQ(entries[0].key, VK_TAB);
    EXPECT_EQ(entries[0].cmd, 1212);
    EXPECT_EQ(entries[1].fVirt, FVIRTKEY | FNOINVERT | FSHIFT);
    EXPECT_EQ(entries[1].key, VK_TAB);
    EXPECT_EQ(entries[1].cmd, 1213);

    HWND child = makeChild(window, "BUTTON", 1, 0, 0, 0, 10, 10);
    EXPECT_EQ(findWindowAccelerators(child), nullptr);
    EXPECT_EQ(findWindowAccelerators(GetDesktopWindow()), nullptr);
    EXPECT_EQ(findWindowAccelerators(nullptr), nullptr);
}

} // namespace
