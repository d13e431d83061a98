#include "runtime/scratch_string.h"

#include "runtime/heap.h"

#include <cstring>

ScratchStringState ScratchString;

namespace {

// wvsprintfA reads its arguments from consecutive 32-bit cells.
LONG formatArgument;

// The longest text "%ld" can give: "-2147483648" and its terminator.
constexpr int LONGEST_NUMBER = 12;

} // namespace

void openScratchString() {
    ScratchString.area = static_cast<char*>(heapAllocZeroed(SCRATCH_STRING_SIZE));
    ScratchString.position = ScratchString.area;
}

char* scratchLastByte() {
    return ScratchString.area + SCRATCH_STRING_SIZE - 1;
}

int scratchRoom() {
    return static_cast<int>(scratchLastByte() - ScratchString.position) + 1;
}

void scratchAppend(const char* text) {
    if (!text) {
        *ScratchString.position = '\0';
        return;
    }
    std::size_t length = std::strlen(text);
    std::size_t room = static_cast<std::size_t>(scratchRoom()) - 1;
    if (length > room) {
        length = room;
    }
    std::memcpy(ScratchString.position, text, length);
    ScratchString.position += length;
    *ScratchString.position = '\0';
}

char* formatLong(LONG value, char* destination) {
    formatArgument = value;
    ScratchString.position = destination;
    if (scratchRoom() >= LONGEST_NUMBER) {
        int written = wvsprintfA(destination, "%ld", PLATFORM_ARGUMENTS(&formatArgument));
        ScratchString.position = destination + written;
    } else {
        char number[LONGEST_NUMBER];
        wvsprintfA(number, "%ld", PLATFORM_ARGUMENTS(&formatArgument));
        scratchAppend(number);
    }
    return destination;
}

char* scratchStart() {
    return ScratchString.position;
}

void scratchSeal() {
    if (ScratchString.position < scratchLastByte()) {
        ++ScratchString.position;
    }
}

void scratchRestore(char* saved) {
    ScratchString.position = saved;
}

void scratchCommit(int length) {
    int room = scratchRoom() - 1;
    if (length > room) {
        length = room;
    }
    if (length > 0) {
        ScratchString.position += length;
    }
    *ScratchString.position = '\0';
}

int assignString(StringVariable* variable, const char* text) {
    // The new copy is made before the old block goes, so that a variable may
    // be given its own text.
    char* copy = nullptr;
    int copied = 0;
    if (text) {
        std::size_t length = std::strlen(text);
        copy = static_cast<char*>(heapAllocUncleared(length + 2));
        if (copy) {
            std::memcpy(copy, text, length + 1);
            copied = static_cast<int>(length + 1);
        }
    }
    heapRelease(*variable);
    *variable = copy;
    return copied;
}
