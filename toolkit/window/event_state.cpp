#include "toolkit/window/event_state.h"

EventState eventState;

void clearEventState() {
    eventState.pendingEvent = 0;
    eventState.eventSource = 0;
    eventState.eventType = 0;
}

void recordEvent(int code, int source) {
    eventState.pendingEvent = code;
    eventState.eventSource = source;
}
