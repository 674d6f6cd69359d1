// Folder names left out of a search.
#include "walk/FolderExclusion.h"

#include "walk/MatchRules.h"
#include "walk/NameFold.h"

namespace {

// The bytes of the character that begins at name[i]: a lead byte and the
// continuation bytes after it, so "?" never splits a character.
std::size_t CharLength(std::string_view name, std::size_t i) {
    std::size_t n = 1;
    while (i + n < name.size() && (static_cast<unsigned char>(name[i + n]) & 0xC0) == 0x80) ++n;
    return n;
}

bool SameByte(char a, char b, bool bFoldCase) {
    return bFoldCase ? LowerAscii(a) == LowerAscii(b) : a == b;
}

}  // namespace

bool NameGlobMatch(std::string_view glob, std::string_view name, bool bFoldCase) {
    // The last "*" and where the name stood then: on a mismatch it takes one
    // more character, which keeps the match linear in practice.
    std::size_t g = 0, n = 0;
    std::size_t nStar = std::string_view::npos, nResume = 0;
    while (n < name.size()) {
        if (g < glob.size() && glob[g] == '*') {
            nStar = g++;
            nResume = n;
        } else if (g < glob.size() && glob[g] == '?') {
            ++g;
            n += CharLength(name, n);
        } else if (g < glob.size() && SameByte(glob[g], name[n], bFoldCase)) {
            ++g;
            ++n;
        } else if (nStar != std::string_view::npos) {
            g = nStar + 1;
            nResume += CharLength(name, nResume);
            n = nResume;
        } else {
            return false;
        }
    }
    while (g < glob.size() && glob[g] == '*') ++g;
    return g == glob.size();
}

CFolderExclusion::CFolderExclusion(std::vector<std::string> globs, bool bFoldCase)
    : m_globs(std::move(globs)), m_bFoldCase(bFoldCase) {
    // "*" and "?" fold to themselves.
    if (m_bFoldCase) {
        for (std::string& glob : m_globs) glob = FoldedName(glob);
    }
}

bool CFolderExclusion::AnyMatches(std::string_view name) const {
    const std::string folded = m_bFoldCase ? FoldedName(name) : std::string();
    for (const std::string& glob : m_globs) {
        if (NameGlobMatch(glob, m_bFoldCase ? folded : name, false)) return true;
    }
    return false;
}
