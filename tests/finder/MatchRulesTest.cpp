// The search's rules for names, folders and times, without a walk.
#include <gtest/gtest.h>

#include <cstring>
#include <sstream>
#include <string>

#include "walk/FolderMatches.h"
#include "walk/MatchRules.h"

namespace {

TEST(MatchRules, PatternOfANameIgnoresCaseAndNeedsTheWholeExtension) {
    const struct {
        const char* name;
        int nBit;  // type-mask bit of the pattern matched, 0 for none
    } cases[] = {
        {"a.obj", 4}, {"A.OBJ", 4},        {".obj", 4},    {"x.Pdb", 16}, {"x.bsc", 128},
        {"x.idb", 1}, {"x.ilk", 2},        {"x.pch", 8},   {"x.res", 32}, {"x.sbr", 64},
        {"obj", 0},   {"x.objx", 0},       {"obj.txt", 0}, {"x_obj", 0},  {"x.ob", 0},
        {"", 0},      {"x.\xC3\xB6" "bj", 0},
    };
    for (const auto& c : cases) {
        const int nPattern = ClassifyName(c.name, std::strlen(c.name));
        EXPECT_EQ(nPattern < 0 ? 0 : kPatterns[nPattern].nBit, c.nBit) << c.name;
    }
}

// One folder's listing through the rules: words of entries (a trailing "/"
// for a folder the listing names as one, "?" for one only its facts show
// to be a folder) in, the names reported out, in report order.
std::string Reported(int nTypeMask, int nFolderMode, bool bParentPasses, const char* pszFolder,
                     const std::string& entries) {
    const FolderScope scope =
        SubfolderScope(nTypeMask, nFolderMode, bParentPasses, pszFolder, std::strlen(pszFolder));
    CFolderMatches found;
    found.Begin(scope.nKinds);
    std::istringstream words(entries);
    for (std::string name; words >> name;) {
        EntryKind kind = EntryKind::kNotFolder;
        if (name.back() == '/' || name.back() == '?') {
            kind = name.back() == '/' ? EntryKind::kFolder : EntryKind::kMaybeFolder;
            name.pop_back();
        }
        const int nPattern = found.Offer(name.c_str(), name.size(), kind);
        EntryFacts facts;
        facts.isFolder = kind != EntryKind::kNotFolder;
        if (nPattern >= 0) found.Add(name.c_str(), name.size(), nPattern, facts);
    }
    found.End();
    std::string out;
    for (int nPattern = 0; nPattern < kPatternCount; ++nPattern) {
        for (const CFolderMatches::Match& m : found.Matches()) {
            if (m.nPattern == nPattern) out += std::string(found.Name(m)) + " ";
        }
    }
    return out;
}

TEST(MatchRules, NewerKindsFollowTheirOwnFolderAndSiblingRules) {
    constexpr int kAll = kClassicKinds | kNewerKinds;
    const struct {
        int nMask, nMode;
        bool bParentPasses;
        const char* folder;
        std::string entries, expected;
    } cases[] = {
        // IDE caches in any folder; link-time leftovers and records by the rule.
        {kAll, 6, true, "src", "a.ipch b.VC.db x.ipch.txt u.iobj y.tlog B.vc.DB .VC.db",
         "a.ipch b.VC.db B.vc.DB .VC.db "},
        // The eight first, then the seven in their order; never the IDE's
        // locks, profile data, options or resource state.
        {kAll, 6, true, "Release",
         "z.tlog u.iobj p.IPDB a.obj s.lastbuildstate q.IPCH .suo x.opendb x.opensdf "
         "s.VC.VC.opendb p.pgc p.pgd r.aps x.db vc.db",
         "a.obj q.IPCH u.iobj p.IPDB z.tlog s.lastbuildstate "},
        {kAll, 1, false, "Profile", "x.iobj a.tlog", "x.iobj a.tlog "},
        // A "*.tlog" folder counts where its parent passes the rule.
        {kAll, 6, true, "App.tlog", "CL.read.1.tlog App.lastbuildstate x.iobj",
         "CL.read.1.tlog App.lastbuildstate "},
        {kAll, 6, false, "App.tlog", "CL.read.1.tlog a.ipch", "a.ipch "},
        {kAll, 6, true, "tlog", "CL.read.1.tlog", ""},
        // Solution caches only beside their solution, wherever it is listed.
        {kAll, 6, true, "src",
         "Game.sdf catalog.sdf Old.ncb Old.dsw Game.SLN Lone.ncb Tool.sdf Tool.dsw New.ncb new.sln",
         "Game.sdf Old.ncb New.ncb "},
        {kSdfBit, 1, true, "src", "A.sln A.ncb A.sdf", "A.sdf "},
        {kAll, 1, true, "src", "A.sln/ A.sdf", ""},
        // Files only: folders named like the newer kinds are walked, not
        // listed (the eight still list theirs).
        {kAll, 1, true, "Debug", "Proj.tlog/ cache.ipch/ odd.obj/ d.iobj? real.ipch",
         "odd.obj real.ipch "},
        {kClassicKinds, 1, true, "src", "a.ipch a.sln a.sdf b.obj", "b.obj "},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Reported(c.nMask, c.nMode, c.bParentPasses, c.folder, c.entries), c.expected)
            << c.folder << ": " << c.entries;
    }
}

