#include "tests/e2e/probe/remote_window.h"

#include <commctrl.h>

#include <cstdio>

namespace {

// A hung target must not hang the reader too.
constexpr UINT MESSAGE_TIMEOUT_MS = 2000;
constexpr SIZE_T REMOTE_BUFFER_SIZE = 4096;
constexpr int REMOTE_TEXT_OFFSET = 512;
constexpr int REMOTE_TEXT_UNITS = 1024;

// NO_ANSWER when the window did not answer in time or is gone: -1 would read
// as "no such row".
LRESULT sendA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, MESSAGE_TIMEOUT_MS,
                             &result)) {
        return NO_ANSWER;
    }
    return static_cast<LRESULT>(result);
}

LRESULT sendW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, MESSAGE_TIMEOUT_MS,
                             &result)) {
        return NO_ANSWER;
    }
    return static_cast<LRESULT>(result);
}

std::string className(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Texts are read in UTF-16, as the target holds them, and given as
// Windows-1252 bytes where that code page has the character; any other
// character is written \uXXXX, so that it can never pass for one it is not.
// The probe's own code page plays no part.
std::string fromWide(const wchar_t* wide, size_t units) {
    std::string text;
    for (size_t i = 0; i < units && wide[i]; ++i) {
        char byte = 0;
        BOOL lost = FALSE;
        if (WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, &wide[i], 1, &byte, 1, nullptr,
                                &lost) == 1 &&
            !lost) {
            text += byte;
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(wide[i]));
            text += escape;
        }
    }
    return text;
}

std::string windowText(HWND window) {
    wchar_t text[512] = {};
    GetWindowTextW(window, text, 512);
    return fromWide(text, 512);
}

