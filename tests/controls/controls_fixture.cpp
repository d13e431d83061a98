#include "tests/controls/controls_fixture.h"
#include "tests/support/heap_blocks.h"
#include "tests/support/real_input.h"
#include "tests/support/windows1252_text.h"

#include "toolkit/controls/list_icon_images.h"

#include <commctrl.h>

ParentLog parentLog;

namespace {

// A Unicode window, as the program's own windows are, so that its controls
// talk to it in UTF-16 as they do in the program.
const wchar_t* const PARENT_CLASS = L"ControlsTestParent";

LRESULT CALLBACK parentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && lParam != 0 && HIWORD(wParam) == BN_CLICKED) {
        ++parentLog.commands;
        parentLog.lastCommandId = LOWORD(wParam);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerParentClass() {
    static bool registered = false;
    if (registered) {
        return;
    }
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = parentProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = PARENT_CLASS;
    registered = RegisterClassW(&windowClass) != 0;
}

BOOL CALLBACK collectChild(HWND child, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
    return TRUE;
}

WNDPROC watchedControlProc;
int roomsChecked;

// Only a block of the runtime heap can be measured; a buffer elsewhere (on
// the stack, for a short text) is left alone.
bool measurable(const void* buffer) {
    return buffer && runtimeHeapBlockSize(buffer) != 0;
}

void checkRoom(const void* buffer, LRESULT units, const char* what) {
    if (measurable(buffer)) {
        ++roomsChecked;
        EXPECT_TRUE(heapBlockHolds(buffer, static_cast<SIZE_T>(units) * sizeof(WCHAR))) << what;
    }
}

// A text the control is given is read up to its terminator, which must lie
// inside the text's block.
void checkTerminator(const WCHAR* text, const char* what) {
    if (!measurable(text) || text == LPSTR_TEXTCALLBACKW) {
        return;
    }
    ++roomsChecked;
    SIZE_T room = runtimeHeapBlockSize(text) / sizeof(WCHAR);
    SIZE_T length = 0;
    while (length < room && text[length] != 0) {
        ++length;
    }
    EXPECT_LT(length, room) << what;
}

LRESULT CALLBACK checkTextRoom(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const WCHAR* text = reinterpret_cast<const WCHAR*>(lParam);
    const LVITEMW* item = reinterpret_cast<const LVITEMW*>(lParam);
    switch (message) {
    case LB_GETTEXT: {
        LRESULT length = CallWindowProcW(watchedControlProc, window, LB_GETTEXTLEN, wParam, 0);
        checkRoom(text, length + 1, "LB_GETTEXT writes the whole line and its terminator");
        break;
    }
    case LVM_GETITEMW:
        if (item->mask & LVIF_TEXT) {
            checkRoom(item->pszText, item->cchTextMax, "a list-view writes up to cchTextMax units");
        }
        break;
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_FINDSTRINGEXACT:
        checkTerminator(text, "a line given to the list box ends inside its block");
        break;
    case LVM_INSERTITEMW:
    case LVM_SETITEMW:
    case LVM_SETITEMTEXTW:
        if (message == LVM_SETITEMTEXTW || (item->mask & LVIF_TEXT)) {
            checkTerminator(item->pszText, "a cell given to the list-view ends inside its block");
        }
        break;
    }
    return CallWindowProcW(watchedControlProc, window, message, wParam, lParam);
}

// The toolkit's blocks hold what its tables say is in them: capacity + 2
// control records of two pointers (8 bytes), and as many image pairs of a
// handle and an index (8 bytes) as their capacity names.
void expectTableBlocksHoldTheirEntries() {
    EXPECT_TRUE(heapBlockHolds(controlTable.records, (controlTable.capacity + 2) * 8u));
    if (ListIconImages.pairs) {
        EXPECT_TRUE(heapBlockHolds(ListIconImages.pairs, ListIconImages.capacity * 8u));
    }
}

bool dispatchOne() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        return false;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

} // namespace

void ControlsTest::SetUp() {
    openRuntimeHeap();
    openScratchString();
    initControls();
    parentLog = ParentLog{};
    parent = createParentWindow();
    ASSERT_NE(parent, nullptr);
    useControlParent(parent);
}

void ControlsTest::TearDown() {
    expectTableBlocksHoldTheirEntries();
    DestroyWindow(parent);
    while (dispatchOne()) {
    }
    closeRuntimeHeap();
}

HWND createParentWindow() {
    registerParentClass();
    HWND window =
        CreateWindowExW(0, PARENT_CLASS, L"Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100,
                        420, 420, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window) {
        UpdateWindow(window);
    }
    return window;
}

void clickWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    POINT middle = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // A disabled window is passed over by WindowFromPoint: its parent answers.
    HWND expected = IsWindowEnabled(window) ? window : GetParent(window);
    clickOn(middle, GetAncestor(window, GA_ROOT), expected, Click::Left, [] { dispatchOne(); });
}

void watchTextRooms(HWND control) {
    roomsChecked = 0;
    watchedControlProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(checkTextRoom)));
}

int textRoomsChecked() {
    return roomsChecked;
}

std::vector<HWND> childrenOf(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, collectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

std::string listBoxLine(HWND window, int index) {
    LRESULT length = SendMessageW(window, LB_GETTEXTLEN, index, 0);
    if (length < 0) {
        return "<no line>";
    }
    std::wstring line(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(window, LB_GETTEXT, index, reinterpret_cast<LPARAM>(line.data()));
    line.resize(std::char_traits<wchar_t>::length(line.c_str()));
    return windows1252Of(line.c_str());
}

std::string listViewCell(HWND window, int row, int column) {
    wchar_t buffer[512] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(window, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return windows1252Of(buffer);
}

int listViewRows(HWND window) {
    return static_cast<int>(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0));
}

UINT listViewMarks(HWND window, int row) {
    return static_cast<UINT>(
        SendMessageA(window, LVM_GETITEMSTATE, row, LVIS_FOCUSED | LVIS_SELECTED));
}
