// The one event state of the process: what the window procedure and the
// notification translation record, and what the event wait hands on.
#pragma once

inline constexpr int EVENT_SIZE = 5;
inline constexpr int EVENT_CLOSE = 16;
inline constexpr int EVENT_CONTROL = 13100;
inline constexpr int EVENT_MENU = 13101;
inline constexpr int EVENT_RELAYED_CLICK = 13102;

struct EventState {
    int pendingEvent; // recorded since the last wait ended; 0 = none
    int eventSource;  // control (or command) that caused the last recorded event
    int eventType;    // detail of the last event; -1 none
};
extern EventState eventState;

void clearEventState();
// Sets the pending event and its source; the detail is set where it is known.
void recordEvent(int code, int source);
