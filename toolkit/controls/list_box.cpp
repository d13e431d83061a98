#include "toolkit/controls/list_box.h"

#include "runtime/scratch_string.h"
#include "runtime/wide_text.h"

ControlType ListBoxType;

namespace {

LRESULT sendToList(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(window, message, wParam, lParam);
}

// Lines go to the list and come back in UTF-16, so that they read the same
// under every system code page.
LRESULT sendTextToList(HWND window, UINT message, WPARAM wParam, const char* text) {
    WideText wide(text ? text : "");
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(wide.text));
}

// LB_GETTEXT takes no buffer size, so the line's length is asked first; the
// line is then cut to the room that is left in the scratch area.
char* lineTextResult(HWND window, int index) {
    LRESULT length = SendMessageW(window, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR || length < 0) {
        return emptyTextResult();
    }
    WideText line;
    line.reserve(static_cast<int>(length) + 1);
    LRESULT copied = SendMessageW(window, LB_GETTEXT, static_cast<WPARAM>(index),
                                  reinterpret_cast<LPARAM>(line.text));
    if (copied == LB_ERR || copied < 0 || copied > length) {
        copied = 0;
    }
    return wideTextResult(line.text, static_cast<int>(copied), scratchRoom());
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
    LRESULT found = sendTextToList(window, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), text);
    sendToList(window, LB_SETCURSEL, static_cast<WPARAM>(found), 0);
}

// Position -1 appends. The result is the new line's index, or LB_ERR / LB_ERRSPACE.
int addListBoxItem(HWND window, int position, const char* text) {
    return static_cast<int>(
        sendTextToList(window, LB_INSERTSTRING, static_cast<WPARAM>(position), text));
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
