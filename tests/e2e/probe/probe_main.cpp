// velmorin_probe: a separate process that looks at the running program's
// window and controls and prints what it finds, one fact a line.
//
// Commands come one a line on standard input (or one per argument); every
// answer ends with the line "end". See tests/e2e/probe_report.h for the
// lines of `state`.
//   target CLASS TITLE     which top-level window to look at
//   wait MS                until the window exists and is visible: window 1|0
//   gone MS                until no such window exists: window 0|1
//   state                  everything the tests read
//   closebox               a point in the caption's close box: closebox X Y
//   sync                   a sent no-op message has been handled: sync 1|0
//   send ID MSG WPARAM LPARAM / post ...   foreign messages (ID -1: the window);
//                          the parameters may be negative or up to 2^32-1
//   hittest X Y            what the window says is at a screen point:
//                          hittest CODE INSIDE (INSIDE 1 when the point's
//                          window is the target or one of its descendants)
//   pointer X Y            whether a click there would reach the window: pointer
//                          FRONT ONWINDOW CX CY (FRONT 1 when the window is the
//                          foreground window, ONWINDOW as INSIDE above, CX CY
//                          the cursor's position)
//   memory                 the target process's memory as the system counts it:
//                          memory PRIVATE WORKINGSET PAGEFILE (bytes) | memory none
//   refuse-fresh-block     for the probe's own tests: the next fresh block in the
//                          target, taken after a read timed out, is refused
//   quit
// Run with arguments, the exit code is 0 when the last command succeeded.
// Where the probe cannot read on without reading falsely, it ends its answer
// with "error REASON" and "end", says the same on standard error, and exits
// with code 3.
#include "tests/e2e/probe/remote_window.h"

#include <commctrl.h>
#include <fcntl.h>
#include <io.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string>

namespace {

std::string targetClass = "WindowClass_0";
std::string targetTitle = "Velmorin";

// Texts are printed to the end of their line; a line break inside one would
// end it early, so breaks and the escape character itself are escaped.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out;
}

// A number the window did not give in time is printed as such, so that it
// never reads as a value.
std::string number(int value) {
    return value == NO_ANSWER ? "timeout" : std::to_string(value);
}

// A text that the window did not give in time gets a line of its own, since
// any text, "timeout" too, may be what the window holds.
void printText(const std::string& what, const std::optional<std::string>& text) {
    if (text) {
        std::printf("%s %s\n", what.c_str(), escaped(*text).c_str());
    } else {
        std::printf("timeout %s\n", what.c_str());
    }
}

HWND findTarget() {
    return FindWindowA(targetClass.c_str(), targetTitle.c_str());
}

void printRect(const char* key, int id, const RECT& r) {
    std::printf("%s %d %ld %ld %ld %ld\n", key, id, r.left, r.top, r.right - r.left,
                r.bottom - r.top);
}

int focusId(HWND top, HWND focus) {
    if (!focus) {
        return -1;
    }
    if (focus == top) {
        return -2;
    }
    if (!IsChild(top, focus)) {
        return -3;
    }
    return GetDlgCtrlID(focus);
}

void printListView(RemoteBuffer& buffer, HWND listView) {
    int rows = listViewRowCount(listView);
    int columns = listViewColumnCount(listView);
    std::printf("rowcount %s\n", number(rows).c_str());
    std::printf("columncount %s\n", number(columns).c_str());
    for (int c = 0; c < columns; ++c) {
        printText("column " + std::to_string(c), listViewColumnTitle(buffer, listView, c));
    }
    std::string statuses = "rows";
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            std::optional<std::string> text = listViewCell(buffer, listView, r, c);
            printText("cell " + std::to_string(r) + " " + std::to_string(c), text);
            if (c == 1) {
                statuses += " " + text.value_or("?");
            }
        }
        RECT rect;
        if (listViewRowRect(buffer, listView, r, &rect)) {
            printRect("itemrect", r, rect);
        }
    }
    std::printf("%s\n", statuses.c_str());
    std::printf("lvfocus %s\n", number(listViewNextItem(listView, LVNI_FOCUSED)).c_str());
    std::printf("lvselected %s\n", number(listViewSelectedCount(listView)).c_str());
}

void printListBox(HWND listBox) {
    int count = listBoxCount(listBox);
    std::printf("lines %s\n", number(count).c_str());
    for (int i = 0; i < count; ++i) {
        printText("line " + std::to_string(i), listBoxLine(listBox, i));
    }
}

