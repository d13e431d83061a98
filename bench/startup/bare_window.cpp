// The smallest program that shows a window like the main one: same styles,
// same 140 x 400 client area, same place, no controls and no C runtime. Its
// start-up time is the floor against which the program's own is measured.
#include <windows.h>

namespace {

constexpr int CLIENT_WIDTH = 140;
constexpr int CLIENT_HEIGHT = 400;
constexpr int WIDE_CLIENT_WIDTH = 260;
constexpr DWORD WINDOW_STYLE = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU;
const char CLASS_NAME[] = "BareWindow_0";

LRESULT CALLBACK bareWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND openBareWindow(HINSTANCE instance) {
    WNDCLASSA windowClass;
    windowClass.style = 0;
    windowClass.lpfnWndProc = bareWindowProc;
    windowClass.cbClsExtra = 0;
    windowClass.cbWndExtra = 0;
    windowClass.hInstance = instance;
    windowClass.hIcon = nullptr;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszMenuName = nullptr;
    windowClass.lpszClassName = CLASS_NAME;
    RegisterClassA(&windowClass);

    // Placed as the main window is: centred for its wide form.
    int x = (GetSystemMetrics(SM_CXSCREEN) - WIDE_CLIENT_WIDTH) >> 1;
    int y = (GetSystemMetrics(SM_CYSCREEN) - CLIENT_HEIGHT) >> 1;
    RECT frame = {x, y, x + CLIENT_WIDTH, y + CLIENT_HEIGHT};
    AdjustWindowRect(&frame, WINDOW_STYLE, FALSE);
    return CreateWindowExA(0, CLASS_NAME, "Bare", WINDOW_STYLE, x, y, frame.right - frame.left,
                           frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
}

} // namespace

extern "C" [[noreturn]] void processEntry() {
    UINT exitCode = 1;
    if (openBareWindow(GetModuleHandleA(nullptr))) {
        MSG message;
        while (GetMessageA(&message, nullptr, 0, 0) > 0) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        exitCode = static_cast<UINT>(message.wParam);
    }
    ExitProcess(exitCode);
}
