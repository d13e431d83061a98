#include "tests/support/real_input.h"

#include <gtest/gtest.h>

void sendMouseButton(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    EXPECT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u);
}

void moveMouseTo(POINT point) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(point.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(point.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    EXPECT_EQ(SendInput(1, &input, sizeof(INPUT)), 1u);
}
