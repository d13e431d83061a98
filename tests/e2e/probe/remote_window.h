// Reads the windows of another process as UI automation clients do: by
// control identifier, through messages, and for controls whose messages
// carry pointers, through a buffer inside the other process.
#pragma once

#include <windows.h>

#include <climits>
#include <optional>
#include <string>
#include <vector>

// What a number read from the window is when the window did not answer in
// time: no count, row, check state or handle is ever this.
inline constexpr int NO_ANSWER = INT_MIN;

struct RemoteControl {
    HWND window;
    int id;
    std::string className;
    DWORD style;
    bool visible;
    bool enabled;
    RECT screenRect;
    std::string text;
};

// A block of memory inside the process that owns a window. After a request
// through it timed out, the block is left to that process and the buffer
// holds a fresh one; when none can be had, the probe gives up.
struct RemoteBuffer {
    HANDLE process = nullptr;
    char* address = nullptr;
};

bool openRemoteBuffer(HWND owner, RemoteBuffer* buffer);
void closeRemoteBuffer(RemoteBuffer* buffer);
// For the probe's own tests: the next fresh block is refused, as if the
// window's process had no memory left.
void refuseNextFreshBlock();

// Ends the probe, saying why, where it cannot read on without reading
// falsely. The probe's main defines it, since it owns the answer's lines.
[[noreturn]] void giveUp(const char* reason);

// Direct children of the top-level window, in the platform's order.
std::vector<RemoteControl> listControls(HWND top);
// Every descendant that Tab navigation may stop at: enabled, visible, WS_TABSTOP.
std::vector<HWND> tabStops(HWND top);

// The numbers below are NO_ANSWER, and the texts nullopt, when the window did
// not answer in time.
int listViewRowCount(HWND listView);
int listViewColumnCount(HWND listView);
std::optional<std::string> listViewCell(RemoteBuffer& buffer, HWND listView, int row, int column);
std::optional<std::string> listViewColumnTitle(RemoteBuffer& buffer, HWND listView, int column);
// The row's whole rectangle, in screen coordinates.
bool listViewRowRect(RemoteBuffer& buffer, HWND listView, int row, RECT* screen);
int listViewNextItem(HWND listView, UINT flags);
int listViewSelectedCount(HWND listView);

int listBoxCount(HWND listBox);
std::optional<std::string> listBoxLine(HWND listBox, int line);

int buttonCheck(HWND button);

// The thread's focus and active window as the window manager sees them.
struct RemoteFocus {
    HWND focus;
    HWND active;
};
RemoteFocus remoteFocus(HWND top);

// A point in the caption's close box, found by hit-testing along the caption.
bool closeBoxPoint(HWND top, POINT* point);
