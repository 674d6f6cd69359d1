// Folders a search never enters, known by their own name alone, so that
// leaving one out is decided on the name the listing already gave.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Whether name matches glob as a whole: "*" matches any run of characters,
// "?" one character (a whole UTF-8 sequence), every other byte itself, ASCII
// letters in either case only when bFoldCase.
bool NameGlobMatch(std::string_view glob, std::string_view name, bool bFoldCase);

class CFolderExclusion {
public:
    CFolderExclusion() = default;
    // bFoldCase as the platform's folder texts compare (Windows folds); a
    // folded name compares as the file system compares it (FoldedName).
    CFolderExclusion(std::vector<std::string> globs, bool bFoldCase);

    bool Empty() const { return m_globs.empty(); }
    // Whether the folder named pszName (len bytes) is left out.
    bool Excludes(const char* pszName, std::size_t len) const {
        return !m_globs.empty() && AnyMatches(std::string_view(pszName, len));
    }

private:
    bool AnyMatches(std::string_view name) const;

    std::vector<std::string> m_globs;
    bool m_bFoldCase = false;
};
