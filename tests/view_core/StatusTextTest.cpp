// Texts of the status bar during and after a search.
#include <gtest/gtest.h>

#include "view/core/StatusText.h"

namespace {

TEST(SearchSummaryTexts, CountsTheRowsAndTotalsInTwoPanes) {
    const StatusTexts t = SearchSummaryTexts(3, 3 * 524288);
    EXPECT_TRUE(t.bTwoPanes);
    EXPECT_EQ(t.strLeft, " 3 個のファイルが見つかりました。");
    EXPECT_EQ(t.strRight, "合計 2 MB ( 1,536 KB )");
}

TEST(SearchSummaryTexts, RoundsMegabytesAndKilobytesEachOnTheirOwn) {
    EXPECT_EQ(SearchSummaryTexts(1, 524287).strRight, "合計 0 MB ( 512 KB )");
    EXPECT_EQ(SearchSummaryTexts(1, 524288).strRight, "合計 1 MB ( 512 KB )");
    EXPECT_EQ(SearchSummaryTexts(1, 1572863).strRight, "合計 1 MB ( 1,536 KB )");
    EXPECT_EQ(SearchSummaryTexts(1, 1234567890).strRight, "合計 1,177 MB ( 1,205,633 KB )");
}

TEST(SearchSummaryTexts, TotalsBeyondFourGiBAreShownInFull) {
    const StatusTexts t = SearchSummaryTexts(472000, 6ull << 30);
    EXPECT_EQ(t.strLeft, " 472000 個のファイルが見つかりました。");
    EXPECT_EQ(t.strRight, "合計 6,144 MB ( 6,291,456 KB )");
}

TEST(SearchSummaryTexts, NothingFoundUsesOneWidePane) {
    const StatusTexts t = SearchSummaryTexts(0, 0);
    EXPECT_FALSE(t.bTwoPanes);
    EXPECT_EQ(t.strLeft, "該当するファイルは見つかりませんでした。");
    EXPECT_EQ(t.strRight, "");
}

TEST(SearchSummaryTexts, UnreadableFoldersFollowTheSummaryInItsLastPane) {
    const struct {
        std::size_t rows;
        std::uint64_t unreadable;
        const char* left;
        const char* right;
    } cases[] = {
        {2, 1, " 2 個のファイルが見つかりました。",
         "合計 0 MB ( 0 KB )（読めなかったフォルダ 1 個）"},
        {0, 1234, "該当するファイルは見つかりませんでした。（読めなかったフォルダ 1,234 個）", ""},
    };
    for (const auto& c : cases) {
        const StatusTexts t = SearchSummaryTexts(c.rows, 0, c.unreadable);
        EXPECT_EQ(t.strLeft, c.left);
        EXPECT_EQ(t.strRight, c.right);
    }
}

TEST(SearchingText, NamesTheFolderBeingSearched) {
    EXPECT_EQ(SearchingText("/home/user/src/"), "/home/user/src/ を検索しています...");
    EXPECT_EQ(SearchingText("/x\xFF/"), "/x\xEF\xBF\xBD/ を検索しています...");
}

TEST(FillText, DoesNotReadPlaceholdersInsideInsertedValues) {
    EXPECT_EQ(FillText("'%s'を削除 %d", {{'s', "/tmp/%d%s"}, {'d', "2"}}), "'/tmp/%d%s'を削除 2");
    EXPECT_EQ(FillText("100% %x %", {{'d', "1"}}), "100% %x %");
}

}  // namespace
