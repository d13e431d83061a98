#include "tests/app/app_fixture.h"
#include "tests/support/windows1252_text.h"

#include "app/main_window.h"
#include "core/bolt_bank.h"
#include "runtime/heap.h"
#include "toolkit/controls/control_table.h"
#include "toolkit/window/window_table.h"

#include <commctrl.h>

namespace {

struct Placement {
    int number;
    const char* className;
    const char* text;
    RECT rect; // left, top, right, bottom in client coordinates
};

// From the top: the bolt list, "Zufall", "System an", then "Alles Auf" and
// "Alles Zu" side by side, with a 5-pixel margin.
const Placement placements[] = {
    {0, "SysListView32", "", {5, 5, 135, 308}},     {2, "Button", "Zufall", {5, 313, 135, 337}},
    {1, "Button", "System an", {5, 342, 135, 366}}, {3, "Button", "Alles Auf", {5, 371, 67, 395}},
    {4, "Button", "Alles Zu", {72, 371, 134, 395}},
};

std::string columnTitle(HWND list, int column, int* width) {
    wchar_t text[64] = {};
    LVCOLUMNW info = {};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = text;
    info.cchTextMax = 64;
    SendMessageW(list, LVM_GETCOLUMNW, column, reinterpret_cast<LPARAM>(&info));
    *width = info.cx;
    return windows1252Of(text);
}

} // namespace

using StartupLayout = AppTest;

