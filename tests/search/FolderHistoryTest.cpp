// The most-recent-first folder history, its same-folder rule, and which
// stored values a load takes as entries.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "search/FolderHistory.h"

namespace {

using History = std::vector<std::string>;

constexpr FolderTextRule kPosix{false, "/", false};
constexpr FolderTextRule kWindows{true, "\\/", true};

TEST(AddFolderHistory, PutsTheFolderFirstOnceAsGivenAndKeepsEveryOtherFolder) {
    struct Case {
        const FolderTextRule& rule;
        History before;
        std::string folder;
        History after;
    };
    const Case cases[] = {
        {kWindows, {"/home/a", "/home/b"}, "/srv/c", {"/srv/c", "/home/a", "/home/b"}},
        {kWindows,
         {"/home/a", "/Work/Proj", "/home/b"},
         "/work/proj",
         {"/work/proj", "/home/a", "/home/b"}},
        {kWindows, {"/src", "/home"}, "/src", {"/src", "/home"}},
        // A folder that only begins another is a different folder.
        {kWindows, {"/tmp/a/TREE1"}, "/tmp/a/TREE", {"/tmp/a/TREE", "/tmp/a/TREE1"}},
        {kWindows,
         {"/home/a", "/src/old", "/home/b", "/src"},
         "/src",
         {"/src", "/home/a", "/src/old", "/home/b"}},
        {kWindows, {"/src", "/x", "/SRC"}, "/Src", {"/Src", "/x"}},
        // ASCII letters only fold: other characters must match exactly.
        {kWindows, {"/Données/Été"}, "/données/été", {"/données/été", "/Données/Été"}},
        {kWindows, {"/Données/Été"}, "/dONNées/Été", {"/dONNées/Été"}},
        {kWindows,
         {"/ドキュメント/ａ"},
         "/ドキュメント/Ａ",
         {"/ドキュメント/Ａ", "/ドキュメント/ａ"}},
        // Letter case tells POSIX folders apart.
        {kPosix, {"/tmp/a/Case"}, "/tmp/a/case", {"/tmp/a/case", "/tmp/a/Case"}},
        {kPosix, {"/tmp/a/case"}, "/tmp/a/case", {"/tmp/a/case"}},
        // One trailing separator is none; a root keeps its own.
        {kPosix, {"/tmp/a/f05/", "/x"}, "/tmp/a/f05", {"/tmp/a/f05", "/x"}},
        {kPosix, {"/tmp/a/f05"}, "/tmp/a/f05/", {"/tmp/a/f05/"}},
        {kPosix, {"/tmp/a/f05//"}, "/tmp/a/f05", {"/tmp/a/f05", "/tmp/a/f05//"}},
        {kPosix, {"/tmp/a\\"}, "/tmp/a", {"/tmp/a", "/tmp/a\\"}},
        {kPosix, {"/", "/tmp"}, "/", {"/", "/tmp"}},
        {kWindows, {"C:\\Src\\", "D:\\"}, "c:\\src", {"c:\\src", "D:\\"}},
        {kWindows, {"C:\\Src/"}, "C:\\Src", {"C:\\Src"}},
        {kWindows, {"C:\\"}, "C:", {"C:", "C:\\"}},
    };
    for (const Case& c : cases) {
        History h = c.before;
        AddFolderHistory(h, c.folder, c.rule);
        EXPECT_EQ(h, c.after) << c.folder;
    }
}

TEST(AddFolderHistory, KeepsEveryFolderWhileTheProgramRuns) {
    History h;
    for (int i = 0; i < 25; ++i) AddFolderHistory(h, "/data/p" + std::to_string(100 + i));
    ASSERT_EQ(h.size(), 25u);
    EXPECT_EQ(h.front(), "/data/p124");
    EXPECT_EQ(h.back(), "/data/p100");
}

TEST(HistoryValueNames, TakesTheNumberedNamesBelowTheCountInNumberOrder) {
    struct Case {
        History names;
        int nCount;
        History taken;
    };
    const Case cases[] = {
        {{"Count", "History1", "History0", "History2"}, 3, {"History0", "History1", "History2"}},
        {{"History0", "History2"}, 3, {"History0", "History2"}},
        {{"History0", "History3", "History20"}, 3, {"History0"}},
        {{"History0"}, 0, {}},
        {{"History0"}, -5, {}},
        {{"history4", "HISTORY1"}, 5, {"HISTORY1", "history4"}},
        // Only what "%d" writes: no sign, no leading zero, no blanks, digits only.
        {{"History01", "History+1", "History-1", "History 1", "History1x", "History"}, 100, {}},
        {{"History2147483646", "History9999999999", "History99999999999"},
         0x7fffffff,
         {"History2147483646"}},
        // A number named twice (case differs) is one entry: the first.
        {{"History1", "HISTORY1"}, 2, {"History1"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HistoryValueNames(c.names, c.nCount), c.taken) << c.nCount;
    }
}

}  // namespace
