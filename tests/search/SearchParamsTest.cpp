// From the window's option members to a typed search, and from a typed
// search to the finder's seven numbers.
#include <gtest/gtest.h>

#include "search/SearchParams.h"
#include "walk/MatchRules.h"

namespace {

SearchOptions AllTypes() {
    SearchOptions o;
    o.bIdb = o.bIlk = o.bObj = o.bPch = o.bPdb = o.bRes = o.bSbr = o.bBsc = true;
    return o;
}

SearchQuery Query(FolderRule folders, AgeFilter age = AgeFilter::None, int nPeriod = 1,
                  AgeUnit unit = AgeUnit::Days, FileTime time = FileTime::Modified) {
    SearchQuery q;
    q.strRoot = "/src";
    q.folders = folders;
    q.age = age;
    q.nPeriod = nPeriod;
    q.unit = unit;
    q.time = time;
    return q;
}

TEST(MakeSearchQuery, MapsEveryControlOntoItsPartOfTheSearch) {
    struct Case {
        const char* name;
        void (*change)(SearchOptions&);
        std::optional<SearchQuery> expected;
    };
    const Case cases[] = {
        {"all folders, no period", [](SearchOptions&) {}, Query(FolderRule::All)},
        {"Debug and Release", [](SearchOptions& o) { o.nRadioFolder = 1; },
         Query(FolderRule::DebugAndRelease)},
        {"Debug", [](SearchOptions& o) { o.nRadioFolder = 2; }, Query(FolderRule::Debug)},
        {"Release", [](SearchOptions& o) { o.nRadioFolder = 3; }, Query(FolderRule::Release)},
        {"no folder radio", [](SearchOptions& o) { o.nRadioFolder = -1; }, std::nullopt},
        {"folder radio past the group", [](SearchOptions& o) { o.nRadioFolder = 4; }, std::nullopt},
        {"months older (position 0)",
         [](SearchOptions& o) {
             o.nRadioTime = 1;
             o.nCount = 99;
         },
         Query(FolderRule::All, AgeFilter::Older, 99, AgeUnit::Months)},
        {"months within, created",
         [](SearchOptions& o) {
             o.nRadioTime = 1;
             o.nCount = 3;
             o.nUnitIndex = 1;
             o.nFileTimeIndex = 1;
         },
         Query(FolderRule::All, AgeFilter::Within, 3, AgeUnit::Months, FileTime::Created)},
        {"days older",
         [](SearchOptions& o) {
             o.nRadioTime = 1;
             o.nCount = 3;
             o.nUnitIndex = 2;
         },
         Query(FolderRule::All, AgeFilter::Older, 3)},
        {"days within",
         [](SearchOptions& o) {
             o.nRadioTime = 1;
             o.nCount = 7;
             o.nUnitIndex = 3;
         },
         Query(FolderRule::All, AgeFilter::Within, 7)},
        {"period controls unused without the filter",
         [](SearchOptions& o) {
             o.nCount = 12;
             o.nUnitIndex = 3;
             o.nFileTimeIndex = 5;
         },
         Query(FolderRule::All)},
        {"time radio past the group", [](SearchOptions& o) { o.nRadioTime = 2; }, std::nullopt},
        {"no time radio", [](SearchOptions& o) { o.nRadioTime = -1; }, std::nullopt},
        {"file-time position past its list",
         [](SearchOptions& o) {
             o.nRadioTime = 1;
             o.nFileTimeIndex = 2;
         },
         std::nullopt},
        {"no type ticked", [](SearchOptions& o) { o = SearchOptions{}; }, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SearchOptions o = AllTypes();
        c.change(o);
        EXPECT_EQ(MakeSearchQuery("/src", o), c.expected);
    }
}

TEST(MakeSearchQuery, KeepsTheFolderTextTheSubfolderBoxAndTheFoldersLeftOutAsTheyAre) {
    SearchOptions o = AllTypes();
    o.bFindSubFolder = false;
    o.excludedFolders = {".git", "vend*"};
    const auto q = MakeSearchQuery(" /tmp/Projekt/ ", o);
    ASSERT_TRUE(q);
    EXPECT_EQ(q->strRoot, " /tmp/Projekt/ ");
    EXPECT_FALSE(q->bSubfolders);
    EXPECT_EQ(q->excludedFolders, o.excludedFolders);
}

TEST(SplitFolderNames, TakesTheNamesBetweenSemicolonsWithoutTheSpacesAround) {
    using Names = std::vector<std::string>;
    EXPECT_EQ(SplitFolderNames(" ; ;\t"), Names{});
    EXPECT_EQ(SplitFolderNames(".git; My Build ;;*.tmp"), (Names{".git", "My Build", "*.tmp"}));
    EXPECT_TRUE(IsFolderName("node_*"));
    EXPECT_FALSE(IsFolderName("") || IsFolderName("src/node_modules"));
}

TEST(MakeSearchQuery, GivesEachTypeBoxItsOwnKindAndTheFinderItsOwnBit) {
    const std::tuple<bool SearchOptions::*, FileKind, int> kinds[] = {
        {&SearchOptions::bIdb, FileKind::Idb, 1},  {&SearchOptions::bIlk, FileKind::Ilk, 2},
        {&SearchOptions::bObj, FileKind::Obj, 4},  {&SearchOptions::bPch, FileKind::Pch, 8},
        {&SearchOptions::bPdb, FileKind::Pdb, 16}, {&SearchOptions::bRes, FileKind::Res, 32},
        {&SearchOptions::bSbr, FileKind::Sbr, 64}, {&SearchOptions::bBsc, FileKind::Bsc, 128},
    };
    for (const auto& [member, kind, bit] : kinds) {
        SearchOptions o;
        o.*member = true;
        const auto q = MakeSearchQuery("/", o);
        ASSERT_TRUE(q);
        FileKinds expected;
        expected.Set(kind);
        EXPECT_EQ(q->kinds, expected) << FileKindName(kind);
        EXPECT_EQ(FinderArgumentsOf(*q).nTypeMask, bit) << FileKindName(kind);
    }
    EXPECT_EQ(FinderArgumentsOf(*MakeSearchQuery("/", AllTypes())).nTypeMask, 255);
}

TEST(MakeSearchQuery, NewerKindsAloneMakeASearchWithTheFinderBitsOfTheirKinds) {
    SearchOptions o;
    o.newer.Set(FileKind::Sdf);
    o.newer.Set(FileKind::Tlog);
    o.newer.Set(FileKind::Obj);  // not a newer kind: ignored
    const auto q = MakeSearchQuery("/", o);
    ASSERT_TRUE(q);
    EXPECT_EQ(FinderArgumentsOf(*q).nTypeMask, kSdfBit | kTlogBit);
    o.newer = FileKinds();
    EXPECT_FALSE(MakeSearchQuery("/", o));
    EXPECT_EQ(FinderArgumentsOf(SearchQuery()).nTypeMask, 255);
}

TEST(FinderArgumentsOf, GivesStartFindItsNumbers) {
    struct Case {
        SearchQuery query;
        FinderArguments expected;  // folder mode, type mask, time mode, days, older
    };
    const Case cases[] = {
        {Query(FolderRule::All), {1, 255, 1, 0, false}},
        {Query(FolderRule::DebugAndRelease), {6, 255, 1, 0, false}},
        {Query(FolderRule::Debug), {2, 255, 1, 0, false}},
        {Query(FolderRule::Release), {4, 255, 1, 0, false}},
        {Query(FolderRule::All, AgeFilter::Within, 3, AgeUnit::Months, FileTime::Created),
         {1, 255, 2, 90, false}},
        {Query(FolderRule::All, AgeFilter::Older, 99, AgeUnit::Months), {1, 255, 4, 2970, true}},
        {Query(FolderRule::All, AgeFilter::Older, 3), {1, 255, 4, 3, true}},
        {Query(FolderRule::All, AgeFilter::None, 3, AgeUnit::Months, FileTime::Created),
         {1, 255, 1, 0, false}},
    };
    for (const Case& c : cases) EXPECT_EQ(FinderArgumentsOf(c.query), c.expected);
}

}  // namespace