TEST_F(StartupLayout, WindowIsCentredForTheWideFormWithANarrowClientArea) {
    HWND window = mainWindow();
    ASSERT_NE(window, nullptr);
    RECT outer;
    GetWindowRect(window, &outer);
    // (1024 - 260) / 2 and (768 - 400) / 2 on the virtual desktop.
    EXPECT_EQ(outer.left, 382);
    EXPECT_EQ(outer.top, 184);
    EXPECT_EQ(mainLayout.windowX, 382);
    EXPECT_EQ(mainLayout.windowY, 184);
    SIZE client = clientSize(window);
    EXPECT_EQ(client.cx, 140);
    EXPECT_EQ(client.cy, 400);
    EXPECT_EQ(windowText(window), "Velmorin");
    EXPECT_EQ(classNameOf(window), "WindowClass_0");
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_TRUE(hasStyle(window, WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE));
    // A fixed layout: no sizing border, no minimise or maximise box.
    EXPECT_FALSE(GetWindowLongA(window, GWL_STYLE) &
                 (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
    EXPECT_EQ(currentWindowHandle(), window);
    // This suite carries the program's resources, so the class finds icon 1.
    EXPECT_NE(GetClassLongPtrA(window, GCLP_HICON), 0);
}

TEST_F(StartupLayout, ControlsSitWhereTheLayoutPutsThem) {
    for (const Placement& expected : placements) {
        SCOPED_TRACE(expected.text);
        HWND control = controlWindow(expected.number);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(lookupControl(expected.number)->window, control);
        EXPECT_STRCASEEQ(classNameOf(control).c_str(), expected.className);
        EXPECT_EQ(windowText(control), expected.text);
        RECT rect = clientRectOf(control);
        EXPECT_EQ(rect.left, expected.rect.left);
        EXPECT_EQ(rect.top, expected.rect.top);
        EXPECT_EQ(rect.right, expected.rect.right);
        EXPECT_EQ(rect.bottom, expected.rect.bottom);
        EXPECT_TRUE(IsWindowEnabled(control));
        EXPECT_TRUE(IsWindowVisible(control));
    }
    EXPECT_EQ(controlWindow(CTL_MOVE_LIST), nullptr);
    EXPECT_EQ(controlWindow(CTL_BACK), nullptr);
}

TEST_F(StartupLayout, ControlsAreCreatedInTheirOrder) {
    // New child windows go to the bottom of their siblings, so the sibling
    // order is the creation order (and the order Tab walks).
    std::vector<int> order;
    for (HWND child = GetWindow(mainWindow(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(order, (std::vector<int>{0, 2, 1, 3, 4}));
}

TEST_F(StartupLayout, BoltListIsASingleSelectionReportWithTwoColumns) {
    HWND list = controlWindow(CTL_BOLT_LIST);
    EXPECT_TRUE(hasStyle(list, WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL |
                                   LVS_SHAREIMAGELISTS));
    LRESULT extended = SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0);
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_FALSE(extended & (LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_HEADERDRAGDROP));
    int width = 0;
    EXPECT_EQ(columnTitle(list, 0, &width), "Riegel");
    EXPECT_EQ(width, 70);
    EXPECT_EQ(columnTitle(list, 1, &width), "Status");
    EXPECT_EQ(width, 56);
}

TEST_F(StartupLayout, RowsReadRiegelOneToSixAllClosed) {
    ASSERT_EQ(SendMessageA(controlWindow(CTL_BOLT_LIST), LVM_GETITEMCOUNT, 0, 0), 6);
    for (int row = 0; row < 6; ++row) {
        EXPECT_EQ(rowText(row, 0), "Riegel " + std::to_string(row + 1));
        EXPECT_EQ(rowText(row, 1), "zu");
        EXPECT_EQ(BoltBank[row], 1);
    }
    EXPECT_EQ(focusedRow(), -1);
    EXPECT_EQ(selectedRowCount(), 0);
}

TEST_F(StartupLayout, ToggleIsAPushLikeCheckBoxReleasedAtStart) {
    HWND toggle = controlWindow(CTL_SYSTEM_TOGGLE);
    EXPECT_TRUE(hasStyle(toggle, WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHLIKE |
                                     BS_AUTOCHECKBOX));
    EXPECT_FALSE(togglePressed());
    for (int number : {CTL_RANDOM, CTL_OPEN_ALL, CTL_CLOSE_ALL}) {
        HWND button = controlWindow(number);
        EXPECT_TRUE(hasStyle(button, WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP));
        EXPECT_EQ(GetWindowLongA(button, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    }
}

TEST_F(StartupLayout, JournalAndBanksComeFromTheRuntimeHeap) {
    ASSERT_NE(MoveJournal.descriptor, nullptr);
    EXPECT_EQ(listCount(&MoveJournal), 0);
    EXPECT_EQ(MoveJournal.descriptor->elementSize, 4 + 2 * static_cast<int>(sizeof(void*)));
    EXPECT_TRUE(HeapValidate(RuntimeHeap, 0, reinterpret_cast<std::int32_t*>(BoltBank) - 2));
    EXPECT_TRUE(HeapValidate(RuntimeHeap, 0, reinterpret_cast<std::int32_t*>(backupBank) - 2));
}

// Opening the window is refused here through a CBT hook, as the system
// would refuse it when it runs out of resources.
class StartupWithoutWindow : public AppTest {
  protected:
    bool startsApplication() const override { return false; }
};

namespace {

HHOOK refusingHook;

LRESULT CALLBACK refuseMainWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDA*>(lParam);
        if (!(create->lpcs->style & WS_CHILD)) {
            return 1;
        }
    }
    return CallNextHookEx(refusingHook, code, wParam, lParam);
}

} // namespace

TEST_F(StartupWithoutWindow, NoWindowMeansNoControlsAndTheStartUpSaysSo) {
    refusingHook = SetWindowsHookExA(WH_CBT, refuseMainWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(refusingHook, nullptr);
    applicationStartup();
    UnhookWindowsHookEx(refusingHook);
    EXPECT_FALSE(mainWindowOpen);
    EXPECT_EQ(mainWindow(), nullptr);
    for (int number = CTL_BOLT_LIST; number <= CTL_CLOSE_ALL; ++number) {
        EXPECT_EQ(lookupControl(number)->window, nullptr);
    }
    // The bank exists all the same, so nothing that reads it can fail.
    ASSERT_NE(BoltBank, nullptr);
    EXPECT_EQ(BoltBank[5], 1);
}
