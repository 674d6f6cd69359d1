// Prefix search and most-recent-first insertion for the folder history.
#include "view/core/FolderHistory.h"

namespace {

char FoldAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool StartsWithIgnoringAsciiCase(const std::string& text, const std::string& prefix) {
    if (prefix.size() > text.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAscii(text[i]) != FoldAscii(prefix[i])) return false;
    }
    return true;
}

}  // namespace

std::optional<std::size_t> FindFolderPrefix(const std::vector<std::string>& items,
                                            const std::string& prefix) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (StartsWithIgnoringAsciiCase(items[i], prefix)) return i;
    }
    return std::nullopt;
}

void AddFolderHistory(std::vector<std::string>& items, const std::string& folder) {
    if (const auto found = FindFolderPrefix(items, folder)) {
        items.erase(items.begin() + static_cast<std::ptrdiff_t>(*found));
    }
    items.insert(items.begin(), folder);
}
