// Case folding of names on Windows, by the system's uppercase table, which
// its file systems compare names with.
#include <windows.h>

#include "utf16/WideText_win32.h"
#include "walk/NameFold.h"

std::string FoldedName(std::string_view name) {
    std::wstring wide;
    if (!Widen(name, wide) || wide.empty()) return std::string(name);
    // The invariant locale's simple uppercase maps each unit to one unit,
    // as the file system's table does, whatever the user's language.
    std::wstring upper(wide.size(), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(),
                      static_cast<int>(wide.size()), upper.data(), static_cast<int>(upper.size()),
                      nullptr, nullptr, 0) != static_cast<int>(wide.size())) {
        return std::string(name);
    }
    return Narrow(upper);
}
