// Files gathered by project folder.
#include "search/ProjectGroups.h"

#include <algorithm>
#include <compare>

#include "walk/DirReader.h"
#include "walk/MatchRules.h"

namespace {

// The folder without its trailing separators (a folder given as "src//"
// too), unless that is all of a root: "/" and "C:\" keep theirs.
std::string GroupName(const std::string& strFolder) {
    std::size_t n = strFolder.size();
    while (n > 1 && (strFolder[n - 1] == '/' || strFolder[n - 1] == kPathSeparator) &&
           !(n == 3 && strFolder[1] == ':')) {
        --n;
    }
    return strFolder.substr(0, n);
}

template <class Totals>
void Count(Totals& totals, const ResultRow& row) {
    ++totals.nFiles;
    totals.size += row.size;
    totals.newest = std::max(totals.newest, row.modified);
}

}  // namespace

std::strong_ordering ComparePaths(const std::string& a, const std::string& b) {
    const auto folded = std::lexicographical_compare_three_way(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(LowerAscii(x)) <=>
                   static_cast<unsigned char>(LowerAscii(y));
        });
    if (folded != 0) return folded;
    return std::lexicographical_compare_three_way(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
            return static_cast<unsigned char>(x) <=> static_cast<unsigned char>(y);
        });
}

std::strong_ordering CompareOrderKeys(const OrderKeys& a, const OrderKeys& b, GroupOrder key,
                                      bool bAscending) {
    std::strong_ordering c = std::strong_ordering::equal;
    switch (key) {
        case GroupOrder::Size:
            c = a.size <=> b.size;
            break;
        case GroupOrder::Files:
            c = a.nFiles <=> b.nFiles;
            break;
        case GroupOrder::Newest:
            c = a.newest <=> b.newest;
            break;
        case GroupOrder::Kind:
            c = a.bProject <=> b.bProject;
            break;
        case GroupOrder::Path:
            break;
    }
    if (c != 0) return bAscending ? c : 0 <=> c;
    const std::strong_ordering path = ComparePaths(*a.pPath, *b.pPath);
    return key == GroupOrder::Path && !bAscending ? 0 <=> path : path;
}

void CProjectGroups::Reset() {
    m_folders.clear();
    m_tops.clear();
    m_groups.clear();
    m_stale.clear();
    m_bStale = false;
    m_bUnsettled = false;
}

std::uint32_t CProjectGroups::NewGroup(const std::string& strFolder, bool bProject,
                                       std::uint32_t nFolder) {
    ProjectGroup& group = m_groups.emplace_back();
    group.strPath = GroupName(strFolder);
    group.bProject = bProject;
    m_tops.push_back(nFolder);
    m_stale.push_back(false);
    return static_cast<std::uint32_t>(m_groups.size() - 1);
}

void CProjectGroups::Take(const ResultBatch& batch) {
    for (const FolderEntered& entered : batch.folders) {
        const auto nFolder = static_cast<std::uint32_t>(m_folders.size());
        // Only the search's folder and its subfolders come with a path.
        std::uint32_t nGroup = 0;
        if (!entered.strPath.empty() || entered.nParent >= nFolder) {
            nGroup = NewGroup(entered.strPath, false, nFolder);
        } else {
            nGroup = m_folders[entered.nParent].nGroup;
        }
        const std::uint32_t nParent =
            entered.nParent < nFolder ? entered.nParent : ResultRow::kNoFolder;
        m_folders.push_back(Folder{nGroup, nParent, 0, 0, {}});
    }
    // A project found after rows of its subfolders arrived in this batch
    // takes them as well as earlier ones: the order of the two loops does
    // not matter.
    for (const ProjectFound& project : batch.projects) MarkProject(project);
    for (const ResultRow& row : batch.rows) {
        if (row.nFolder >= m_folders.size()) continue;
        Folder& folder = m_folders[row.nFolder];
        Count(folder, row);
        Count(m_groups[folder.nGroup], row);
    }
    m_bUnsettled = m_bUnsettled || !batch.rows.empty() || !batch.projects.empty();
}

// The folders from project.nFolder to project.nEnd are the project folder
// and its descendants; those of projects found inside it already stay
// where they are, every other one joins the project.
void CProjectGroups::MarkProject(const ProjectFound& project) {
    if (project.nFolder >= m_folders.size()) return;
    const std::uint32_t nWas = m_folders[project.nFolder].nGroup;
    std::uint32_t nGroup = nWas;
    if (m_tops[nWas] == project.nFolder) {
        m_groups[nWas].bProject = true;
    } else {
        nGroup = NewGroup(project.strPath, true, project.nFolder);
    }
    ProjectGroup& target = m_groups[nGroup];
    const std::size_t nEnd = std::min<std::size_t>(project.nEnd, m_folders.size());
    for (std::size_t i = project.nFolder; i < nEnd; ++i) {
        Folder& folder = m_folders[i];
        if (folder.nGroup == nGroup || m_groups[folder.nGroup].bProject) continue;
        ProjectGroup& from = m_groups[folder.nGroup];
        from.nFiles -= folder.nFiles;
        from.size -= folder.size;
        m_stale[folder.nGroup] = true;
        m_bStale = true;
        target.nFiles += folder.nFiles;
        target.size += folder.size;
        target.newest = std::max(target.newest, folder.newest);
        folder.nGroup = nGroup;
    }
}

