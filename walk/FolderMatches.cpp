// A folder's matches, with the sibling rule of the solution caches.
#include "walk/FolderMatches.h"

#include <algorithm>

void CFolderMatches::Begin(int nKinds) {
    m_nKinds = nKinds;
    m_nPatterns = 0;
    m_names.clear();
    m_matches.clear();
    m_solutions.clear();
}

int CFolderMatches::Offer(const char* pszName, std::size_t len, EntryKind kind) {
    const int nCode = ClassifyName(pszName, len);
    switch (UseOf(m_nKinds, nCode, kind == EntryKind::kFolder)) {
        case NameUse::kCandidate:
            return nCode;
        case NameUse::kSolution:
            m_solutions.push_back({static_cast<std::uint32_t>(m_names.size()),
                                   static_cast<std::uint32_t>(len), nCode});
            m_names.append(pszName, len + 1);
            return -1;
        case NameUse::kNone:
            break;
    }
    return -1;
}

void CFolderMatches::Add(const char* pszName, std::size_t len, int nPattern,
                         const EntryFacts& facts) {
    // The newer kinds are files only: a folder named Proj.tlog is walked,
    // never listed, and a link to a folder is left too. (The eight keep
    // listing such a folder, as they always did.)
    if (nPattern >= kClassicPatternCount && (facts.isFolder || facts.leadsToFolder)) return;
    m_matches.push_back({static_cast<std::uint32_t>(m_names.size()),
                         static_cast<std::uint32_t>(len), nPattern, facts});
    m_names.append(pszName, len + 1);
    m_nPatterns |= 1 << nPattern;
}

void CFolderMatches::End() {
    if (!Has(kSdfPattern) && !Has(kNcbPattern)) return;
    const auto orphan = [this](const Match& match) {
        if (match.nPattern != kSdfPattern && match.nPattern != kNcbPattern) return false;
        for (const Solution& solution : m_solutions) {
            if (CacheOfSolution(Name(match), match.length, match.nPattern,
                                m_names.data() + solution.offset, solution.length,
                                solution.nCode)) {
                return false;
            }
        }
        return true;
    };
    m_matches.erase(std::remove_if(m_matches.begin(), m_matches.end(), orphan), m_matches.end());
    m_nPatterns &= ~((1 << kSdfPattern) | (1 << kNcbPattern));
    for (const Match& match : m_matches) m_nPatterns |= 1 << match.nPattern;
}
