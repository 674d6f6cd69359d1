// UTF-8 and UTF-16 conversions through the system's own converters.
#include "utf16/WideText_win32.h"

#include <windows.h>

#include <climits>

bool Widen(std::string_view text, std::wstring& wide) {
    wide.clear();
    if (text.empty()) return true;
    if (text.size() > INT_MAX) return false;
    const int nBytes = static_cast<int>(text.size());
    const int nUnits =
        MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), nBytes, nullptr, 0);
    if (nUnits <= 0) return false;
    wide.resize(static_cast<std::size_t>(nUnits));
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(), nBytes, wide.data(),
                               nUnits) == nUnits;
}

std::string Narrow(std::wstring_view wide) {
    std::string text;
    if (wide.empty() || wide.size() > INT_MAX / 3) return text;
    const int nUnits = static_cast<int>(wide.size());
    const int nBytes =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), nUnits, nullptr, 0, nullptr, nullptr);
    if (nBytes <= 0) return text;
    text.resize(static_cast<std::size_t>(nBytes));
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), nUnits, text.data(), nBytes, nullptr, nullptr);
    return text;
}
