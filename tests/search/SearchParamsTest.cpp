// From the window's option members to the parameters of a search.
#include <gtest/gtest.h>

#include "search/SearchParams.h"

namespace {

SearchOptions AllTypes() {
    SearchOptions o;
    o.bIdb = o.bIlk = o.bObj = o.bPch = o.bPdb = o.bRes = o.bSbr = o.bBsc = true;
    return o;
}

TEST(MakeSearchParams, WithoutTimeFilterSearchesEveryTypeInEveryFolder) {
    const auto p = MakeSearchParams("/home/user/src", AllTypes());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->strFolder, "/home/user/src");
    EXPECT_TRUE(p->bSubFolder);
    EXPECT_EQ(p->nFolderMode, 1);
    EXPECT_EQ(p->nTypeMask, 255);
    EXPECT_EQ(p->nTimeMode, 1);
    EXPECT_EQ(p->nDays, 0);
    EXPECT_FALSE(p->bOlder);
}

TEST(MakeSearchParams, PassesTheFolderTextOnExactlyAsTyped) {
    const auto p = MakeSearchParams(" /tmp/Projekt/ ", AllTypes());
    ASSERT_TRUE(p);
    EXPECT_EQ(p->strFolder, " /tmp/Projekt/ ");
}

TEST(MakeSearchParams, GivesEachTypeItsOwnBit) {
    const std::pair<bool SearchOptions::*, int> bits[] = {
        {&SearchOptions::bIdb, 1},  {&SearchOptions::bIlk, 2},   {&SearchOptions::bObj, 4},
        {&SearchOptions::bPch, 8},  {&SearchOptions::bPdb, 16},  {&SearchOptions::bRes, 32},
        {&SearchOptions::bSbr, 64}, {&SearchOptions::bBsc, 128},
    };
    for (const auto& [member, bit] : bits) {
        SearchOptions o;
        o.*member = true;
        const auto p = MakeSearchParams("/", o);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->nTypeMask, bit);
    }
}

TEST(MakeSearchParams, MapsTheFolderRadiosOntoFolderRules) {
    const int expected[] = {1, 6, 2, 4};
    for (int radio = 0; radio < 4; ++radio) {
        SearchOptions o = AllTypes();
        o.nRadioFolder = radio;
        o.bFindSubFolder = false;
        const auto p = MakeSearchParams("/", o);
        ASSERT_TRUE(p);
        EXPECT_EQ(p->nFolderMode, expected[radio]);
        EXPECT_FALSE(p->bSubFolder);
    }
}

TEST(MakeSearchParams, MonthsWithinAPeriodCountThirtyDaysOfCreationTime) {
    SearchOptions o = AllTypes();
    o.nRadioTime = 1;
    o.nCount = 3;
    o.nUnitIndex = 1;      // "ヶ月間に"
    o.nFileTimeIndex = 1;  // "作成したファイル"
    const auto p = MakeSearchParams("/", o);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nDays, 90);
    EXPECT_FALSE(p->bOlder);
    EXPECT_EQ(p->nTimeMode, 2);
}

TEST(MakeSearchParams, DaysBeforeAPeriodFilterByModificationTime) {
    SearchOptions o = AllTypes();
    o.nRadioTime = 1;
    o.nCount = 3;
    o.nUnitIndex = 2;      // "日以前に"
    o.nFileTimeIndex = 0;  // "更新があったファイル"
    const auto p = MakeSearchParams("/", o);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nDays, 3);
    EXPECT_TRUE(p->bOlder);
    EXPECT_EQ(p->nTimeMode, 4);
}

TEST(MakeSearchParams, UnmatchedComboTextsCountAsMonthsOlderThanByModification) {
    // Both combos give position 0 for a text that matches no item.
    SearchOptions o = AllTypes();
    o.nRadioTime = 1;
    o.nCount = 99;
    const auto p = MakeSearchParams("/", o);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nDays, 2970);
    EXPECT_TRUE(p->bOlder);
    EXPECT_EQ(p->nTimeMode, 4);
}

TEST(MakeSearchParams, DaysWithinAPeriod) {
    SearchOptions o = AllTypes();
    o.nRadioTime = 1;
    o.nCount = 7;
    o.nUnitIndex = 3;  // "日間に"
    const auto p = MakeSearchParams("/", o);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nDays, 7);
    EXPECT_FALSE(p->bOlder);
}

TEST(MakeSearchParams, RefusesSilentlyWhenNothingCouldBeSearched) {
    EXPECT_FALSE(MakeSearchParams("/", SearchOptions{})) << "no type ticked";

    SearchOptions noRadio = AllTypes();
    noRadio.nRadioFolder = -1;
    EXPECT_FALSE(MakeSearchParams("/", noRadio)) << "no folder radio";
    noRadio.nRadioFolder = 4;
    EXPECT_FALSE(MakeSearchParams("/", noRadio)) << "folder radio out of range";

    SearchOptions badTime = AllTypes();
    badTime.nRadioTime = 2;
    EXPECT_FALSE(MakeSearchParams("/", badTime)) << "time radio out of range";
    badTime.nRadioTime = -1;
    EXPECT_FALSE(MakeSearchParams("/", badTime)) << "no time radio";

    SearchOptions badFileTime = AllTypes();
    badFileTime.nRadioTime = 1;
    badFileTime.nFileTimeIndex = 2;
    EXPECT_FALSE(MakeSearchParams("/", badFileTime)) << "file-time position out of range";
}

TEST(MakeSearchParams, IgnoresThePeriodCombosWithoutTimeFilter) {
    SearchOptions o = AllTypes();
    o.nRadioTime = 0;
    o.nFileTimeIndex = 5;
    o.nCount = 12;
    const auto p = MakeSearchParams("/", o);
    ASSERT_TRUE(p);
    EXPECT_EQ(p->nTimeMode, 1);
    EXPECT_EQ(p->nDays, 0);
}

}  // namespace
