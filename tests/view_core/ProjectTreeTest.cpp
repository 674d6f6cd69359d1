// The project view's rows in a header's order, children within their parent.
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "view/core/ProjectTree.h"

namespace {

// R/S a solution; A, B its projects, C a project inside B. Own bytes: A 60,
// B 30 (C's 100 below it), S 40 in its Release folder.
TEST(CProjectTree, SortsEachLevelByTheTotalsOrByTheGroupsOwnFiles) {
    ResultBatch batch;
    batch.folders = {{ResultRow::kNoFolder, "R/"}, {0, "R/S/"}};
    // A, A/Debug, B, B/Debug, B/C, B/C/Debug, Release.
    for (std::uint32_t nParent : {1, 2, 1, 4, 4, 6, 1}) batch.folders.push_back({nParent, ""});
    batch.projects = {{2, 4, "R/S/A/"}, {6, 8, "R/S/B/C/"}, {4, 8, "R/S/B/"}, {1, 9, "R/S/"}};
    const std::tuple<std::uint32_t, const char*, std::uint64_t> kFiles[] = {
        {3, "R/S/A/Debug/a.obj", 50},    {3, "R/S/A/Debug/b.obj", 10}, {5, "R/S/B/Debug/b.obj", 30},
        {7, "R/S/B/C/Debug/c.obj", 100}, {8, "R/S/Release/s.pdb", 20}, {8, "R/S/Release/t.pdb", 12},
        {8, "R/S/Release/u.pdb", 8}};
    for (auto [nFolder, pszPath, size] : kFiles)
        batch.rows.emplace_back(pszPath, size).nFolder = nFolder;
    CProjectGroups groups;
    groups.Take(batch);
    CProjectTree tree(groups, batch.rows);
    const struct {
        GroupOrder key;
        bool bAscending;
        bool bOwn;
        const char* pszRows;  // a row's name after a space a level
    } kOrders[] = {
        {GroupOrder::Size, false, false, "R/S  B   C   Debug  A  Release"},
        {GroupOrder::Size, false, true, "R/S  A  Release  B   C   Debug"},
        {GroupOrder::Size, true, true, "R/S  B   Debug   C  Release  A"},
    };
    for (const auto& o : kOrders) {
        tree.Sync(o.key, o.bAscending, o.bOwn);
        std::string shown;
        for (const TreeNode& node : tree.Nodes()) {
            if (!shown.empty()) shown += ' ';
            shown.append(node.nDepth, ' ') += tree.NameOf(node);
        }
        EXPECT_EQ(shown, o.pszRows) << o.bAscending << o.bOwn;
    }
}

}  // namespace