BOOL CALLBACK collectChild(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::vector<HWND> descendants(HWND top) {
    std::vector<HWND> found;
    EnumChildWindows(top, collectChild, reinterpret_cast<LPARAM>(&found));
    return found;
}

// Reads a zero-terminated UTF-16 text that the target wrote into its own memory.
std::string readRemoteText(const RemoteBuffer& buffer, const wchar_t* address) {
    wchar_t text[REMOTE_TEXT_UNITS + 1] = {};
    SIZE_T read = 0;
    if (!ReadProcessMemory(buffer.process, address, text, REMOTE_TEXT_UNITS * sizeof(wchar_t),
                           &read)) {
        return {};
    }
    return fromWide(text, read / sizeof(wchar_t));
}

bool writeRemote(const RemoteBuffer& buffer, const void* data, SIZE_T size, SIZE_T offset = 0) {
    SIZE_T written = 0;
    return WriteProcessMemory(buffer.process, buffer.address + offset, data, size, &written) &&
           written == size;
}

bool readRemote(const RemoteBuffer& buffer, void* data, SIZE_T size) {
    SIZE_T read = 0;
    return ReadProcessMemory(buffer.process, buffer.address, data, size, &read) && read == size;
}

bool freshBlockRefused = false;

char* allocateRemoteBlock(HANDLE process) {
    return static_cast<char*>(VirtualAllocEx(process, nullptr, REMOTE_BUFFER_SIZE,
                                             MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
}

char* allocateFreshBlock(HANDLE process) {
    if (freshBlockRefused) {
        freshBlockRefused = false;
        return nullptr;
    }
    return allocateRemoteBlock(process);
}

// Writes the request, and an empty text where the answer's text goes, into the
// buffer and sends the request, which points there. NO_ANSWER on a time-out;
// -1 when the request could not be written.
LRESULT askThroughBuffer(RemoteBuffer& buffer, HWND window, UINT message, WPARAM wParam,
                         const void* request, SIZE_T size) {
    wchar_t empty = 0;
    if (!writeRemote(buffer, &empty, sizeof empty, REMOTE_TEXT_OFFSET) ||
        !writeRemote(buffer, request, size)) {
        return -1;
    }
    LRESULT answer = sendW(window, message, wParam, reinterpret_cast<LPARAM>(buffer.address));
    if (answer == NO_ANSWER) {
        // The window may still answer, and write into the block, at any time
        // later, even after this process has ended: freeing the block would
        // let it write into whatever it has put there since. So the block is
        // left to the window for good, and the buffer takes a fresh one.
        buffer.address = allocateFreshBlock(buffer.process);
        if (!buffer.address) {
            // Without a block every later read would give an empty text,
            // which passes for what the window holds.
            giveUp("no fresh memory in the target after a read timed out");
        }
    }
    return answer;
}

} // namespace

bool openRemoteBuffer(HWND owner, RemoteBuffer* buffer) {
    DWORD processId = 0;
    GetWindowThreadProcessId(owner, &processId);
    buffer->process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE |
                                      PROCESS_QUERY_INFORMATION,
                                  FALSE, processId);
    if (!buffer->process) {
        return false;
    }
    buffer->address = allocateRemoteBlock(buffer->process);
    if (!buffer->address) {
        closeRemoteBuffer(buffer);
        return false;
    }
    return true;
}

void refuseNextFreshBlock() {
    freshBlockRefused = true;
}

void closeRemoteBuffer(RemoteBuffer* buffer) {
    if (buffer->address) {
        VirtualFreeEx(buffer->process, buffer->address, 0, MEM_RELEASE);
    }
    if (buffer->process) {
        CloseHandle(buffer->process);
    }
    buffer->process = nullptr;
    buffer->address = nullptr;
}

std::vector<RemoteControl> listControls(HWND top) {
    std::vector<RemoteControl> controls;
    for (HWND window : descendants(top)) {
        if (GetParent(window) != top) {
            continue;
        }
        RemoteControl control;
        control.window = window;
        control.id = GetDlgCtrlID(window);
        control.className = className(window);
        control.style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
        control.visible = IsWindowVisible(window) != 0;
        control.enabled = IsWindowEnabled(window) != 0;
        GetWindowRect(window, &control.screenRect);
        control.text = windowText(window);
        controls.push_back(control);
    }
    return controls;
}

std::vector<HWND> tabStops(HWND top) {
    std::vector<HWND> stops;
    for (HWND window : descendants(top)) {
        if (IsWindowEnabled(window) && IsWindowVisible(window) &&
            (GetWindowLongA(window, GWL_STYLE) & WS_TABSTOP)) {
            stops.push_back(window);
        }
    }
    return stops;
}

int listViewRowCount(HWND listView) {
    return static_cast<int>(sendA(listView, LVM_GETITEMCOUNT, 0, 0));
}

int listViewColumnCount(HWND listView) {
    LRESULT header = sendA(listView, LVM_GETHEADER, 0, 0);
    if (header == NO_ANSWER || !header) {
        return header ? NO_ANSWER : 0;
    }
    return static_cast<int>(sendA(reinterpret_cast<HWND>(header), HDM_GETITEMCOUNT, 0, 0));
}

std::optional<std::string> listViewCell(RemoteBuffer& buffer, HWND listView, int row, int column) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(buffer.address + REMOTE_TEXT_OFFSET);
    item.cchTextMax = REMOTE_TEXT_UNITS;
    LRESULT answer = askThroughBuffer(buffer, listView, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                      &item, sizeof item);
    if (answer == NO_ANSWER) {
        return std::nullopt;
    }
    if (answer < 0) {
        return std::string();
    }
    // The control may answer with a pointer to a text of its own.
    LVITEMW read = {};
    if (!readRemote(buffer, &read, sizeof read) || !read.pszText) {
        return std::string();
    }
    return readRemoteText(buffer, read.pszText);
}

