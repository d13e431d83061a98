#include "runtime/wide_text.h"

#include "runtime/heap.h"

#include <cstring>

namespace {

constexpr unsigned char FIRST_MAPPED_BYTE = 0x80;
constexpr int MAPPED_BYTES = 32;
constexpr char UNKNOWN_CHARACTER = '?';

// Bytes 0x80 to 0x9F; every other byte has the code point of its own value.
const WCHAR mappedBytes[MAPPED_BYTES] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 0x80
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 0x88
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 0x90
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 0x98
};

bool isHighSurrogate(WCHAR unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(WCHAR unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

char narrowUnit(WCHAR unit) {
    if (unit < FIRST_MAPPED_BYTE || (unit >= 0xA0 && unit <= 0xFF)) {
        return static_cast<char>(unit);
    }
    for (int i = 0; i < MAPPED_BYTES; ++i) {
        if (mappedBytes[i] == unit) {
            return static_cast<char>(FIRST_MAPPED_BYTE + i);
        }
    }
    return UNKNOWN_CHARACTER;
}

} // namespace

WCHAR wideFromWindows1252(unsigned char byte) {
    if (byte >= FIRST_MAPPED_BYTE && byte < FIRST_MAPPED_BYTE + MAPPED_BYTES) {
        return mappedBytes[byte - FIRST_MAPPED_BYTE];
    }
    return byte;
}

int widenWindows1252(const char* text, WCHAR* wide, int room) {
    int written = 0;
    if (text) {
        for (; written < room - 1 && text[written] != '\0'; ++written) {
            wide[written] = wideFromWindows1252(static_cast<unsigned char>(text[written]));
        }
    }
    wide[written] = 0;
    return written;
}

int narrowToWindows1252(const WCHAR* wide, int units, char* text, int room) {
    int written = 0;
    for (int read = 0; read < units && wide[read] != 0 && written < room - 1; ++read) {
        if (isHighSurrogate(wide[read]) && read + 1 < units && isLowSurrogate(wide[read + 1])) {
            ++read;
        }
        text[written++] = narrowUnit(wide[read]);
    }
    text[written] = '\0';
    return written;
}

WideText::WideText(const char* windows1252) {
    if (!windows1252) {
        return;
    }
    int units = static_cast<int>(std::strlen(windows1252)) + 1;
    widenWindows1252(windows1252, reserve(units), units);
}

WideText::~WideText() {
    heapRelease(block);
}

WCHAR* WideText::reserve(int units) {
    heapRelease(block);
    block = nullptr;
    if (units <= IN_PLACE_UNITS) {
        text = inPlace;
    } else {
        block = static_cast<WCHAR*>(heapAllocUncleared(static_cast<SIZE_T>(units) * sizeof(WCHAR)));
        text = block;
    }
    return text;
}
