#include "tests/window/window_fixture.h"

#include <commctrl.h>

namespace {

using EventWaitTest = WindowToolkitTest;
using Results = std::vector<int>;

// Mouse moves and paints come in numbers that depend on the X server.
Results resultsBesidesMovesAndPaints(const std::vector<Waited>& waits) {
    Results results;
    for (const Waited& wait : waits) {
        if (wait.result != WM_MOUSEMOVE && wait.result != WM_PAINT) {
            results.push_back(wait.result);
        }
    }
    return results;
}

constexpr UINT MARKER_MESSAGE = WM_APP + 7;
// What the wait returns, and its private messages, as its callers know them.
constexpr int WAITED_CONTROL = 13100, WAITED_MENU = 13101, WAITED_RELAYED_CLICK = 13102,
              WAITED_CLOSE = 16, WAITED_SIZE = 5;
constexpr UINT CLICK_FORWARD = 12501, CLICK_RELAY = 12502, SIZE_RELAY = 12504;
constexpr int BUTTON_ID = 2;
constexpr int LIST_VIEW_ID = 5;
constexpr int LIST_BOX_ID = 10;
constexpr int TAB_ID = 6;

// A point of the window's frame for which the window reports this hit-test code.
POINT findHitTest(HWND window, LRESULT code) {
    RECT outer;
    GetWindowRect(window, &outer);
    for (int y = outer.top; y < outer.top + 40; ++y) {
        for (int x = outer.right - 1; x > outer.left; --x) {
            if (SendMessageA(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == code) {
                return {x, y};
            }
        }
    }
    return {-1, -1};
}

HWND makeButton(HWND parent) {
    return makeChild(parent, "BUTTON", BUTTON_ID, BS_PUSHBUTTON | WS_TABSTOP, 10, 350, 100, 30,
                     "Zufall");
}

HWND makeListView(HWND parent) {
    HWND list = makeChild(parent, WC_LISTVIEWA, LIST_VIEW_ID,
                          LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP, 0, 0, 140, 200);
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH | LVCF_TEXT;
    column.cx = 120;
    column.pszText = const_cast<char*>("Riegel");
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 3; ++i) {
        LVITEMA item = {};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = const_cast<char*>("Riegel");
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    return list;
}

HWND makeListBox(HWND parent) {
    HWND box = makeChild(parent, "LISTBOX", LIST_BOX_ID, LBS_NOTIFY | WS_TABSTOP, 10, 210, 100, 80);
    SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("eins"));
    SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("zwei"));
    return box;
}