std::size_t CProjectGroups::EnclosingGroup(std::size_t nGroup) const {
    const std::uint32_t nAbove = m_folders[m_tops[nGroup]].nParent;
    // A folder's group is named after it or a folder above it, so the walk
    // up always ends.
    return nAbove < m_folders.size() ? m_folders[nAbove].nGroup : kNoGroup;
}

void CProjectGroups::Settle() const {
    if (m_bStale) {
        for (std::size_t i = 0; i < m_groups.size(); ++i) {
            if (m_stale[i]) m_groups[i].newest = {};
        }
        for (const Folder& folder : m_folders) {
            if (m_stale[folder.nGroup] && folder.nFiles != 0) {
                FileStamp& newest = m_groups[folder.nGroup].newest;
                newest = std::max(newest, folder.newest);
            }
        }
        std::fill(m_stale.begin(), m_stale.end(), false);
        m_bStale = false;
    }
    if (!m_bUnsettled) return;
    m_bUnsettled = false;
    for (ProjectGroup& group : m_groups) {
        group.nTotalFiles = 0;
        group.totalSize = 0;
        group.totalNewest = {};
    }
    // Groups nest a few deep: each adds its own files to those above it.
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        const ProjectGroup& own = m_groups[i];
        if (own.nFiles == 0) continue;
        for (std::size_t n = i; n != kNoGroup; n = EnclosingGroup(n)) {
            ProjectGroup& above = m_groups[n];
            above.nTotalFiles += own.nFiles;
            above.totalSize += own.size;
            above.totalNewest = std::max(above.totalNewest, own.newest);
        }
    }
    // Only now is each group known to be listed or not.
    for (std::size_t i = 0; i < m_groups.size(); ++i) {
        ProjectGroup& group = m_groups[i];
        group.nParent = ProjectGroup::kNoParent;
        group.nDepth = 0;
        for (std::size_t n = EnclosingGroup(i); n != kNoGroup; n = EnclosingGroup(n)) {
            if (!m_groups[n].Listed()) continue;
            if (group.nParent == ProjectGroup::kNoParent) group.nParent = n;
            ++group.nDepth;
        }
    }
}

const std::vector<ProjectGroup>& CProjectGroups::Groups() const {
    Settle();
    return m_groups;
}

std::size_t CProjectGroups::GroupOf(const ResultRow& row) const {
    return row.nFolder < m_folders.size() ? m_folders[row.nFolder].nGroup : kNoGroup;
}

void CProjectGroups::Sort(std::vector<std::size_t>& order, GroupOrder key, bool bAscending,
                          bool bTotals) const {
    const auto keys = [bTotals](const ProjectGroup& g) {
        return bTotals
                   ? OrderKeys{g.nTotalFiles, g.totalSize, g.totalNewest, g.bProject, &g.strPath}
                   : OrderKeys{g.nFiles, g.size, g.newest, g.bProject, &g.strPath};
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const std::strong_ordering c =
            CompareOrderKeys(keys(m_groups[a]), keys(m_groups[b]), key, bAscending);
        return c != 0 ? c < 0 : a < b;
    });
}

std::vector<std::size_t> CProjectGroups::Ordered(GroupOrder key, bool bAscending,
                                                 bool bListed) const {
    const std::vector<ProjectGroup>& groups = Groups();
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].nFiles != 0 || (bListed && groups[i].Listed())) order.push_back(i);
    }
    Sort(order, key, bAscending, false);
    return order;
}

std::vector<std::size_t> CProjectGroups::Tree(GroupOrder key, bool bAscending, bool bOwn) const {
    const std::vector<ProjectGroup>& groups = Groups();
    std::vector<std::size_t> sorted;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].Listed()) sorted.push_back(i);
    }
    Sort(sorted, key, bAscending, !bOwn);
    // Each group's children, kept in their sorted order: built backwards,
    // each new first child goes before the ones already there.
    std::vector<std::size_t> firstChild(groups.size(), kNoGroup);
    std::vector<std::size_t> nextSibling(groups.size(), kNoGroup);
    std::vector<std::size_t> pending;  // the tops first, then a stack
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it) {
        const std::size_t nParent = groups[*it].nParent;
        if (nParent == ProjectGroup::kNoParent) {
            pending.push_back(*it);
        } else {
            nextSibling[*it] = firstChild[nParent];
            firstChild[nParent] = *it;
        }
    }
    std::vector<std::size_t> tree;
    tree.reserve(sorted.size());
    while (!pending.empty()) {
        const std::size_t n = pending.back();
        pending.pop_back();
        tree.push_back(n);
        const std::size_t nAt = pending.size();
        for (std::size_t c = firstChild[n]; c != kNoGroup; c = nextSibling[c]) {
            pending.push_back(c);
        }
        std::reverse(pending.begin() + static_cast<std::ptrdiff_t>(nAt), pending.end());
    }
    return tree;
}

void CProjectGroups::Recount(const std::vector<ResultRow>& rows) {
    for (Folder& folder : m_folders) folder = Folder{folder.nGroup, folder.nParent, 0, 0, {}};
    for (ProjectGroup& group : m_groups) {
        group.nFiles = 0;
        group.size = 0;
        group.newest = {};
    }
    std::fill(m_stale.begin(), m_stale.end(), false);
    m_bStale = false;
    m_bUnsettled = true;
    for (const ResultRow& row : rows) {
        if (row.nFolder >= m_folders.size()) continue;
        Folder& folder = m_folders[row.nFolder];
        Count(folder, row);
        Count(m_groups[folder.nGroup], row);
    }
}
