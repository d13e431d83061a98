// The program's name is skipped on any command line without reading outside it.
#include "runtime/command_line.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.c_str(); // the platform hands over a NUL-terminated line
    const char* start = line.c_str();
    const char* tail = skipProgramName(start);
    if (tail < start || tail > start + line.size()) {
        std::abort();
    }
    bool unclosedQuote = line[0] == '"' && line.find('"', 1) == std::string::npos;
    if (unclosedQuote != (tail == start && !line.empty() && line[0] == '"')) {
        std::abort();
    }
    // The tail never begins with the spaces that separated it from the name.
    if (!unclosedQuote && *tail == ' ') {
        std::abort();
    }
    return 0;
}
