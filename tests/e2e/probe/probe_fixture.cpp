// A window with one control of every kind the probe reads, filled with known
// contents, so that the probe itself can be checked from another process.
// Sent HOLD_READ (wParam a message, lParam its index), the control it goes to
// leaves its next such read unanswered, as a program busy elsewhere would,
// while it answers every other message; sent RELEASE_READ, it answers the
// held read then, into the reader's memory, long after the reader gave up,
// and gives that answer as its own.
#include <windows.h>

#include <commctrl.h>

namespace {

constexpr DWORD CHILD = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr UINT HOLD_READ = WM_APP;
constexpr UINT RELEASE_READ = WM_APP + 1;

struct HeldRead {
    UINT message;
    WPARAM index;
    HWND control;
    LPARAM memory;
    bool holding;
};
HeldRead held = {};

// Each control's own procedure is kept in its user data.
LRESULT passOn(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    auto own = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(control, GWLP_USERDATA));
    return CallWindowProcW(own, control, message, wParam, lParam);
}

LRESULT CALLBACK holdingControlProc(HWND control, UINT message, WPARAM wParam, LPARAM lParam) {
    if (held.holding || message != held.message || wParam != held.index) {
        return passOn(control, message, wParam, lParam);
    }
    held = {message, wParam, control, lParam, true};
    while (held.holding) {
        WaitMessage();
        MSG next;
        while (PeekMessageW(&next, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&next);
        }
    }
    return 0;
}

void holdReadsOf(HWND control) {
    SetWindowLongPtrW(control, GWLP_USERDATA, GetWindowLongPtrW(control, GWLP_WNDPROC));
    SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(holdingControlProc));
}

LRESULT CALLBACK fixtureWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == HOLD_READ) {
        held = {static_cast<UINT>(wParam), static_cast<WPARAM>(lParam), nullptr, 0, false};
        return 0;
    }
    if (message == RELEASE_READ && held.holding) {
        HeldRead late = held;
        held = {};
        return passOn(late.control, late.message, late.index, late.memory);
    }
    if (message == WM_DESTROY) {
        PostQuitMessage(7);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void addColumn(HWND list, int index, const char* title, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<char*>(title);
    column.cx = width;
    SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(index),
                 reinterpret_cast<LPARAM>(&column));
}

void addRow(HWND list, int row, const char* label, const char* status) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = const_cast<char*>(label);
    SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = const_cast<char*>(status);
    SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

void createControls(HWND window, HINSTANCE instance) {
    HWND list =
        CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, nullptr, CHILD | LVS_REPORT | LVS_SINGLESEL,
                        5, 5, 130, 150, window, reinterpret_cast<HMENU>(0), instance, nullptr);
    addColumn(list, 0, "Riegel", 70);
    addColumn(list, 1, "Status", 56);
    const char* statuses[] = {"zu", "auf", "zu", "auf", "auf", "zu"};
    char label[] = "Riegel 0";
    for (int row = 0; row < 6; ++row) {
        label[7] = static_cast<char>('1' + row);
        addRow(list, row, label, statuses[row]);
    }
    HWND toggle =
        CreateWindowExA(0, "BUTTON", "System an", CHILD | BS_PUSHLIKE | BS_AUTOCHECKBOX, 5, 160,
                        130, 24, window, reinterpret_cast<HMENU>(1), instance, nullptr);
    SendMessageA(toggle, BM_SETCHECK, BST_CHECKED, 0);
    HWND locked = CreateWindowExA(0, "BUTTON", "Zufall", CHILD, 5, 190, 130, 24, window,
                                  reinterpret_cast<HMENU>(2), instance, nullptr);
    EnableWindow(locked, FALSE);
    HWND box = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr,
                               CHILD | LBS_NOTIFY | LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, 140, 5,
                               115, 150, window, reinterpret_cast<HMENU>(10), instance, nullptr);
    SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("2 Bewegungen:"));
    SendMessageA(box, LB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>("<<< Zur\xFC"
                                          "ck <<<"));
    HWND hidden = CreateWindowExA(0, "BUTTON", "hidden", WS_CHILD | WS_TABSTOP, 140, 160, 115, 24,
                                  window, reinterpret_cast<HMENU>(11), instance, nullptr);
    (void)hidden;
    holdReadsOf(list);
    holdReadsOf(box);
    SetFocus(toggle);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = fixtureWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = "ProbeFixture_0";
    RegisterClassA(&windowClass);
    DWORD style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
    RECT frame = {100, 100, 360, 500};
    AdjustWindowRect(&frame, style, FALSE);
    HWND window = CreateWindowExA(0, "ProbeFixture_0", "ProbeFixture", style, 100, 100,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                  nullptr, instance, nullptr);
    if (!window) {
        return 1;
    }
    createControls(window, instance);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
    return static_cast<int>(message.wParam);
}
