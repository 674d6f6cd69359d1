// The project view's rows: a solution's groups and folders in the order of
// a header's column, children within their parent by the same column.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "view/core/ProjectTree.h"

namespace {

// R/S a solution; A, B its projects, C a project inside B; own bytes: A 60,
// B 30 (C 100 below it), S 40 in its Release folder.
ResultBatch Solution() {
    ResultBatch batch;
    batch.folders = {{ResultRow::kNoFolder, "R/"}, {0, "R/S/"}};
    // A, A/Debug, B, B/Debug, B/C, B/C/Debug, Release.
    for (std::uint32_t nParent : {1, 2, 1, 4, 4, 6, 1}) batch.folders.push_back({nParent, ""});
    batch.projects = {{2, 4, "R/S/A/"}, {6, 8, "R/S/B/C/"}, {4, 8, "R/S/B/"}, {1, 9, "R/S/"}};
    const auto row = [](std::uint32_t nFolder, const char* pszPath, std::uint64_t size) {
        ResultRow r(pszPath, size);
        r.nFolder = nFolder;
        return r;
    };
    batch.rows = {row(3, "R/S/A/Debug/a.obj", 50), row(3, "R/S/A/Debug/b.obj", 10),
                  row(5, "R/S/B/Debug/b.obj", 30), row(7, "R/S/B/C/Debug/c.obj", 100),
                  row(8, "R/S/Release/s.pdb", 20), row(8, "R/S/Release/t.pdb", 12),
                  row(8, "R/S/Release/u.pdb", 8)};
    return batch;
}

TEST(CProjectTree, SortsEachLevelByTheTotalsOrByTheGroupsOwnFiles) {
    const struct {
        GroupOrder key;
        bool bAscending;
        bool bOwn;
        const char* pszRows;  // a row's name after a space a level
    } kOrders[] = {
        {GroupOrder::Size, false, false, "R/S  B   C   Debug  A  Release"},
        {GroupOrder::Size, false, true, "R/S  A  Release  B   C   Debug"},
        {GroupOrder::Size, true, true, "R/S  B   Debug   C  Release  A"},
        {GroupOrder::Files, false, true, "R/S  Release  A  B   C   Debug"},
    };
    CProjectGroups groups;
    groups.Take(Solution());
    const std::vector<ResultRow> rows = Solution().rows;
    CProjectTree tree(groups, rows);
    for (const auto& o : kOrders) {
        tree.Sync(o.key, o.bAscending, o.bOwn);
        std::string shown;
        for (const TreeNode& node : tree.Nodes()) {
            if (!shown.empty()) shown += ' ';
            shown.append(node.nDepth, ' ') += tree.NameOf(node);
        }
        EXPECT_EQ(shown, o.pszRows) << static_cast<int>(o.key) << o.bAscending << o.bOwn;
    }
}

}  // namespace
