// Exact-folder matching and most-recent-first insertion for the folder
// history, and which stored values make it up.
#include "search/FolderHistory.h"

#include <algorithm>
#include <optional>
#include <string_view>
#include <utility>

#include "search/SettingsKeys.h"
#include "walk/MatchRules.h"

namespace {

constexpr std::string_view kHistoryName = settings::kHistoryEntry;
// "%d" of an int never writes more digits than this.
constexpr std::size_t kMaxIndexDigits = 10;

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// The number a "%d" would have written as digits, or nothing.
std::optional<long long> ParseIndex(std::string_view digits) {
    if (digits.empty() || digits.size() > kMaxIndexDigits ||
        (digits.size() > 1 && digits[0] == '0')) {
        return std::nullopt;
    }
    long long n = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

std::string_view WithoutTrailingSeparator(std::string_view text, const FolderTextRule& rule) {
    if (text.size() < 2 || rule.separators.find(text.back()) == std::string_view::npos) {
        return text;
    }
    const std::string_view rest = text.substr(0, text.size() - 1);
    if (rule.separators.find(rest.back()) != std::string_view::npos ||
        (rule.bDriveRoots && rest.back() == ':')) {
        return text;
    }
    return rest;
}

}  // namespace

bool SameFolderText(std::string_view a, std::string_view b, const FolderTextRule& rule) {
    a = WithoutTrailingSeparator(a, rule);
    b = WithoutTrailingSeparator(b, rule);
    return rule.bFoldAsciiCase ? EqualIgnoringAsciiCase(a, b) : a == b;
}

void AddFolderHistory(std::vector<std::string>& items, const std::string& folder,
                      const FolderTextRule& rule) {
    // Every copy goes: a list saved by an older version may hold one twice.
    std::erase_if(items,
                  [&](const std::string& item) { return SameFolderText(item, folder, rule); });
    items.insert(items.begin(), folder);
}

std::vector<std::string> HistoryValueNames(const std::vector<std::string>& names, int nCount) {
    std::vector<std::pair<long long, const std::string*>> entries;
    for (const std::string& name : names) {
        const std::string_view view = name;
        if (view.size() <= kHistoryName.size() ||
            !EqualIgnoringAsciiCase(view.substr(0, kHistoryName.size()), kHistoryName)) {
            continue;
        }
        const auto index = ParseIndex(view.substr(kHistoryName.size()));
        if (index && *index < nCount) entries.emplace_back(*index, &name);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    entries.erase(std::unique(entries.begin(), entries.end(),
                              [](const auto& a, const auto& b) { return a.first == b.first; }),
                  entries.end());
    std::vector<std::string> ordered;
    ordered.reserve(entries.size());
    for (const auto& entry : entries) ordered.push_back(*entry.second);
    return ordered;
}