bool printState() {
    HWND top = findTarget();
    std::printf("window %d\n", top ? 1 : 0);
    if (!top) {
        return false;
    }
    RECT frame;
    GetWindowRect(top, &frame);
    RECT client;
    GetClientRect(top, &client);
    POINT origin = {0, 0};
    ClientToScreen(top, &origin);
    char title[256] = {};
    GetWindowTextA(top, title, sizeof title);
    std::printf("title %s\n", escaped(title).c_str());
    std::printf("style %08lx\n", static_cast<unsigned long>(GetWindowLongA(top, GWL_STYLE)));
    std::printf("visible -1 %d\n", IsWindowVisible(top) ? 1 : 0);
    printRect("rect", -1, frame);
    std::printf("client %ld %ld\n", client.right, client.bottom);
    std::printf("clientorigin %ld %ld\n", origin.x, origin.y);
    RemoteFocus focus = remoteFocus(top);
    std::printf("focus %d\n", focusId(top, focus.focus));
    std::printf("active %d\n", focus.active == top ? 1 : 0);

    RemoteBuffer buffer;
    bool haveBuffer = openRemoteBuffer(top, &buffer);
    for (const RemoteControl& control : listControls(top)) {
        std::printf("control %d %s %08lx %d %d\n", control.id, control.className.c_str(),
                    static_cast<unsigned long>(control.style), control.visible ? 1 : 0,
                    control.enabled ? 1 : 0);
        printRect("rect", control.id, control.screenRect);
        std::printf("text %d %s\n", control.id, escaped(control.text).c_str());
        if (lstrcmpiA(control.className.c_str(), "Button") == 0) {
            std::printf("check %d %s\n", control.id, number(buttonCheck(control.window)).c_str());
        } else if (lstrcmpiA(control.className.c_str(), WC_LISTVIEWA) == 0 && haveBuffer) {
            printListView(buffer, control.window);
        } else if (lstrcmpiA(control.className.c_str(), "ListBox") == 0) {
            printListBox(control.window);
        }
    }
    if (haveBuffer) {
        closeRemoteBuffer(&buffer);
    }
    std::string stops = "tabstops";
    for (HWND stop : tabStops(top)) {
        stops += " " + std::to_string(GetDlgCtrlID(stop));
    }
    std::printf("%s\n", stops.c_str());
    return true;
}

bool waitFor(bool present, DWORD timeoutMs) {
    DWORD start = GetTickCount();
    for (;;) {
        HWND top = findTarget();
        bool found = top && IsWindowVisible(top);
        if (found == present) {
            std::printf("window %d\n", found ? 1 : 0);
            return true;
        }
        if (GetTickCount() - start >= timeoutMs) {
            std::printf("window %d\n", found ? 1 : 0);
            return false;
        }
        Sleep(5);
    }
}

HWND controlById(int id) {
    HWND top = findTarget();
    if (!top || id < 0) {
        return top;
    }
    return GetDlgItem(top, id);
}

bool foreignMessage(bool send, std::istringstream& arguments) {
    long id = 0;
    unsigned long message = 0;
    // Read wide, so that both -1 and 4294967295 reach the 32-bit parameters
    // intact instead of failing the stream.
    long long wParam = 0;
    long long lParam = 0;
    arguments >> id >> message >> wParam >> lParam;
    if (arguments.fail()) {
        std::printf("%s badargs\n", send ? "sent" : "posted");
        return false;
    }
    HWND window = controlById(static_cast<int>(id));
    if (!window) {
        std::printf("%s none\n", send ? "sent" : "posted");
        return false;
    }
    if (send) {
        DWORD_PTR result = 0;
        BOOL done =
            SendMessageTimeoutA(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                                static_cast<LPARAM>(lParam), SMTO_NORMAL, 2000, &result);
        std::printf("sent %d %ld\n", done ? 1 : 0, static_cast<long>(result));
        return done != 0;
    }
    BOOL done = PostMessageA(window, static_cast<UINT>(message), static_cast<WPARAM>(wParam),
                             static_cast<LPARAM>(lParam));
    std::printf("posted %d\n", done ? 1 : 0);
    return done != 0;
}

