// The project view as a tree, without wx: the groups nested, a group opened
// to the folders that hold its own files and a folder to its files,
// flattened into the rows a virtual list shows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "search/ProjectGroups.h"
#include "search/ResultRow.h"
#include "walk/FileStamp.h"

enum class TreeNodeKind : std::uint8_t { Group, Folder, File };

// One row of the tree: a group (its index in the groups), a folder (its
// number, ResultRow::nFolder) or a file (its row in the file list).
struct TreeNode {
    TreeNodeKind kind = TreeNodeKind::Group;
    std::uint32_t nDepth = 0;
    std::size_t nIndex = 0;
};

// What a row shows: everything below it, and what is its own (a group's
// files outside the groups below it; for a folder or a file, the same).
struct TreeTotals {
    std::uint64_t nFiles = 0;
    std::uint64_t size = 0;
    FileStamp newest;
    std::uint64_t nOwnFiles = 0;
    std::uint64_t ownSize = 0;
};

// The front end's side:
//   start    Reset(), after the groups were reset
//   tick     Sync(key, bAscending) after the groups took the batch and the
//            rows were appended: only the new rows are looked at
//   sort     Sync with the new key; bOwn orders the groups by their own
//            files rather than their totals (a folder's or a file's own are
//            its totals)
//   change   RowsChanged() when rows were erased or reordered, then Sync
class CProjectTree {
public:
    // Both are borrowed for the tree's life.
    CProjectTree(const CProjectGroups& groups, const std::vector<ResultRow>& rows);

    // A new search: nothing is open but by the default, nothing seen.
    void Reset();
    void RowsChanged() { m_bRowsChanged = true; }
    void Sync(GroupOrder key, bool bAscending, bool bOwn = false);

    const std::vector<TreeNode>& Nodes() const { return m_nodes; }
    // The bytes of the whole tree, which shares are counted against.
    std::uint64_t GrandTotal() const { return m_grandTotal; }

    bool CanOpen(const TreeNode& node) const { return node.kind != TreeNodeKind::File; }
    bool IsOpen(const TreeNode& node) const;
    // Shown so from the next Sync. A group holding other groups is open
    // until closed, so that the groups are all in view as the search goes.
    void SetOpen(const TreeNode& node, bool bOpen);

    TreeTotals TotalsOf(const TreeNode& node) const;
    // Its folder or file as the search names it.
    std::string PathOf(const TreeNode& node) const;
    // As the row names it: below a group only the names that lead down from
    // it ("." a group's own folder), a top group by its whole path.
    std::string NameOf(const TreeNode& node) const;
    bool IsProject(const TreeNode& node) const;

    // The rows the nodes hold, each once, in the file list's order: a
    // group's with every group below it, a folder's files, a file.
    std::vector<std::size_t> RowsOf(const std::vector<TreeNode>& nodes) const;

private:
    static constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    enum Open : std::int8_t { kDefault = -1, kClosed = 0, kOpened = 1 };

    bool GroupOpen(std::size_t nGroup) const;
    void TakeNewRows();
    const std::string& FolderPath(std::size_t nFolder) const;
    void AddGroup(std::size_t nGroup, std::uint32_t nDepth, GroupOrder key, bool bAscending,
                  bool bOwn);

    const CProjectGroups& m_groups;
    const std::vector<ResultRow>& m_rows;
    std::vector<TreeNode> m_nodes;
    std::uint64_t m_grandTotal = 0;

    std::vector<std::int8_t> m_groupOpen;  // by group
    std::vector<char> m_folderOpen;        // by folder
    // Rows looked at so far, and what they told: each folder's first row
    // (whose path names the folder), the rows of each open folder.
    std::size_t m_nSeen = 0;
    bool m_bRowsChanged = false;
    std::vector<std::uint32_t> m_firstRow;
    std::unordered_map<std::uint32_t, std::vector<std::uint32_t>> m_folderRows;
    mutable std::vector<std::string> m_folderPaths;
    // Built by Sync for the groups shown: the groups below each, and the
    // folders of each open group, both in order.
    std::vector<std::vector<std::size_t>> m_children;
    std::vector<std::vector<std::uint32_t>> m_folders;
    std::vector<char> m_hasChildren;
};