// A tab control of two items whose pages are its children; the first shows.
HWND makeTwoPageTabs(HWND parent, HWND pages[2]) {
    HWND tabs = makeChild(parent, WC_TABCONTROLA, TAB_ID, WS_TABSTOP, 0, 0, 250, 200);
    for (int i = 0; i < 2; ++i) {
        pages[i] = makeChild(tabs, "STATIC", 100 + i, 0, 10, 30, 200, 150, "page");
        TCITEMA item = {};
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = const_cast<char*>(i == 0 ? "eins" : "zwei");
        item.lParam = reinterpret_cast<LPARAM>(pages[i]);
        SendMessageA(tabs, TCM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
    ShowWindow(pages[1], SW_HIDE);
    EnableWindow(pages[1], FALSE);
    return tabs;
}

POINT listViewItemPoint(HWND list, int index) {
    RECT item = {};
    item.left = LVIR_LABEL;
    SendMessageA(list, LVM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    return clientPointToScreen(list, item.left + 10, (item.top + item.bottom) / 2);
}

POINT listBoxItemPoint(HWND box, int index) {
    RECT item = {};
    SendMessageA(box, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
    return clientPointToScreen(box, 10, (item.top + item.bottom) / 2);
}

LRESULT sendNotify(HWND window, NMHDR& header) {
    return SendMessageA(window, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool sawControlEvent(const std::vector<Waited>& waits, int source, int type) {
    for (const Waited& wait : waits) {
        if (wait.result == WAITED_CONTROL && wait.source == source && wait.type == type) {
            return true;
        }
    }
    return false;
}

// Posts a message of no meaning and takes it: what the wait returns instead of
// its number is what was recorded before.
int waitOnMarker(HWND window) {
    PostMessageA(window, MARKER_MESSAGE, 0, 0);
    return waitEvent();
}

TEST_F(EventWaitTest, MouseMovementIsReturnedAsItsMessageNumber) {
    HWND window = openMainWindow();
    moveCursorTo(clientPointToScreen(window, 20, 20));
    waitForAll();
    moveCursorTo(clientPointToScreen(window, 70, 90));
    Results results = waitForAllInput();
    // Windows gives one move here; Wine adds another as the X pointer follows.
    ASSERT_FALSE(results.empty());
    EXPECT_EQ(results, Results(results.size(), WM_MOUSEMOVE));
    EXPECT_EQ(eventState.pendingEvent, 0);
    EXPECT_EQ(eventState.eventType, -1);
}

TEST_F(EventWaitTest, AButtonClickIsAControlEventFromTheButtonUp) {
    HWND window = openMainWindow();
    HWND button = makeButton(window);
    waitForAll();
    clickAt(button, centreOf(button));
    std::vector<Waited> waits = waitForAllDetailed();
    Results results = resultsBesidesMovesAndPaints(waits);
    EXPECT_EQ(results, (Results{WM_LBUTTONDOWN, WAITED_CONTROL}));
    Waited click = firstWaitReturning(waits, WAITED_CONTROL);
    EXPECT_EQ(click.source, BUTTON_ID);
    EXPECT_EQ(click.type, BN_CLICKED);
    EXPECT_EQ(eventSource(), BUTTON_ID);
}

TEST_F(EventWaitTest, TheCloseBoxAsksToCloseAndTheWindowStaysOpen) {
    HWND window = openMainWindow();
    POINT closeBox = findHitTest(window, HTCLOSE);
    ASSERT_NE(closeBox.x, -1);
    clickAt(window, closeBox);
    Results results = waitForAllButMoves();
    EXPECT_EQ(results, (Results{WAITED_CLOSE}));
    EXPECT_TRUE(IsWindow(window));
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(windowTable.records[0].window, window);
}

TEST_F(EventWaitTest, APostedCloseIsRecordedWithoutDestroying) {
    HWND window = openMainWindow();
    eventState.eventSource = 33;
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(waitEvent(), WAITED_CLOSE);
    EXPECT_EQ(eventSource(), 33);
    EXPECT_EQ(eventState.eventType, -1);
    EXPECT_TRUE(IsWindow(window));
}

TEST_F(EventWaitTest, ASizeChangeIsReportedByTheWaitThatTakesTheRelay) {
    HWND window = openMainWindow();
    waitForAll();
    resizeWindow(260, 400);
    EXPECT_EQ(eventState.pendingEvent, 0);
    MSG relay;
    ASSERT_TRUE(PeekMessageA(&relay, window, SIZE_RELAY, SIZE_RELAY, PM_NOREMOVE));
    EXPECT_EQ(relay.wParam, static_cast<WPARAM>(SIZE_RESTORED));
    EXPECT_EQ(relay.lParam, MAKELPARAM(260, 400));
    EXPECT_EQ(waitForAllButMoves(), (Results{WAITED_SIZE}));
}

TEST_F(EventWaitTest, AForwardedClickComesBackAsARelayedClick) {
    HWND window = openMainWindow();
    const struct {
        UINT mouseMessage;
        int type;
    } clicks[] = {
        {WM_LBUTTONUP, 0}, {WM_RBUTTONUP, 1}, {WM_LBUTTONDBLCLK, 2}, {WM_RBUTTONDBLCLK, 3}};
    for (const auto& click : clicks) {
        PostMessageA(window, CLICK_FORWARD, 7, click.mouseMessage);
        std::vector<Waited> waits = waitForAllDetailed();
        ASSERT_GE(waits.size(), 2u);
        EXPECT_EQ(waits[0].result, static_cast<int>(CLICK_FORWARD));
        EXPECT_EQ(waits[1].result, WAITED_RELAYED_CLICK);
        EXPECT_EQ(waits[1].source, 7);
        EXPECT_EQ(waits[1].type, click.type) << click.mouseMessage;
    }
}

TEST_F(EventWaitTest, ARelayedMoveRecordsNothingAndDropsWhatCameBefore) {
    HWND window = openMainWindow();
    HWND button = makeButton(window);
    waitForAll();
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(BUTTON_ID, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    ASSERT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    PostMessageA(window, CLICK_RELAY, 9, WM_MOUSEMOVE);
    EXPECT_EQ(waitEvent(), static_cast<int>(CLICK_RELAY));
    EXPECT_EQ(eventSource(), 9);
}

// A list-view may report a click from the press (the selection change) and
// from the release (NM_CLICK, as Wine does), or handle both inside the press
// while it watches for a drag: either way one of the waits has the detail.
TEST_F(EventWaitTest, ListViewClicksAreControlEventsWithTheirDetail) {
    HWND window = openMainWindow();
    HWND list = makeListView(window);
    waitForAll();

    clickAt(list, listViewItemPoint(list, 1));
    EXPECT_TRUE(sawControlEvent(waitForAllDetailed(), LIST_VIEW_ID, 0));
    clickAt(list, listViewItemPoint(list, 2), true);
    EXPECT_TRUE(sawControlEvent(waitForAllDetailed(), LIST_VIEW_ID, 1));
    doubleClickAt(list, listViewItemPoint(list, 0));
    EXPECT_TRUE(sawControlEvent(waitForAllDetailed(), LIST_VIEW_ID, 2));
}

TEST_F(EventWaitTest, AChangeMadeBetweenWaitsIsReturnedByTheNextWait) {
    HWND window = openMainWindow();
    HWND list = makeListView(window);
    waitForAll();
    eventState.eventSource = 0;

    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&state));
    EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    EXPECT_EQ(eventSource(), LIST_VIEW_ID);

    EXPECT_EQ(waitOnMarker(window), WAITED_CONTROL);
    EXPECT_EQ(eventSource(), LIST_VIEW_ID);
    EXPECT_EQ(waitOnMarker(window), static_cast<int>(MARKER_MESSAGE));
}

TEST_F(EventWaitTest, OtherListViewNotificationsCountOnlyOnceADetailIsKnown) {
    HWND window = openMainWindow();
    HWND list = makeListView(window);
    waitForAll();
    NMHDR header = {list, LIST_VIEW_ID, static_cast<UINT>(LVN_INSERTITEM)};

    eventState.eventType = -1;
    EXPECT_EQ(sendNotify(window, header), 0);
    EXPECT_EQ(eventState.pendingEvent, 0);

    // The detail of an earlier click is still known: the notification counts.
    eventState.eventType = 0;
    sendNotify(window, header);
    EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    EXPECT_EQ(eventSource(), LIST_VIEW_ID);
}

// Sent as a real list-view would send them, each alone in its wait.
TEST_F(EventWaitTest, EachMouseNotificationSetsItsOwnDetail) {
    HWND window = openMainWindow();
    HWND list = makeListView(window);
    waitForAll();
    const struct {
        UINT code;
        int type;
    } notifications[] = {{NM_CLICK, 0}, {NM_RCLICK, 1}, {NM_DBLCLK, 2}, {NM_RDBLCLK, 3}};
    for (const auto& notification : notifications) {
        NMHDR header = {list, LIST_VIEW_ID, notification.code};
        eventState.pendingEvent = 0;
        eventState.eventType = -1;
        sendNotify(window, header);
        EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL) << static_cast<int>(notification.code);
        EXPECT_EQ(eventState.eventType, notification.type) << static_cast<int>(notification.code);
    }
}

TEST_F(EventWaitTest, ATreeViewSelectionChangeIsAControlEvent) {
    HWND window = openMainWindow();
    HWND tree = makeChild(window, WC_TREEVIEWA, 7, WS_TABSTOP, 0, 0, 140, 200);
    waitForAll();
    // The toolkit's windows are Unicode windows: a control that asks is told to
    // send the wide notifications, and the narrow ones still count.
    EXPECT_EQ(SendMessageW(window, WM_NOTIFYFORMAT, reinterpret_cast<WPARAM>(tree), NF_QUERY),
              NFR_UNICODE);
    for (UINT code : {static_cast<UINT>(TVN_SELCHANGEDW), static_cast<UINT>(TVN_SELCHANGEDA)}) {
        NMTREEVIEWW change = {};
        change.hdr = {tree, 7, code};
        eventState.pendingEvent = 0;
        eventState.eventSource = 0;
        eventState.eventType = -1;
        sendNotify(window, change.hdr);
        EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL) << static_cast<int>(code);
        EXPECT_EQ(eventSource(), 7);
        EXPECT_EQ(eventState.eventType, -1);
    }
}

TEST_F(EventWaitTest, ActivationSetsTheDoubleClickDetail) {
    HWND window = openMainWindow();
    HWND list = makeListView(window);
    waitForAll();
    NMITEMACTIVATE activation = {};
    activation.hdr = {list, LIST_VIEW_ID, static_cast<UINT>(LVN_ITEMACTIVATE)};
    eventState.eventType = -1;
    sendNotify(window, activation.hdr);
    EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    EXPECT_EQ(eventState.eventType, 2);
}

TEST_F(EventWaitTest, AnUpDownDeltaFromAnyOtherClassIsAControlEvent) {
    HWND window = openMainWindow();
    HWND button = makeButton(window);
    HWND list = makeListView(window);
    waitForAll();
    NMUPDOWN upDown = {};
    upDown.hdr = {button, 8, static_cast<UINT>(UDN_DELTAPOS)};
    upDown.iPos = 4;
    upDown.iDelta = -3;
    eventState.eventType = -1;
    sendNotify(window, upDown.hdr);
    EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    EXPECT_EQ(eventSource(), 8);
    EXPECT_EQ(eventState.eventType, -3);

    // A list-view's notifications go by the list-view's own rules.
    eventState.pendingEvent = 0;
    eventState.eventType = -1;
    upDown.hdr.hwndFrom = list;
    sendNotify(window, upDown.hdr);
    EXPECT_EQ(eventState.pendingEvent, 0);
    EXPECT_EQ(eventState.eventType, -1);
}

TEST_F(EventWaitTest, ANotificationWithoutHeaderIsIgnored) {
    HWND window = openMainWindow();
    EXPECT_EQ(SendMessageA(window, WM_NOTIFY, 0, 0), 0);
    EXPECT_EQ(eventState.pendingEvent, 0);
}

TEST_F(EventWaitTest, ATabSelectionSwitchesToTheItemsPage) {
    HWND window = openMainWindow(0, 260, 400);
    HWND pages[2];
    HWND tabs = makeTwoPageTabs(window, pages);
    waitForAll();

    RECT second = {};
    SendMessageA(tabs, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&second));
    clickAt(tabs, clientPointToScreen(tabs, (second.left + second.right) / 2,
                                      (second.top + second.bottom) / 2));
    // Away from the tabs, whose hot tracking would otherwise keep a timer going.
    moveCursorTo(clientPointToScreen(window, 255, 395));
    Waited selection = firstWaitReturning(waitForAllDetailed(), WAITED_CONTROL);
    EXPECT_EQ(selection.source, 6);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(IsWindowVisible(pages[0]));
    EXPECT_FALSE(IsWindowEnabled(pages[0]));
    EXPECT_TRUE(IsWindowVisible(pages[1]));
    EXPECT_TRUE(IsWindowEnabled(pages[1]));
    EXPECT_EQ(GetWindow(tabs, GW_CHILD), pages[1]);
    EXPECT_EQ(GetFocus(), tabs);
}

TEST_F(EventWaitTest, ATabSelectionTakesTheFocusFromAnotherControl) {
    HWND window = openMainWindow(0, 260, 400);
    HWND pages[2];
    HWND tabs = makeTwoPageTabs(window, pages);
    HWND button = makeButton(window);
    SetFocus(button);
    waitForAll();
    SendMessageA(tabs, TCM_SETCURSEL, 1, 0);
    NMHDR header = {tabs, TAB_ID, static_cast<UINT>(TCN_SELCHANGE)};
    sendNotify(window, header);
    EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    EXPECT_EQ(eventSource(), TAB_ID);
    EXPECT_TRUE(IsWindowVisible(pages[1]));
    EXPECT_FALSE(IsWindowVisible(pages[0]));
    EXPECT_EQ(GetFocus(), tabs);
}

TEST_F(EventWaitTest, AListBoxReportsSelectionButNotFocus) {
    HWND window = openMainWindow();
    HWND button = makeButton(window);
    HWND box = makeListBox(window);
    SetFocus(button);
    waitForAll();

    // The press gives the focus (last notification: nothing to report), the
    // release the selection change.
    clickAt(box, listBoxItemPoint(box, 1));
    std::vector<Waited> waits = waitForAllDetailed();
    Results results = resultsBesidesMovesAndPaints(waits);
    EXPECT_EQ(results, (Results{WM_LBUTTONDOWN, WAITED_CONTROL}));
    Waited selection = firstWaitReturning(waits, WAITED_CONTROL);
    EXPECT_EQ(selection.source, LIST_BOX_ID);
    EXPECT_EQ(selection.type, 0);
    EXPECT_EQ(SendMessageA(box, LB_GETCURSEL, 0, 0), 1);

    doubleClickAt(box, listBoxItemPoint(box, 0));
    EXPECT_TRUE(sawControlEvent(waitForAllDetailed(), LIST_BOX_ID, LBN_DBLCLK));
}

TEST_F(EventWaitTest, AListBoxLosingTheFocusClearsWhatWasRecorded) {
    HWND window = openMainWindow();
    HWND button = makeButton(window);
    HWND box = makeListBox(window);
    SetFocus(box);
    waitForAll();
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(BUTTON_ID, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    ASSERT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    SetFocus(button);
    EXPECT_EQ(eventState.pendingEvent, 0);
    EXPECT_EQ(eventSource(), LIST_BOX_ID);
    EXPECT_EQ(eventState.eventType, LBN_KILLFOCUS);
    EXPECT_EQ(waitOnMarker(window), static_cast<int>(MARKER_MESSAGE));
}

TEST_F(EventWaitTest, MenuAndAcceleratorCommandsAreMenuEvents) {
    HWND window = openMainWindow();
    PostMessageA(window, WM_COMMAND, 40001, 0);
    EXPECT_EQ(waitEvent(), WAITED_MENU);
    EXPECT_EQ(eventSource(), 40001);
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(77, 1), 0);
    EXPECT_EQ(waitEvent(), WAITED_MENU);
    EXPECT_EQ(eventSource(), 77);
}

TEST_F(EventWaitTest, AControlNumberedMinusTenThousandGivesMenuEvents) {
    HWND window = openMainWindow();
    HWND button = makeChild(window, "BUTTON", -10000, BS_PUSHBUTTON, 0, 0, 50, 20, "menu");
    waitForAll();
    SendMessageA(button, BM_CLICK, 0, 0);
    EXPECT_EQ(eventState.pendingEvent, WAITED_MENU);
    EXPECT_EQ(eventSource(), static_cast<int>(LOWORD(-10000)));
    EXPECT_EQ(waitOnMarker(window), WAITED_MENU);
}

TEST_F(EventWaitTest, ScrollBarControlsReportTheirNumber) {
    HWND window = openMainWindow();
    HWND bar = makeChild(window, "SCROLLBAR", 9, SBS_HORZ, 0, 0, 100, 16);
    SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
    EXPECT_EQ(eventState.pendingEvent, WAITED_CONTROL);
    EXPECT_EQ(eventSource(), 9);

    // The window's own scroll bar is no control.
    eventState.pendingEvent = 0;
    SendMessageA(window, WM_HSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(eventState.pendingEvent, 0);
    EXPECT_EQ(eventSource(), 9);
}

TEST_F(EventWaitTest, AQuitMessageEndsTheLoopLikeAClose) {
    HWND window = openMainWindow();
    HWND button = makeButton(window);
    waitForAll();
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(BUTTON_ID, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    PostQuitMessage(0);
    EXPECT_EQ(waitEvent(), WAITED_CLOSE);
    EXPECT_EQ(eventState.pendingEvent, 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(waitOnMarker(window), static_cast<int>(MARKER_MESSAGE));
}

} // namespace
