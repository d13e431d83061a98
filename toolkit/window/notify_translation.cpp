#include "toolkit/window/notify_translation.h"

#include "toolkit/window/event_state.h"
#include "toolkit/window/focus_walk.h"
#include "toolkit/window/window_table.h"

namespace {

constexpr int CLASS_NAME_SIZE = 50;
constexpr UINT SHOW_PAGE_ON_TOP = SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW;

char notifierClass[CLASS_NAME_SIZE];

// An unreadable class name reads as the empty name, which matches no prefix.
void readNotifierClass(HWND control) {
    notifierClass[0] = 0;
    GetClassNameA(control, notifierClass, CLASS_NAME_SIZE);
}

bool notifierClassBeginsWith(const char* prefix) {
    for (int i = 0; prefix[i]; ++i) {
        if (notifierClass[i] != prefix[i]) {
            return false;
        }
    }
    return true;
}

// Tab, tree-view and list-view controls.
bool isTabOrListControl(HWND control) {
    readNotifierClass(control);
    return notifierClassBeginsWith("SysT") || notifierClassBeginsWith("SysL");
}

// The page of the selected tab is the window in the item's parameter; the page
// shown so far is the tab control's topmost child.
void switchTabPage(HWND tabControl) {
    int selected = static_cast<int>(SendMessageA(tabControl, TCM_GETCURSEL, 0, 0));
    TCITEMA item = {};
    item.mask = TCIF_PARAM;
    SendMessageA(tabControl, TCM_GETITEMA, selected, reinterpret_cast<LPARAM>(&item));
    HWND shownPage = GetWindow(tabControl, GW_CHILD);
    ShowWindow(shownPage, SW_HIDE);
    EnableWindow(shownPage, FALSE);
    HWND newPage = reinterpret_cast<HWND>(item.lParam);
    EnableWindow(newPage, TRUE);
    SetWindowPos(newPage, HWND_TOP, 0, 0, 0, 0, SHOW_PAGE_ON_TOP);
    SetFocus(tabControl);
}

// The detail of a mouse or activation notification; other codes keep it.
void setTypeFromNotification(UINT code) {
    switch (code) {
    case NM_CLICK:
        eventState.eventType = 0;
        break;
    case NM_DBLCLK:
        eventState.eventType = 2;
        break;
    case NM_RCLICK:
        eventState.eventType = 1;
        break;
    case NM_RDBLCLK:
        eventState.eventType = 3;
        break;
    case LVN_ITEMACTIVATE:
        eventState.eventType = 2;
        break;
    default:
        break;
    }
}

void translateTabOrListNotify(const NMHDR* header) {
    UINT code = header->code;
    int source = static_cast<int>(header->idFrom);
    if (code == TCN_SELCHANGE) {
        recordEvent(EVENT_CONTROL, source);
        switchTabPage(header->hwndFrom);
        return;
    }
    setTypeFromNotification(code);
    // Once a detail is known in this wait (or is left from the last one), every
    // further notification of the control counts as its action. A tree-view
    // asks its parent which form it takes (WM_NOTIFYFORMAT): the Unicode one
    // for the toolkit's own windows, the narrow one for any other parent.
    if (eventState.eventType != -1 || code == LVN_ITEMCHANGED || code == TVN_SELCHANGEDA ||
        code == TVN_SELCHANGEDW) {
        recordEvent(EVENT_CONTROL, source);
    }
}

void translateOtherNotify(const NMHDR* header) {
    if (header->code == UDN_DELTAPOS) {
        const NMUPDOWN* upDown = reinterpret_cast<const NMUPDOWN*>(header);
        recordEvent(EVENT_CONTROL, static_cast<int>(header->idFrom));
        eventState.eventType = upDown->iDelta;
    }
}

// List boxes report only selection changes and double clicks; their focus and
// other notifications cancel what this wait recorded so far.
void translateListBoxCommand(int notification) {
    if (notification == LBN_SELCHANGE) {
        eventState.eventType = 0;
    } else if (notification != LBN_DBLCLK) {
        eventState.pendingEvent = 0;
    }
}

void translateControlCommand(WPARAM wParam, HWND control) {
    recordEvent(EVENT_CONTROL, LOWORD(wParam));
    eventState.eventType = HIWORD(wParam);
    if (GetWindowLongA(control, GWL_ID) == MENU_COMMAND_CONTROL_ID) {
        eventState.pendingEvent = EVENT_MENU;
    }
    readNotifierClass(control);
    if (notifierClassBeginsWith("List")) {
        translateListBoxCommand(HIWORD(wParam));
    }
}

void translateAcceleratorCommand(WORD command) {
    if (command == CMD_FOCUS_NEXT) {
        focusNextControl();
    } else if (command == CMD_FOCUS_PREVIOUS) {
        focusPreviousControl();
    } else {
        recordEvent(EVENT_MENU, command);
    }
}

} // namespace

LRESULT translateNotify(const NMHDR* header) {
    if (!header) {
        return 0;
    }
    if (isTabOrListControl(header->hwndFrom)) {
        translateTabOrListNotify(header);
    } else {
        translateOtherNotify(header);
    }
    return 0;
}

LRESULT translateCommand(WPARAM wParam, LPARAM lParam) {
    HWND control = reinterpret_cast<HWND>(lParam);
    if (control) {
        translateControlCommand(wParam, control);
    } else if (HIWORD(wParam) == 0) {
        recordEvent(EVENT_MENU, static_cast<int>(wParam));
    } else {
        translateAcceleratorCommand(LOWORD(wParam));
    }
    return 0;
}
