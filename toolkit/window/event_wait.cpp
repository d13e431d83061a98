#include "toolkit/window/event_wait.h"

#include "toolkit/window/notify_translation.h"
#include "toolkit/window/window_table.h"

namespace {

MSG waitMessage;

// Posted on, so that the click is taken as a message of its own by a later wait.
LRESULT forwardClick(HWND window, WPARAM wParam, LPARAM lParam) {
    PostMessageA(window, CLICK_RELAY_MESSAGE, wParam, lParam);
    return 0;
}

// The detail of a relayed mouse message; -1 for one that is not a click.
int relayedClickType(LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONUP:
        return 0;
    case WM_RBUTTONUP:
        return 1;
    case WM_LBUTTONDBLCLK:
        return 2;
    case WM_RBUTTONDBLCLK:
        return 3;
    default:
        return -1;
    }
}

// wParam names the source, lParam the mouse message that was relayed. Whatever
// else this wait recorded gives way to the relayed message, even to nothing.
LRESULT takeRelayedClick(WPARAM wParam, LPARAM lParam) {
    eventState.pendingEvent = 0;
    eventState.eventSource = static_cast<int>(wParam);
    int type = relayedClickType(lParam);
    if (type != -1) {
        eventState.pendingEvent = EVENT_RELAYED_CLICK;
        eventState.eventType = type;
    }
    return 0;
}

// A size change made inside the application's own call (resizeWindow, say)
// must not surface there: it is reported by the wait that takes the relay.
LRESULT relaySize(HWND window, WPARAM wParam, LPARAM lParam) {
    PostMessageA(window, SIZE_RELAY_MESSAGE, wParam, lParam);
    return 0;
}

LRESULT takeRelayedSize() {
    eventState.pendingEvent = EVENT_SIZE;
    return 0;
}

// The window stays open: the application decides when it is closed.
LRESULT recordClose() {
    eventState.pendingEvent = EVENT_CLOSE;
    return 0;
}

// Only a scroll-bar control names itself in lParam; the window's own scroll
// bar (lParam 0) belongs to no control and reports nothing.
LRESULT recordScrollBar(LPARAM lParam) {
    HWND scrollBar = reinterpret_cast<HWND>(lParam);
    if (scrollBar) {
        recordEvent(EVENT_CONTROL, GetWindowLongA(scrollBar, GWL_ID));
    }
    return 0;
}

// A failed retrieval leaves nothing sound to dispatch, and a quit message asks
// the loop to end: either way the application is told to close, which is the
// one way out of its loop.
int endOfMessages() {
    eventState.pendingEvent = 0;
    return EVENT_CLOSE;
}

void deliver(MSG& message) {
    HWND active = GetActiveWindow();
    HACCEL accelerators = findWindowAccelerators(active);
    if (accelerators && TranslateAcceleratorW(active, accelerators, &message)) {
        return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

} // namespace

int waitEvent() {
    eventState.eventType = -1;
    BOOL received = GetMessageW(&waitMessage, nullptr, 0, 0);
    if (received == -1 || received == 0) {
        return endOfMessages();
    }
    deliver(waitMessage);
    int result =
        eventState.pendingEvent ? eventState.pendingEvent : static_cast<int>(waitMessage.message);
    eventState.pendingEvent = 0;
    return result;
}

int eventSource() {
    return eventState.eventSource;
}

LRESULT CALLBACK toolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // clang-format off
    switch (message) {
    case WM_NOTIFY:             return translateNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_HSCROLL:            return recordScrollBar(lParam);
    case WM_COMMAND:            return translateCommand(wParam, lParam);
    case CLICK_RELAY_MESSAGE:   return takeRelayedClick(wParam, lParam);
    case SIZE_RELAY_MESSAGE:    return takeRelayedSize();
    case WM_SIZE:               return relaySize(window, wParam, lParam);
    case CLICK_FORWARD_MESSAGE: return forwardClick(window, wParam, lParam);
    case WM_CLOSE:              return recordClose();
    default:                    return DefWindowProcW(window, message, wParam, lParam);
    }
    // clang-format on
}