std::optional<std::string> listViewColumnTitle(RemoteBuffer& buffer, HWND listView, int column) {
    LVCOLUMNW title = {};
    title.mask = LVCF_TEXT;
    title.pszText = reinterpret_cast<wchar_t*>(buffer.address + REMOTE_TEXT_OFFSET);
    title.cchTextMax = REMOTE_TEXT_UNITS;
    LRESULT answer = askThroughBuffer(buffer, listView, LVM_GETCOLUMNW, static_cast<WPARAM>(column),
                                      &title, sizeof title);
    if (answer == NO_ANSWER) {
        return std::nullopt;
    }
    LVCOLUMNW read = {};
    if (answer <= 0 || !readRemote(buffer, &read, sizeof read) || !read.pszText) {
        return std::string();
    }
    return readRemoteText(buffer, read.pszText);
}

bool listViewRowRect(RemoteBuffer& buffer, HWND listView, int row, RECT* screen) {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    if (askThroughBuffer(buffer, listView, LVM_GETITEMRECT, static_cast<WPARAM>(row), &rect,
                         sizeof rect) <= 0 ||
        !readRemote(buffer, &rect, sizeof rect)) {
        return false;
    }
    MapWindowPoints(listView, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *screen = rect;
    return true;
}

int listViewNextItem(HWND listView, UINT flags) {
    return static_cast<int>(sendA(listView, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), flags));
}

int listViewSelectedCount(HWND listView) {
    return static_cast<int>(sendA(listView, LVM_GETSELECTEDCOUNT, 0, 0));
}

int listBoxCount(HWND listBox) {
    return static_cast<int>(sendW(listBox, LB_GETCOUNT, 0, 0));
}

// The wide request: the narrow one loses all but the first character when it
// crosses processes under Wine. The system copies the text across into this
// process's own memory only while the request is waited for, so a late
// answer is dropped and needs no buffer left behind.
std::optional<std::string> listBoxLine(HWND listBox, int line) {
    LRESULT length = sendW(listBox, LB_GETTEXTLEN, static_cast<WPARAM>(line), 0);
    if (length == NO_ANSWER) {
        return std::nullopt;
    }
    if (length <= 0) {
        return std::string();
    }
    std::vector<wchar_t> wide(static_cast<size_t>(length) + 1, 0);
    LRESULT copied = sendW(listBox, LB_GETTEXT, static_cast<WPARAM>(line),
                           reinterpret_cast<LPARAM>(wide.data()));
    if (copied == NO_ANSWER) {
        return std::nullopt;
    }
    if (copied <= 0) {
        return std::string();
    }
    return fromWide(wide.data(), static_cast<size_t>(copied));
}

int buttonCheck(HWND button) {
    return static_cast<int>(sendA(button, BM_GETCHECK, 0, 0));
}

RemoteFocus remoteFocus(HWND top) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(top, nullptr);
    if (!GetGUIThreadInfo(thread, &info)) {
        return {nullptr, nullptr};
    }
    return {info.hwndFocus, info.hwndActive};
}

bool closeBoxPoint(HWND top, POINT* point) {
    RECT frame;
    GetWindowRect(top, &frame);
    POINT clientOrigin = {0, 0};
    ClientToScreen(top, &clientOrigin);
    // Scan the middle of the caption from the right edge for the close box.
    int y = (frame.top + clientOrigin.y) / 2;
    int right = -1;
    int left = -1;
    for (int x = frame.right - 1; x >= frame.left; --x) {
        LRESULT hit = sendA(top, WM_NCHITTEST, 0, MAKELPARAM(x, y));
        if (hit == HTCLOSE) {
            if (right < 0) {
                right = x;
            }
            left = x;
        } else if (right >= 0) {
            break;
        }
    }
    if (right < 0) {
        return false;
    }
    point->x = (left + right) / 2;
    int bottom = y;
    while (bottom + 1 < clientOrigin.y &&
           sendA(top, WM_NCHITTEST, 0, MAKELPARAM(point->x, bottom + 1)) == HTCLOSE) {
        ++bottom;
    }
    int upper = y;
    while (upper - 1 >= frame.top &&
           sendA(top, WM_NCHITTEST, 0, MAKELPARAM(point->x, upper - 1)) == HTCLOSE) {
        --upper;
    }
    point->y = (upper + bottom) / 2;
    return true;
}
