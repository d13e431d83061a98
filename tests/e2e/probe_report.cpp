#include "tests/e2e/probe_report.h"

#include <sstream>

namespace {

// The rest of the line after `fields` blank-separated words, unescaped.
std::string textAfter(const std::string& line, int fields) {
    std::size_t at = 0;
    for (int i = 0; i < fields; ++i) {
        at = line.find(' ', at);
        if (at == std::string::npos) {
            return {};
        }
        ++at;
    }
    return unescapeProbeText(line.substr(at));
}

ScreenRect readRect(std::istringstream& in) {
    ScreenRect r;
    in >> r.x >> r.y >> r.width >> r.height;
    return r;
}

void growTo(std::vector<std::vector<std::string>>& cells, int row, int column) {
    if (row < 0 || column < 0 || row > 1000 || column > 100) {
        return;
    }
    if (static_cast<int>(cells.size()) <= row) {
        cells.resize(static_cast<std::size_t>(row) + 1);
    }
    if (static_cast<int>(cells[row].size()) <= column) {
        cells[row].resize(static_cast<std::size_t>(column) + 1);
    }
}

// A line's number into `field`. Anything else leaves the field as it was; a
// time-out is listed under `what`.
void readNumber(std::istringstream& in, const std::string& what, int& field, ProbeState& s) {
    std::string word;
    in >> word;
    if (word == "timeout") {
        s.timeouts.push_back(what);
        return;
    }
    std::istringstream number(word);
    int value = 0;
    if (number >> value) {
        field = value;
    }
}

void parseLine(const std::string& line, ProbeState& s) {
    std::istringstream in(line);
    std::string key;
    in >> key;
    int id = 0;
    int ignored = 0;
    if (key == "window") {
        in >> s.window;
    } else if (key == "title") {
        s.title = textAfter(line, 1);
    } else if (key == "style") {
        in >> std::hex >> s.style;
    } else if (key == "visible") {
        in >> id >> s.visible;
    } else if (key == "rect") {
        in >> id;
        ScreenRect r = readRect(in);
        if (id == -1) {
            s.frame = r;
        } else {
            s.controls[id].rect = r;
        }
    } else if (key == "client") {
        in >> s.clientWidth >> s.clientHeight;
    } else if (key == "clientorigin") {
        in >> s.clientX >> s.clientY;
    } else if (key == "focus") {
        in >> s.focus;
    } else if (key == "active") {
        in >> s.active;
    } else if (key == "control") {
        in >> id;
        ProbeControl& c = s.controls[id];
        in >> c.className >> std::hex >> c.style >> std::dec >> c.visible >> c.enabled;
    } else if (key == "text") {
        in >> id;
        s.controls[id].text = textAfter(line, 2);
    } else if (key == "check") {
        in >> id;
        readNumber(in, "check " + std::to_string(id), s.controls[id].check, s);
    } else if (key == "rowcount") {
        readNumber(in, key, s.rowCount, s);
    } else if (key == "columncount" || key == "lines") {
        // Counts that the other lines carry; only a time-out is news.
        readNumber(in, key, ignored, s);
    } else if (key == "column") {
        in >> id;
        if (id >= 0 && id < 100) {
            if (static_cast<int>(s.columns.size()) <= id) {
                s.columns.resize(static_cast<std::size_t>(id) + 1);
            }
            s.columns[id] = textAfter(line, 2);
        }
    } else if (key == "cell") {
        int column = 0;
        in >> id >> column;
        growTo(s.cells, id, column);
        if (id >= 0 && id < static_cast<int>(s.cells.size()) && column >= 0 &&
            column < static_cast<int>(s.cells[id].size())) {
            s.cells[id][column] = textAfter(line, 3);
        }
    } else if (key == "itemrect") {
        in >> id;
        if (id >= 0 && id < 1000) {
            if (static_cast<int>(s.rowRects.size()) <= id) {
                s.rowRects.resize(static_cast<std::size_t>(id) + 1);
            }
            s.rowRects[id] = readRect(in);
        }
    } else if (key == "lvfocus") {
        readNumber(in, key, s.listFocusRow, s);
    } else if (key == "lvselected") {
        readNumber(in, key, s.listSelectedCount, s);
    } else if (key == "line") {
        in >> id;
        if (id == static_cast<int>(s.lines.size())) {
            s.lines.push_back(textAfter(line, 2));
        } else {
            s.unknownLines.push_back(line);
        }
    } else if (key == "tabstops") {
        while (in >> id) {
            s.tabStops.push_back(id);
        }
    } else if (key == "timeout") {
        // A text the window did not give in time: "timeout cell 3 0".
        s.timeouts.push_back(textAfter(line, 1));
    } else if (key == "error") {
        s.gaveUp = textAfter(line, 1);
    } else if (key == "rows" || key == "end" || key.empty()) {
        // A summary that the other lines already carry.
    } else {
        s.unknownLines.push_back(line);
    }
}

} // namespace

std::string unescapeProbeText(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        char next = text[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

ProbeState parseProbeState(const std::string& answer) {
    ProbeState state;
    std::istringstream in(answer);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        parseLine(line, state);
    }
    return state;
}

std::string describeProbeTrouble(const ProbeState& state) {
    std::string out;
    for (const std::string& what : state.timeouts) {
        out += (out.empty() ? "; the probe timed out reading " : ", ") + what;
    }
    if (!state.gaveUp.empty()) {
        out += "; the probe gave up: " + state.gaveUp;
    }
    return out;
}

const ProbeControl* ProbeState::control(int id) const {
    auto found = controls.find(id);
    return found == controls.end() ? nullptr : &found->second;
}

std::vector<std::string> ProbeState::statuses() const {
    std::vector<std::string> out;
    for (const auto& row : cells) {
        out.push_back(row.size() > 1 ? row[1] : std::string());
    }
    return out;
}

std::vector<std::string> ProbeState::labels() const {
    std::vector<std::string> out;
    for (const auto& row : cells) {
        out.push_back(row.empty() ? std::string() : row[0]);
    }
    return out;
}
