// The project view's tree: which rows are in view, and what each holds.
#include "view/core/ProjectTree.h"

#include <algorithm>
#include <compare>
#include <string_view>

#include "walk/DirReader.h"

namespace {

bool IsSeparator(char c) { return c == '/' || c == kPathSeparator; }

using Keys = OrderKeys;

bool Before(const Keys& a, const Keys& b, GroupOrder key, bool bAscending) {
    return CompareOrderKeys(a, b, key, bAscending) < 0;
}

// The names that lead from strAbove down to strPath, or "." for the same.
std::string Below(const std::string& strPath, const std::string& strAbove) {
    if (strPath.size() < strAbove.size() || strPath.compare(0, strAbove.size(), strAbove) != 0) {
        return strPath;
    }
    std::string_view rest(strPath);
    rest.remove_prefix(strAbove.size());
    while (!rest.empty() && IsSeparator(rest.front())) rest.remove_prefix(1);
    return rest.empty() ? std::string(".") : std::string(rest);
}

}  // namespace

CProjectTree::CProjectTree(const CProjectGroups& groups, const std::vector<ResultRow>& rows)
    : m_groups(groups), m_rows(rows) {}

void CProjectTree::Reset() {
    m_nodes.clear();
    m_grandTotal = 0;
    m_groupOpen.clear();
    m_folderOpen.clear();
    m_nSeen = 0;
    m_bRowsChanged = false;
    m_firstRow.clear();
    m_folderRows.clear();
    m_folderPaths.clear();
    m_children.clear();
    m_folders.clear();
    m_hasChildren.clear();
}

bool CProjectTree::GroupOpen(std::size_t nGroup) const {
    const std::int8_t open =
        nGroup < m_groupOpen.size() ? m_groupOpen[nGroup] : std::int8_t{kDefault};
    if (open != kDefault) return open == kOpened;
    return nGroup < m_hasChildren.size() && m_hasChildren[nGroup] != 0;
}

bool CProjectTree::IsOpen(const TreeNode& node) const {
    switch (node.kind) {
        case TreeNodeKind::Group:
            return GroupOpen(node.nIndex);
        case TreeNodeKind::Folder:
            return node.nIndex < m_folderOpen.size() && m_folderOpen[node.nIndex] != 0;
        case TreeNodeKind::File:
            break;
    }
    return false;
}

void CProjectTree::SetOpen(const TreeNode& node, bool bOpen) {
    if (node.kind == TreeNodeKind::Group) {
        if (node.nIndex >= m_groupOpen.size()) m_groupOpen.resize(node.nIndex + 1, kDefault);
        m_groupOpen[node.nIndex] = bOpen ? kOpened : kClosed;
        return;
    }
    if (node.kind != TreeNodeKind::Folder || IsOpen(node) == bOpen) return;
    const auto nFolder = static_cast<std::uint32_t>(node.nIndex);
    if (nFolder >= m_folderOpen.size()) m_folderOpen.resize(nFolder + 1, 0);
    m_folderOpen[nFolder] = bOpen ? 1 : 0;
    std::vector<std::uint32_t>& rows = m_folderRows[nFolder];
    rows.clear();
    if (!bOpen) {
        rows.shrink_to_fit();
        return;
    }
    // Once per opening; from then on only the new rows are looked at.
    for (std::size_t i = 0; i < m_nSeen && i < m_rows.size(); ++i) {
        if (m_rows[i].nFolder == nFolder) rows.push_back(static_cast<std::uint32_t>(i));
    }
}

void CProjectTree::TakeNewRows() {
    if (m_bRowsChanged || m_nSeen > m_rows.size()) {
        m_bRowsChanged = false;
        m_nSeen = 0;
        m_firstRow.clear();
        for (auto& [nFolder, rows] : m_folderRows) rows.clear();
    }
    for (std::size_t i = m_nSeen; i < m_rows.size(); ++i) {
        const std::uint32_t nFolder = m_rows[i].nFolder;
        if (nFolder == ResultRow::kNoFolder) continue;
        if (nFolder >= m_firstRow.size()) m_firstRow.resize(nFolder + 1, kNone);
        if (m_firstRow[nFolder] == kNone) m_firstRow[nFolder] = static_cast<std::uint32_t>(i);
        if (nFolder < m_folderOpen.size() && m_folderOpen[nFolder] != 0) {
            m_folderRows[nFolder].push_back(static_cast<std::uint32_t>(i));
        }
    }
    m_nSeen = m_rows.size();
}