TEST(MatchRules, FolderRuleWantsExactDebugAndReleaseNames) {
    const struct {
        int nMode;
        const char* name;
        bool bWanted;
    } cases[] = {
        {1, "src", true},      {1, "debug", true},   {2, "Debug", true},    {2, "debug", false},
        {2, "Release", false}, {4, "Release", true}, {4, "RELEASE", false}, {6, "Debug", true},
        {6, "Release", true},  {6, "Debugx", false}, {0, "Debug", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FolderWanted(c.nMode, c.name), c.bWanted) << c.nMode << " " << c.name;
    }
}

TEST(MatchRules, TimeFilterPicksItsTimeAndCountsTheThresholdAsWithin) {
    const std::int64_t now = 1'700'000'000;
    const std::int64_t threshold = TimeThreshold(now, 3);
    ASSERT_EQ(threshold, now - 3 * 86400);
    const struct {
        int nMode;
        bool bOlder;
        std::int64_t created, modified;
        bool bPasses;
    } cases[] = {
        {1, true, 0, 0, true},                // no filter
        {4, true, now, threshold - 1, true},  // modified before: older
        {4, true, 0, threshold, false},       // at the threshold: within
        {4, false, 0, threshold, true},
        {4, false, threshold - 1, now, true},  // creation time not looked at
        {2, true, threshold - 1, now, true},   // by creation time
        {2, false, threshold - 1, now, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(PassesTimeFilter(c.nMode, c.bOlder, c.created, c.modified, threshold), c.bPasses)
            << c.nMode << " " << c.bOlder << " " << c.created << " " << c.modified;
    }
}

TEST(MatchRules, WildcardMatchesRunsAndSingleCharactersInEitherCase) {
    const struct {
        const char* pattern;
        const char* name;
        bool bMatch;
    } cases[] = {
        {"*", "", true},
        {"*", "abc", true},
        {"*.OBJ", "a.obj", true},
        {"a?c", "abc", true},
        {"a?c", "ac", false},
        {"*b*", "abc", true},
        {"*.obj", "a.objx", false},
        {"a*c*e", "abXcYe", true},
        {"abc", "abcd", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(WildcardMatch(c.pattern, c.name), c.bMatch) << c.pattern << " " << c.name;
    }
}

TEST(MatchRules, DotAndDotDotOnly) {
    EXPECT_TRUE(IsDotOrDotDot("."));
    EXPECT_TRUE(IsDotOrDotDot(".."));
    EXPECT_FALSE(IsDotOrDotDot("..."));
    EXPECT_FALSE(IsDotOrDotDot(".obj"));
}

}  // namespace
