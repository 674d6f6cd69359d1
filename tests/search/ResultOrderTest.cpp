// Sorting the result rows by a column: the order of each key, ties in the
// walk's order, and where every row went.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/ResultOrder.h"

namespace {

struct Row {
    std::string path;
    std::uint64_t size;
    FileStamp created;
    FileStamp modified;
    std::uint32_t nWalk;
};

struct SortCase {
    const char* name;
    SortColumn column;
    bool bAscending;
    std::vector<Row> rows;              // in the list's order before the sort
    std::vector<std::string> expected;  // paths in the order after it
};

constexpr std::uint64_t kGiB = 1ull << 30;
constexpr FileStamp kDay{1714979280, 0};
// 2024/01/01 00:00:00 UTC: the start of a minute in every zone, so the
// seconds after it show one text, "... 00:00" or its local equivalent.
constexpr std::int64_t kMinute = 1704067200;

const SortCase kCases[] = {
    {"NamesFoldAsciiLettersOnly",
     SortColumn::Name,
     true,
     {{"/t/b.obj", 1, kDay, kDay, 0},
      {"/t/_x.obj", 1, kDay, kDay, 1},
      {"/t/\xC3\xA9.obj", 1, kDay, kDay, 2},
      {"/t/A.OBJ", 1, kDay, kDay, 3},
      {"/t/B/c.obj", 1, kDay, kDay, 4},
      {"/t/Z.obj", 1, kDay, kDay, 5}},
     {"/t/_x.obj", "/t/A.OBJ", "/t/b.obj", "/t/B/c.obj", "/t/Z.obj", "/t/\xC3\xA9.obj"}},
    {"NamesEqualButForCaseKeepTheWalksOrderBothWays",
     SortColumn::Name,
     false,
     {{"/t/X.obj", 1, kDay, kDay, 3},
      {"/t/a.pdb", 1, kDay, kDay, 0},
      {"/t/x.obj", 1, kDay, kDay, 1},
      {"/t/x.OBJ", 1, kDay, kDay, 2}},
     {"/t/x.obj", "/t/x.OBJ", "/t/X.obj", "/t/a.pdb"}},
    {"SizesOver4GiBByTheirBytes",
     SortColumn::Size,
     true,
     {{"/five", 5 * kGiB + 1, kDay, kDay, 0},
      {"/four", 4 * kGiB, kDay, kDay, 1},
      {"/small", 4095, kDay, kDay, 2},
      {"/below4", 4 * kGiB - 1, kDay, kDay, 3},
      {"/one", kGiB + 2, kDay, kDay, 4}},
     {"/small", "/one", "/below4", "/four", "/five"}},
    {"EqualSizesKeepTheWalksOrderWhenReversed",
     SortColumn::Size,
     false,
     {{"/c", 7, kDay, kDay, 2},
      {"/big", 9, kDay, kDay, 3},
      {"/a", 7, kDay, kDay, 0},
      {"/b", 7, kDay, kDay, 1}},
     {"/big", "/a", "/b", "/c"}},
    {"CreatedByTheSecondAndFinerWhereTheTextsShowOneMinute",
     SortColumn::Created,
     true,
     {{"/s40", 1, {kMinute + 40, 0}, kDay, 0},
      {"/s5late", 1, {kMinute + 5, 1}, kDay, 1},
      {"/s5", 1, {kMinute + 5, 0}, kDay, 2},
      {"/s59", 1, {kMinute + 59, 0}, kDay, 3},
      {"/before1970", 1, {-1, 999999999}, kDay, 4},
      {"/year10000", 1, {253402300800, 0}, kDay, 5}},
     {"/before1970", "/s5", "/s5late", "/s40", "/s59", "/year10000"}},
    {"ModifiedNewestFirstTiesInWalkOrder",
     SortColumn::Modified,
     false,
     {{"/jan", 1, kDay, {1735689600, 0}, 0},
      {"/dec2", 1, kDay, {1735689599, 0}, 2},
      {"/dec1", 1, kDay, {1735689599, 0}, 1},
      {"/nov", 1, kDay, {1732960800, 0}, 3}},
     {"/jan", "/dec1", "/dec2", "/nov"}},
};

class SortRowsTest : public testing::TestWithParam<SortCase> {};

TEST_P(SortRowsTest, PutsRowsInOrderAndSaysWhereEachWent) {
    const SortCase& c = GetParam();
    std::vector<ResultRow> rows;
    for (const Row& r : c.rows) {
        rows.emplace_back(r.path, r.size, r.created, r.modified);
        rows.back().nWalk = r.nWalk;
    }
    const std::vector<std::uint32_t> newIndex = SortRows(rows, c.column, c.bAscending);

    std::vector<std::string> paths;
    for (const ResultRow& row : rows) paths.push_back(row.strPath);
    EXPECT_EQ(paths, c.expected);
    ASSERT_EQ(newIndex.size(), c.rows.size());
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
        const ResultRow& moved = rows[newIndex[i]];
        EXPECT_EQ(moved.strPath, c.rows[i].path);
        EXPECT_EQ(moved.size, c.rows[i].size);
        EXPECT_EQ(moved.modified, c.rows[i].modified);
        EXPECT_EQ(moved.nWalk, c.rows[i].nWalk);
    }
}

INSTANTIATE_TEST_SUITE_P(ByColumn, SortRowsTest, testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SortRows, AnEmptyListStaysEmpty) {
    std::vector<ResultRow> rows;
    EXPECT_TRUE(SortRows(rows, SortColumn::Name, true).empty());
    EXPECT_TRUE(rows.empty());
}

TEST(ColumnToSortBy, EachOfTheFourHeadersSortsOnlyWhileNoSearchRuns) {
    struct Case {
        int nColumn;
        bool bSearching;
        std::optional<SortColumn> expected;
    };
    const Case cases[] = {
        {0, false, SortColumn::Name},    {1, false, SortColumn::Size},
        {2, false, SortColumn::Created}, {3, false, SortColumn::Modified},
        {-1, false, std::nullopt},       {4, false, std::nullopt},
        {0, true, std::nullopt},         {1, true, std::nullopt},
        {3, true, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ColumnToSortBy(c.nColumn, c.bSearching), c.expected)
            << c.nColumn << (c.bSearching ? " searching" : "");
    }
}

}  // namespace
