// The program's texts are Windows-1252 bytes everywhere inside it; the
// platform's Unicode calls take UTF-16. Converting at that boundary with the
// code page's own table, instead of letting the narrow calls read the bytes
// in the system's code page, shows the same characters under every system
// locale.
#pragma once

#include "runtime/platform.h"

// The UTF-16 unit for one Windows-1252 byte. The five bytes the code page
// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control
// characters of the same value, as the system's own table has them, so every
// byte comes back unchanged.
WCHAR wideFromWindows1252(unsigned char byte);

// Converts `text` into `wide`, which has room for `room` units (at least 1),
// terminator included; a longer text is cut. A null text gives the empty text.
// Returns the number of units written before the terminator.
int widenWindows1252(const char* text, WCHAR* wide, int room);

// Converts the first `units` units of `wide` (or up to its terminator, when it
// comes first) into `text`, which has room for `room` bytes (at least 1),
// terminator included; a longer text is cut. A character the code page lacks
// becomes '?', a surrogate pair one '?' for its one character. Returns the
// number of bytes written before the terminator.
int narrowToWindows1252(const WCHAR* wide, int units, char* text, int room);

// A text on its way to a Unicode call, or room for one on its way back: on
// the stack when it is short, in a block of the runtime heap when it is not.
// The block goes when the holder does.
struct WideText {
    WCHAR* text = nullptr; // null for a null text

    WideText() = default;
    explicit WideText(const char* windows1252);
    ~WideText();
    WideText(const WideText&) = delete;
    WideText& operator=(const WideText&) = delete;

    // Room for `units` units, terminator included; what it held is gone.
    WCHAR* reserve(int units);

  private:
    static constexpr int IN_PLACE_UNITS = 256;
    WCHAR* block = nullptr;
    WCHAR inPlace[IN_PLACE_UNITS];
};
