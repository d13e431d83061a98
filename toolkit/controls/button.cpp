#include "toolkit/controls/button.h"

ControlType ButtonType;

namespace {

// 0 released, 1 pressed; a plain push button is always released.
int getButtonState(HWND window) {
    return static_cast<int>(SendMessageA(window, BM_GETCHECK, 0, 0));
}

// Works while the button is disabled as well: the report presses the toggle
// right before it greys it out.
void setButtonState(HWND window, int state) {
    SendMessageA(window, BM_SETCHECK, static_cast<WPARAM>(state), 0);
}

void fillButtonType();

} // namespace

HWND createButton(int number, int x, int y, int width, int height, const char* text) {
    return createButtonEx(number, x, y, width, height, text, 0);
}

HWND createButtonEx(int number, int x, int y, int width, int height, const char* text,
                    DWORD flags) {
    fillButtonType();
    return createControl(number, "BUTTON", flags | BUTTON_STYLE, 0, x, y, width, height, text,
                         &ButtonType);
}

namespace {

void fillButtonType() {
    ButtonType.getState = getButtonState;
    ButtonType.setState = setButtonState;
}

} // namespace