bool printHitTest(std::istringstream& arguments) {
    long x = 0;
    long y = 0;
    arguments >> x >> y;
    HWND top = findTarget();
    if (!top) {
        std::printf("hittest none\n");
        return false;
    }
    POINT point = {x, y};
    HWND below = WindowFromPoint(point);
    bool inside = below == top || IsChild(top, below);
    DWORD_PTR code = 0;
    if (!SendMessageTimeoutA(top, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_NORMAL, 2000, &code)) {
        std::printf("hittest none\n");
        return false;
    }
    std::printf("hittest %ld %d\n", static_cast<long>(code), inside ? 1 : 0);
    return true;
}

bool printPointer(std::istringstream& arguments) {
    long x = 0;
    long y = 0;
    arguments >> x >> y;
    HWND top = findTarget();
    POINT cursor;
    if (!top || !GetCursorPos(&cursor)) {
        std::printf("pointer none\n");
        return false;
    }
    POINT point = {x, y};
    HWND below = WindowFromPoint(point);
    bool onWindow = below == top || IsChild(top, below);
    std::printf("pointer %d %d %ld %ld\n", GetForegroundWindow() == top ? 1 : 0, onWindow ? 1 : 0,
                cursor.x, cursor.y);
    return true;
}

bool printMemory() {
    HWND top = findTarget();
    DWORD processId = 0;
    if (top) {
        GetWindowThreadProcessId(top, &processId);
    }
    HANDLE process =
        processId ? OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)
                  : nullptr;
    PROCESS_MEMORY_COUNTERS_EX counters = {};
    counters.cb = sizeof counters;
    bool ok = process &&
              GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                   sizeof counters);
    if (process) {
        CloseHandle(process);
    }
    if (!ok) {
        std::printf("memory none\n");
        return false;
    }
    std::printf("memory %lu %lu %lu\n", static_cast<unsigned long>(counters.PrivateUsage),
                static_cast<unsigned long>(counters.WorkingSetSize),
                static_cast<unsigned long>(counters.PagefileUsage));
    return true;
}

// Returns false when the command failed; *quit is set by "quit".
bool runCommand(const std::string& line, bool* quit) {
    std::istringstream arguments(line);
    std::string command;
    arguments >> command;
    bool ok = true;
    if (command == "target") {
        arguments >> targetClass >> targetTitle;
        std::printf("target %s %s\n", targetClass.c_str(), targetTitle.c_str());
    } else if (command == "wait" || command == "gone") {
        unsigned long timeoutMs = 10000;
        arguments >> timeoutMs;
        ok = waitFor(command == "wait", static_cast<DWORD>(timeoutMs));
    } else if (command == "state") {
        ok = printState();
    } else if (command == "closebox") {
        HWND top = findTarget();
        POINT point;
        ok = top && closeBoxPoint(top, &point);
        if (ok) {
            std::printf("closebox %ld %ld\n", point.x, point.y);
        } else {
            std::printf("closebox none\n");
        }
    } else if (command == "sync") {
        HWND top = findTarget();
        DWORD_PTR result = 0;
        ok = top && SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &result);
        std::printf("sync %d\n", ok ? 1 : 0);
    } else if (command == "send" || command == "post") {
        ok = foreignMessage(command == "send", arguments);
    } else if (command == "hittest") {
        ok = printHitTest(arguments);
    } else if (command == "pointer") {
        ok = printPointer(arguments);
    } else if (command == "memory") {
        ok = printMemory();
    } else if (command == "refuse-fresh-block") {
        refuseNextFreshBlock();
        std::printf("refuse-fresh-block 1\n");
    } else if (command == "quit") {
        *quit = true;
    } else if (!command.empty()) {
        std::printf("error unknown command %s\n", command.c_str());
        ok = false;
    }
    std::printf("end\n");
    std::fflush(stdout);
    return ok;
}

} // namespace

void giveUp(const char* reason) {
    std::printf("error %s\nend\n", reason);
    std::fflush(stdout);
    std::fprintf(stderr, "velmorin_probe: %s\n", reason);
    std::exit(3);
}

int main(int argc, char** argv) {
    // Texts are Windows-1252 bytes and lines end in a bare line feed.
    _setmode(_fileno(stdout), _O_BINARY);
    bool quit = false;
    if (argc > 1) {
        bool ok = true;
        for (int i = 1; i < argc && !quit; ++i) {
            ok = runCommand(argv[i], &quit);
        }
        return ok ? 0 : 1;
    }
    char line[1024];
    while (!quit && std::fgets(line, sizeof line, stdin)) {
        line[std::strcspn(line, "\r\n")] = 0;
        runCommand(line, &quit);
    }
    return 0;
}
