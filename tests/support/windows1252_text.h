// The program's texts are Windows-1252 bytes held by the platform in UTF-16.
// Tests read them back through the Unicode calls and give them in that code
// page by the system's own table, whatever the system's code page is: a
// narrow call would give them in the system's code page instead, and so
// differently under a Cyrillic or Japanese locale.
#pragma once

#include <windows.h>

#include <string>

// A character Windows-1252 lacks reads as '?'.
inline std::string windows1252Of(const wchar_t* wide) {
    int bytes = WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, "?", nullptr);
    std::string text(bytes > 0 ? static_cast<size_t>(bytes) : 1, '\0');
    WideCharToMultiByte(1252, WC_NO_BEST_FIT_CHARS, wide, -1, text.data(),
                        static_cast<int>(text.size()), "?", nullptr);
    text.resize(bytes > 0 ? static_cast<size_t>(bytes) - 1 : 0);
    return text;
}

// A window's text, or a class name, as the platform holds it.
inline std::string windowText1252(HWND window) {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    return windows1252Of(text.c_str());
}

inline std::string className1252(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return windows1252Of(name);
}
