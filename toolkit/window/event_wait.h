// The event wait: one message taken from the queue per call, translated by the
// shared window procedure into the program's own event codes.
#pragma once

#include <windows.h>

inline constexpr int EVENT_SIZE = 5;
inline constexpr int EVENT_CLOSE = 16;
inline constexpr int EVENT_CONTROL = 13100;
inline constexpr int EVENT_MENU = 13101;
inline constexpr int EVENT_RELAYED_CLICK = 13102;

// Private messages: a click to relay (posted on as CLICK_RELAY_MESSAGE), the
// relayed click, and the relayed size change.
inline constexpr UINT CLICK_FORWARD_MESSAGE = 12501;
inline constexpr UINT CLICK_RELAY_MESSAGE = 12502;
inline constexpr UINT SIZE_RELAY_MESSAGE = 12504;

struct EventState {
    int pendingEvent; // recorded since the last wait ended; 0 = none
    int eventSource;  // control (or command) that caused the last recorded event
    int eventType;    // detail of the last event; -1 none
};
extern EventState eventState;

void clearEventState();
// Sets the pending event and its source; the detail is set where it is known.
void recordEvent(int code, int source);
int waitEvent();
int eventSource();
LRESULT CALLBACK toolkitWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void focusNextControl();
void focusPreviousControl();
