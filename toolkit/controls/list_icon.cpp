#include "toolkit/controls/list_icon.h"

#include "runtime/heap.h"
#include "runtime/scratch_string.h"
#include "runtime/wide_text.h"
#include "toolkit/controls/list_icon_images.h"

#include <commctrl.h>

#include <cstring>

ControlType ListIconType;

namespace {

constexpr DWORD LIST_ICON_EX_STYLE = WS_EX_CLIENTEDGE;
constexpr UINT ROW_MARKS = LVIS_FOCUSED | LVIS_SELECTED;
constexpr int TEXT_LIMIT = 60000;      // the focused row's text, terminator included
constexpr int ITEM_TEXT_LIMIT = 10000; // one cell's text, terminator included

LRESULT sendToList(HWND window, UINT message, WPARAM wParam, const void* data) {
    return SendMessageA(window, message, wParam, reinterpret_cast<LPARAM>(data));
}

// Texts reach the control and come back in UTF-16, so that they read the
// same under every system code page. LVITEMW and LVCOLUMNW take writable text
// pointers even where they only read.
LRESULT sendTextToList(HWND window, UINT message, WPARAM wParam, const void* data) {
    return SendMessageW(window, message, wParam, reinterpret_cast<LPARAM>(data));
}

DWORD windowStyleFor(DWORD flags) {
    DWORD style = flags | LIST_ICON_BASE_STYLE;
    // The flag asks for several selected rows; without it one row at a time.
    if (flags & LIST_ICON_FLAG_MULTIPLE_SELECTION) {
        return style & ~static_cast<DWORD>(LVS_SINGLESEL);
    }
    return style | LVS_SINGLESEL;
}

DWORD extendedStyleFor(DWORD flags) {
    DWORD extended = 0;
    if (flags & LIST_ICON_FLAG_GRID_LINES) {
        extended |= LVS_EX_GRIDLINES;
    }
    if (flags & LIST_ICON_FLAG_FULL_ROW_SELECT) {
        extended |= LVS_EX_FULLROWSELECT;
    }
    if (flags & LIST_ICON_FLAG_HEADER_DRAG) {
        extended |= LVS_EX_HEADERDRAGDROP;
    }
    if (flags & LIST_ICON_FLAG_CHECKBOXES) {
        extended |= LVS_EX_CHECKBOXES;
    }
    return extended;
}

// Fetches one cell into the scratch area, never more than `limit` bytes and
// never past the area's end. The control may answer with a pointer to its own
// copy instead of filling the buffer; that text is cut alike.
char* cellTextResult(HWND window, int row, int column, int limit) {
    int room = scratchRoom() < limit ? scratchRoom() : limit;
    WideText cell;
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = cell.reserve(room);
    item.cchTextMax = room;
    item.pszText[0] = 0;
    if (!sendTextToList(window, LVM_GETITEMW, 0, &item) || !item.pszText) {
        return emptyTextResult();
    }
    return wideTextResult(item.pszText, room - 1, room);
}

void setRowMarks(HWND window, int row, UINT marks) {
    LVITEMA item = {};
    item.stateMask = ROW_MARKS;
    item.state = marks;
    sendToList(window, LVM_SETITEMSTATE, static_cast<WPARAM>(row), &item);
}

// Column 0 and any other column alike, by row and sub-item number.
void setItemCell(HWND window, int row, int column, const char* text) {
    WideText wide(text);
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = wide.text;
    item.cchTextMax = text ? static_cast<int>(std::strlen(text)) : 0;
    sendTextToList(window, LVM_SETITEMW, 0, &item);
}

// Gives the control the shared image list of one size unless it has one already.
void attachImageList(HWND window, int which, HIMAGELIST list) {
    if (!SendMessageA(window, LVM_GETIMAGELIST, static_cast<WPARAM>(which), 0)) {
        SendMessageA(window, LVM_SETIMAGELIST, static_cast<WPARAM>(which),
                     reinterpret_cast<LPARAM>(list));
    }
}

int getListIconState(HWND window) {
    if (!window) {
        return 0;
    }
    return static_cast<int>(
        SendMessageA(window, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

// -1 takes the marks off every row, and only when some row holds the focus:
// a row that is merely selected keeps its mark. Any other value marks that
// row and gives the list the keyboard focus.
void setListIconState(HWND window, int value) {
    if (!window) {
        return;
    }
    if (value == -1) {
        if (getListIconState(window) >= 0) {
            setRowMarks(window, -1, 0);
        }
        return;
    }
    setRowMarks(window, value, ROW_MARKS);
    SetFocus(window);
}

char* getListIconText(HWND window) {
    int row = window ? getListIconState(window) : -1;
    if (row < 0) {
        return emptyTextResult();
    }
    return cellTextResult(window, row, 0, TEXT_LIMIT);
}

// The caller's text is cut in place: its line feeds become zeros.
void setListIconText(HWND window, char* text) {
    int row = window ? getListIconState(window) : -1;
    if (row < 0) {
        return;
    }
    char* fields = text ? std::strchr(text, '\n') : nullptr;
    if (fields) {
        *fields++ = '\0';
    }
    setItemCell(window, row, 0, text);
    if (fields) {
        writeRowFields(window, row, fields);
    }
}

// The result is the index the control gives the new row, -1 when it made none.
int addListIconImageItem(HWND window, int position, const char* text, HANDLE image) {
    if (!window) {
        return -1;
    }
    if (position == -1) {
        position = static_cast<int>(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0));
    }
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    if (image) {
        int index = listIconImageIndex(image);
        if (index >= 0) {
            attachImageList(window, LVSIL_NORMAL, ListIconImages.large);
            attachImageList(window, LVSIL_SMALL, ListIconImages.small);
            item.mask |= LVIF_IMAGE;
            item.iImage = index;
        }
    }

    // The caller's text stays as it is: the fields are split in a copy.
    HGLOBAL copy = nullptr;
    char* first = nullptr;
    char* fields = nullptr;
    if (text) {
        SIZE_T size = std::strlen(text) + 1;
        copy = GlobalAlloc(GMEM_FIXED, size);
        if (copy) {
            first = static_cast<char*>(copy);
            std::memcpy(first, text, size);
            fields = std::strchr(first, '\n');
            if (fields) {
                *fields++ = '\0';
            }
        }
    }
    WideText wideFirst(first ? first : "");
    item.pszText = wideFirst.text;
    item.iItem = position;
    int row = static_cast<int>(sendTextToList(window, LVM_INSERTITEMW, 0, &item));
    // The further fields belong to the row just made, wherever the control
    // put it, and to no other row when it made none.
    if (row >= 0 && fields) {
        writeRowFields(window, row, fields);
    }
    if (copy) {
        GlobalFree(copy);
    }
    return row;
}

int addListIconItem(HWND window, int position, const char* text) {
    return addListIconImageItem(window, position, text, nullptr);
}

void removeListIconItem(HWND window, int row) {
    if (window) {
        SendMessageA(window, LVM_DELETEITEM, static_cast<WPARAM>(row), 0);
    }
}

void clearListIconItems(HWND window) {
    if (window) {
        SendMessageA(window, LVM_DELETEALLITEMS, 0, 0);
    }
}

int countListIconItems(HWND window) {
    if (!window) {
        return 0;
    }
    return static_cast<int>(SendMessageA(window, LVM_GETITEMCOUNT, 0, 0));
}

// 2 for a selected row, otherwise 0; the focus mark is not reported.
int getListIconItemState(HWND window, int row) {
    LVITEMA item = {};
    item.mask = LVIF_STATE;
    item.iItem = row;
    item.stateMask = LVIS_SELECTED;
    item.state = 0;
    sendToList(window, LVM_GETITEMA, 0, &item);
    return static_cast<int>(item.state & LVIS_SELECTED);
}

// 1 gives the row both marks, anything else removes both; the keyboard focus stays.
void setListIconItemState(HWND window, int row, int value) {
    setRowMarks(window, row, value == 1 ? ROW_MARKS : 0);
}

char* getListIconItemText(HWND window, int row, int column) {
    return cellTextResult(window, row, column, ITEM_TEXT_LIMIT);
}

// The whole text goes into the one cell, line feeds included.
void setListIconItemText(HWND window, int row, const char* text, int column) {
    setItemCell(window, row, column, text ? text : "");
}

void fillListIconType();

} // namespace

HWND createListIcon(int number, int x, int y, int width, int height, const char* title,
                    int titleWidth, DWORD flags) {
    // A window under a number the table cannot hold could never be reached again.
    if (!controlNumberFits(number)) {
        return nullptr;
    }
    DWORD extended = extendedStyleFor(flags);
    HWND window = CreateWindowExW(LIST_ICON_EX_STYLE, WC_LISTVIEWW, nullptr, windowStyleFor(flags),
                                  x, y, width, height, controlTable.currentControlParent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(number)),
                                  instanceHandle, nullptr);
    // A list-icon that could not be made leaves its number as it was.
    if (!window) {
        return nullptr;
    }
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(controlTable.defaultControlFont),
                 TRUE);
    // Mask and value are the same word: exactly these styles go on, no other is touched.
    if (extended) {
        SendMessageA(window, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    }
    fillListIconType();
    growControlTable(number);
    ControlRecord* record = lookupControl(number);
    record->window = window;
    record->type = &ListIconType;
    // The column routine finds the window through the record.
    addListIconColumn(number, 0, title, titleWidth);
    return window;
}

void addListIconColumn(int number, int position, const char* title, int width) {
    HWND window = lookupControl(number)->window;
    if (!window) {
        return;
    }
    WideText wideTitle(title ? title : "");
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = width;
    column.pszText = wideTitle.text;
    column.iSubItem = position;
    sendTextToList(window, LVM_INSERTCOLUMNW, static_cast<WPARAM>(position), &column);
}

void writeRowFields(HWND window, int row, char* fields) {
    if (!fields) {
        return;
    }
    // Fields beyond the last column are sent all the same; the control drops them.
    int column = 1;
    char* field = fields;
    while (*field != '\0') {
        char* end = std::strchr(field, '\n');
        char* next = nullptr;
        if (end) {
            *end = '\0';
            next = end + 1;
        }
        WideText wideField(field);
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = wideField.text;
        sendTextToList(window, LVM_SETITEMTEXTW, static_cast<WPARAM>(row), &item);
        ++column;
        if (!next) {
            break;
        }
        field = next;
    }
}

namespace {

void fillListIconType() {
    ListIconType = ControlType{};
    ListIconType.getState = getListIconState;
    ListIconType.setState = setListIconState;
    ListIconType.getText = getListIconText;
    ListIconType.setText = setListIconText;
    ListIconType.addItem = addListIconItem;
    ListIconType.addImageItem = addListIconImageItem;
    ListIconType.removeItem = removeListIconItem;
    ListIconType.clearItems = clearListIconItems;
    ListIconType.countItems = countListIconItems;
    ListIconType.getItemState = getListIconItemState;
    ListIconType.setItemState = setListIconItemState;
    ListIconType.getItemText = getListIconItemText;
    ListIconType.setItemText = setListIconItemText;
}

} // namespace
