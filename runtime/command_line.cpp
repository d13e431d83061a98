#include "runtime/command_line.h"

namespace {

const char* skipSpaces(const char* text) {
    while (*text == ' ') {
        ++text;
    }
    return text;
}

} // namespace

const char* skipProgramName(const char* commandLine) {
    const char* scan = commandLine;
    if (*scan == '"') {
        ++scan;
        while (*scan && *scan != '"') {
            ++scan;
        }
        // An unclosed quote leaves the whole line, quote included.
        return *scan ? skipSpaces(scan + 1) : commandLine;
    }
    while (*scan && *scan != ' ') {
        ++scan;
    }
    return skipSpaces(scan);
}
