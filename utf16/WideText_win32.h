// UTF-8 (the core's text) to and from UTF-16 (what the Windows API takes).
#pragma once

#include <string>
#include <string_view>

// False for bytes that are not UTF-8: a text is never stored or looked up
// altered.
bool Widen(std::string_view text, std::wstring& wide);
// Units that are not UTF-16 (a lone surrogate) become U+FFFD.
std::string Narrow(std::wstring_view wide);
