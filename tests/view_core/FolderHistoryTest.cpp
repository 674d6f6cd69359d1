// The most-recent-first folder history and its case-insensitive prefix rule.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/core/FolderHistory.h"

namespace {

using History = std::vector<std::string>;

TEST(AddFolderHistory, PutsANewFolderFirst) {
    History h = {"/home/a", "/home/b"};
    AddFolderHistory(h, "/srv/c");
    EXPECT_EQ(h, (History{"/srv/c", "/home/a", "/home/b"}));
}

TEST(AddFolderHistory, MovesAKnownFolderToTheTopWithTheNewLetterCase) {
    History h = {"/home/a", "/Work/Proj", "/home/b"};
    AddFolderHistory(h, "/work/proj");
    EXPECT_EQ(h, (History{"/work/proj", "/home/a", "/home/b"}));
}

TEST(AddFolderHistory, RemovesOnlyTheFirstItemBeginningWithTheFolder) {
    History h = {"/home/a", "/src/old", "/home/b", "/src"};
    AddFolderHistory(h, "/src");
    EXPECT_EQ(h, (History{"/src", "/home/a", "/home/b", "/src"}));
}

TEST(AddFolderHistory, KeepsEveryFolderWhileTheProgramRuns) {
    History h;
    for (int i = 0; i < 25; ++i) AddFolderHistory(h, "/data/p" + std::to_string(100 + i));
    ASSERT_EQ(h.size(), 25u);
    EXPECT_EQ(h.front(), "/data/p124");
    EXPECT_EQ(h.back(), "/data/p100");
}

TEST(AddFolderHistory, SearchingTheTopFolderAgainKeepsOneCopy) {
    History h = {"/src", "/home"};
    AddFolderHistory(h, "/src");
    EXPECT_EQ(h, (History{"/src", "/home"}));
}

TEST(FindFolderPrefix, FoldsAsciiCaseOnly) {
    const History h = {"/Données/Été", "/DATA/X", "/ドキュメント/ａ"};
    EXPECT_EQ(FindFolderPrefix(h, "/data/x"), 1u);
    EXPECT_EQ(FindFolderPrefix(h, "/données/été"), std::nullopt);
    EXPECT_EQ(FindFolderPrefix(h, "/dONNées/Été"), 0u);
    EXPECT_EQ(FindFolderPrefix(h, "/ドキュメント"), 2u);
    EXPECT_EQ(FindFolderPrefix(h, "/ドキュメント/Ａ"), std::nullopt);
}

TEST(FindFolderPrefix, NeedsTheWholeFolderAtTheStartOfAnItem) {
    const History h = {"/src", "/home/src/old"};
    EXPECT_EQ(FindFolderPrefix(h, "/src/old"), std::nullopt);
    EXPECT_EQ(FindFolderPrefix(h, "src"), std::nullopt);
    EXPECT_EQ(FindFolderPrefix(h, "/HOME/"), 1u);
}

}  // namespace