const std::string& CProjectTree::FolderPath(std::size_t nFolder) const {
    if (nFolder >= m_folderPaths.size()) m_folderPaths.resize(nFolder + 1);
    std::string& strPath = m_folderPaths[nFolder];
    if (strPath.empty() && nFolder < m_firstRow.size() && m_firstRow[nFolder] < m_rows.size()) {
        const std::string& strFile = m_rows[m_firstRow[nFolder]].strPath;
        std::size_t n = strFile.size();
        while (n > 0 && !IsSeparator(strFile[n - 1])) --n;
        // A file right in a root ("/a.obj", "C:\a.obj") keeps the root's
        // separator.
        if (n > 1 && IsSeparator(strFile[n - 1]) && !IsSeparator(strFile[n - 2]) &&
            !(n == 3 && strFile[1] == ':')) {
            --n;
        }
        strPath = strFile.substr(0, n);
    }
    return strPath;
}

void CProjectTree::Sync(GroupOrder key, bool bAscending, bool bOwn) {
    const std::vector<ProjectGroup>& groups = m_groups.Groups();
    const std::vector<ProjectFolder>& folders = m_groups.Folders();
    TakeNewRows();
    // Sized up front: the orders below hold pointers to these names.
    if (m_folderPaths.size() < folders.size()) m_folderPaths.resize(folders.size());
    const std::vector<std::size_t> tree = m_groups.Tree(key, bAscending, bOwn);
    m_children.assign(groups.size(), {});
    m_hasChildren.assign(groups.size(), 0);
    std::vector<std::size_t> tops;
    m_grandTotal = 0;
    for (const std::size_t n : tree) {
        const std::size_t nParent = groups[n].nParent;
        if (nParent == ProjectGroup::kNoParent) {
            tops.push_back(n);
            m_grandTotal += groups[n].totalSize;
        } else {
            m_children[nParent].push_back(n);
            m_hasChildren[nParent] = 1;
        }
    }
    // The folders of the open groups only: a closed group costs nothing.
    m_folders.assign(groups.size(), {});
    for (std::uint32_t f = 0; f < folders.size() && f < m_firstRow.size(); ++f) {
        const ProjectFolder& folder = folders[f];
        if (folder.nFiles != 0 && m_firstRow[f] != kNone && folder.nGroup < groups.size() &&
            GroupOpen(folder.nGroup)) {
            m_folders[folder.nGroup].push_back(f);
        }
    }
    for (std::vector<std::uint32_t>& list : m_folders) {
        std::sort(list.begin(), list.end(), [&](std::uint32_t a, std::uint32_t b) {
            const Keys ka{folders[a].nFiles, folders[a].size, folders[a].newest, false,
                          &FolderPath(a)};
            const Keys kb{folders[b].nFiles, folders[b].size, folders[b].newest, false,
                          &FolderPath(b)};
            return Before(ka, kb, key, bAscending);
        });
    }
    m_nodes.clear();
    for (const std::size_t n : tops) AddGroup(n, 0, key, bAscending, bOwn);
}

void CProjectTree::AddGroup(std::size_t nGroup, std::uint32_t nDepth, GroupOrder key,
                            bool bAscending, bool bOwn) {
    m_nodes.push_back({TreeNodeKind::Group, nDepth, nGroup});
    if (!GroupOpen(nGroup)) return;
    const std::vector<ProjectGroup>& groups = m_groups.Groups();
    const std::vector<ProjectFolder>& folders = m_groups.Folders();
    const std::vector<std::size_t>& children = m_children[nGroup];
    const std::vector<std::uint32_t>& own = m_folders[nGroup];
    // The groups below and the group's own folders, each list in order,
    // merged into one.
    for (std::size_t i = 0, j = 0; i < children.size() || j < own.size();) {
        bool bGroup = j == own.size();
        if (!bGroup && i < children.size()) {
            const ProjectGroup& g = groups[children[i]];
            const ProjectFolder& f = folders[own[j]];
            const Keys group =
                bOwn ? Keys{g.nFiles, g.size, g.newest, g.bProject, &g.strPath}
                     : Keys{g.nTotalFiles, g.totalSize, g.totalNewest, g.bProject, &g.strPath};
            bGroup = !Before({f.nFiles, f.size, f.newest, false, &FolderPath(own[j])}, group, key,
                             bAscending);
        }
        if (bGroup) {
            AddGroup(children[i++], nDepth + 1, key, bAscending, bOwn);
            continue;
        }
        const std::uint32_t nFolder = own[j++];
        m_nodes.push_back({TreeNodeKind::Folder, nDepth + 1, nFolder});
        if (nFolder >= m_folderOpen.size() || m_folderOpen[nFolder] == 0) continue;
        std::vector<std::uint32_t>& files = m_folderRows[nFolder];
        const auto before = [&](std::uint32_t a, std::uint32_t b) {
            const ResultRow& ra = m_rows[a];
            const ResultRow& rb = m_rows[b];
            return Before({1, ra.size, ra.modified, false, &ra.strPath},
                          {1, rb.size, rb.modified, false, &rb.strPath}, key, bAscending);
        };
        // A tick finds an open folder of many files in order but for the
        // rows that came since: only those are sorted, then merged in.
        const auto sorted = std::is_sorted_until(files.begin(), files.end(), before);
        if (sorted != files.end()) {
            std::sort(sorted, files.end(), before);
            std::inplace_merge(files.begin(), sorted, files.end(), before);
        }
        for (const std::uint32_t nRow : files) {
            m_nodes.push_back({TreeNodeKind::File, nDepth + 2, nRow});
        }
    }
}

