// The search's rules for names, folders and times, without a walk.
#include <gtest/gtest.h>

#include <cstring>

#include "finder/MatchRules.h"

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
        const int nPattern = PatternOf(c.name, std::strlen(c.name));
        EXPECT_EQ(nPattern < 0 ? 0 : kPatterns[nPattern].nBit, c.nBit) << c.name;
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
