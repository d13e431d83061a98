#include "toolkit/controls/list_box.h"

#include "runtime/heap.h"
#include "runtime/scratch_string.h"

ControlType ListBoxType;

namespace {

LRESULT sendToList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

// LB_GETTEXT takes no buffer size, so the line's length is asked first: a line
// that fits goes straight into the scratch area, a longer one is fetched into
// a block of its own and cut to the room that is left.
char* lineTextResult(HWND window, int index) {
    LRESULT length = sendToList(window, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0) {
        return emptyTextResult();
    }
    char* start = ScratchString.position;
    if (length < scratchRoom()) {
        LRESULT copied = sendToList(window, LB_GETTEXT, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(start));
        return commitTextResult(start, copied == LB_ERR ? 0 : static_cast<int>(copied));
    }
    char* line = static_cast<char*>(heapAllocUncleared(static_cast<SIZE_T>(length) + 1));
    LRESULT copied =
        sendToList(window, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(line));
    if (copied == LB_ERR || copied < 0 || copied > length) {
        copied = 0;
    }
    line[copied] = '\0';
    copyTextResult(line);
    heapRelease(line);
    return start;
}

// Index of the selected line, -1 if none.
int getListBoxState(HWND window) {
    return static_cast<int>(sendToList(window, LB_GETCURSEL, 0, 0));
}

// -1 removes the selection.
void setListBoxState(HWND window, int state) {
    sendToList(window, LB_SETCURSEL, static_cast<WPARAM>(state), 0);
}

char* getListBoxText(HWND window) {
    int selected = getListBoxState(window);
    if (selected == LB_ERR) {
        return emptyTextResult();
    }
    return lineTextResult(window, selected);
}

// Selects the first line equal to the text, ignoring case; no match removes
// the selection.
void setListBoxText(HWND window, char* text) {
    LRESULT found = sendToList(window, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(text ? text : ""));
    sendToList(window, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

// Position -1 appends. The result is the new line's index, or LB_ERR / LB_ERRSPACE.
int addListBoxItem(HWND window, int position, const char* text) {
    return static_cast<int>(sendToList(window, LB_INSERTSTRING, static_cast<WPARAM>(position),
                                       reinterpret_cast<LPARAM>(text ? text : "")));
}

void removeListBoxItem(HWND window, int item) {
    sendToList(window, LB_DELETESTRING, static_cast<WPARAM>(item), 0);
}

void clearListBoxItems(HWND window) {
    sendToList(window, LB_RESETCONTENT, 0, 0);
}

int countListBoxItems(HWND window) {
    return static_cast<int>(sendToList(window, LB_GETCOUNT, 0, 0));
}

int getListBoxItemState(HWND window, int item) {
    return static_cast<int>(sendToList(window, LB_GETSEL, static_cast<WPARAM>(item), 0));
}

void setListBoxItemState(HWND window, int item, int state) {
    sendToList(window, LB_SETSEL, static_cast<WPARAM>(state), static_cast<LPARAM>(item));
}

// The list box has one column; the column asked for is of no account.
char* getListBoxItemText(HWND window, int item, int) {
    return lineTextResult(window, item);
}

// Replaces the line in place. A line that is not there is not replaced: the
// insertion alone would add a line at that index, or at the end for -1.
void setListBoxItemText(HWND window, int item, const char* text, int) {
    if (sendToList(window, LB_DELETESTRING, static_cast<WPARAM>(item), 0) == LB_ERR) {
        return;
    }
    addListBoxItem(window, item, text);
}

void fillListBoxType();

} // namespace

HWND createListBox(int number, int x, int y, int width, int height) {
    fillListBoxType();
    return createControl(number, "LISTBOX", LIST_BOX_STYLE, LIST_BOX_EX_STYLE, x, y, width, height,
                         nullptr, &ListBoxType);
}

namespace {

void fillListBoxType() {
    ListBoxType.getState = getListBoxState;
    ListBoxType.setState = setListBoxState;
    ListBoxType.getText = getListBoxText;
    ListBoxType.setText = setListBoxText;
    ListBoxType.addItem = addListBoxItem;
    ListBoxType.removeItem = removeListBoxItem;
    ListBoxType.clearItems = clearListBoxItems;
    ListBoxType.countItems = countListBoxItems;
    ListBoxType.getItemState = getListBoxItemState;
    ListBoxType.setItemState = setListBoxItemState;
    ListBoxType.getItemText = getListBoxItemText;
    ListBoxType.setItemText = setListBoxItemText;
}

} // namespace