TreeTotals CProjectTree::TotalsOf(const TreeNode& node) const {
    TreeTotals totals;
    if (node.kind == TreeNodeKind::Group && node.nIndex < m_groups.Groups().size()) {
        const ProjectGroup& g = m_groups.Groups()[node.nIndex];
        totals = {g.nTotalFiles, g.totalSize, g.totalNewest, g.nFiles, g.size};
    } else if (node.kind == TreeNodeKind::Folder && node.nIndex < m_groups.Folders().size()) {
        const ProjectFolder& f = m_groups.Folders()[node.nIndex];
        totals = {f.nFiles, f.size, f.newest, f.nFiles, f.size};
    } else if (node.kind == TreeNodeKind::File && node.nIndex < m_rows.size()) {
        const ResultRow& row = m_rows[node.nIndex];
        totals = {1, row.size, row.modified, 1, row.size};
    }
    return totals;
}

std::string CProjectTree::PathOf(const TreeNode& node) const {
    switch (node.kind) {
        case TreeNodeKind::Group:
            return node.nIndex < m_groups.Groups().size() ? m_groups.Groups()[node.nIndex].strPath
                                                          : std::string();
        case TreeNodeKind::Folder:
            return FolderPath(node.nIndex);
        case TreeNodeKind::File:
            return node.nIndex < m_rows.size() ? m_rows[node.nIndex].strPath : std::string();
    }
    return std::string();
}

std::string CProjectTree::NameOf(const TreeNode& node) const {
    const std::vector<ProjectGroup>& groups = m_groups.Groups();
    if (node.kind == TreeNodeKind::Group) {
        if (node.nIndex >= groups.size()) return std::string();
        const ProjectGroup& g = groups[node.nIndex];
        return g.nParent == ProjectGroup::kNoParent ? g.strPath
                                                    : Below(g.strPath, groups[g.nParent].strPath);
    }
    if (node.kind == TreeNodeKind::Folder) {
        const std::vector<ProjectFolder>& folders = m_groups.Folders();
        if (node.nIndex >= folders.size() || folders[node.nIndex].nGroup >= groups.size()) {
            return FolderPath(node.nIndex);
        }
        return Below(FolderPath(node.nIndex), groups[folders[node.nIndex].nGroup].strPath);
    }
    const std::string strPath = PathOf(node);
    std::size_t n = strPath.size();
    while (n > 0 && !IsSeparator(strPath[n - 1])) --n;
    return strPath.substr(n);
}

bool CProjectTree::IsProject(const TreeNode& node) const {
    return node.kind == TreeNodeKind::Group && node.nIndex < m_groups.Groups().size() &&
           m_groups.Groups()[node.nIndex].bProject;
}

std::vector<std::size_t> CProjectTree::RowsOf(const std::vector<TreeNode>& nodes) const {
    const std::vector<ProjectGroup>& groups = m_groups.Groups();
    std::vector<char> groupChosen(groups.size(), 0);
    std::vector<char> folderChosen(m_groups.Folders().size(), 0);
    std::vector<char> rowChosen(m_rows.size(), 0);
    for (const TreeNode& node : nodes) {
        std::vector<char>& chosen = node.kind == TreeNodeKind::Group    ? groupChosen
                                    : node.kind == TreeNodeKind::Folder ? folderChosen
                                                                        : rowChosen;
        if (node.nIndex < chosen.size()) chosen[node.nIndex] = 1;
    }
    std::vector<std::size_t> rows;
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const std::uint32_t nFolder = m_rows[i].nFolder;
        bool bChosen =
            rowChosen[i] != 0 || (nFolder < folderChosen.size() && folderChosen[nFolder]);
        // A group holds the files of every group below it.
        for (std::size_t n = m_groups.GroupOf(m_rows[i]); !bChosen && n < groups.size();
             n = groups[n].nParent) {
            bChosen = groupChosen[n] != 0;
        }
        if (bChosen) rows.push_back(i);
    }
    return rows;
}
