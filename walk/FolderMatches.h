// One folder's matching names, gathered in the one pass over its listing
// and reported afterwards kind by kind.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "walk/DirReader.h"
#include "walk/MatchRules.h"

class CFolderMatches {
public:
    struct Match {
        std::uint32_t offset;  // into the names
        std::uint32_t length;
        int nPattern;
        EntryFacts facts;
    };

    // Starts over for a folder in which the kinds nKinds (type-mask bits)
    // are looked for.
    void Begin(int nKinds);
    int Kinds() const { return m_nKinds; }
    // Looks at one entry of the listing: remembers a solution's name and
    // gives the pattern of a candidate, whose facts the caller then reads
    // and hands to Add, or -1.
    int Offer(const char* pszName, std::size_t len, EntryKind kind);
    void Add(const char* pszName, std::size_t len, int nPattern, const EntryFacts& facts);
    // The listing is read: a solution cache is one only with its solution
    // beside it, which may come anywhere in the listing.
    void End();

    bool Has(int nPattern) const { return (m_nPatterns & (1 << nPattern)) != 0; }
    // In listing order; grouped by pattern by the caller.
    const std::vector<Match>& Matches() const { return m_matches; }
    const char* Name(const Match& match) const { return m_names.data() + match.offset; }

private:
    struct Solution {
        std::uint32_t offset;
        std::uint32_t length;
        int nCode;
    };

    int m_nKinds = 0;
    int m_nPatterns = 0;  // bit n: a match of pattern n is held
    std::string m_names;  // names back to back, each with its terminator
    std::vector<Match> m_matches;
    std::vector<Solution> m_solutions;
};
