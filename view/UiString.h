// The one way the front end turns the program's UTF-8 texts into wx
// strings: never through a narrow literal, which the C locale would empty.
#pragma once

#include <wx/string.h>

#include <string_view>

namespace ui {

inline wxString ToWx(std::string_view utf8) { return wxString::FromUTF8(utf8.data(), utf8.size()); }

}  // namespace ui
