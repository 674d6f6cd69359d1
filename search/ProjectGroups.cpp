// Files gathered by project folder.
#include "search/ProjectGroups.h"

#include <algorithm>
#include <compare>

#include "finder/DirReader.h"
#include "finder/MatchRules.h"

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

template <class Totals>
void Count(Totals& totals, const ResultRow& row) {
    ++totals.nFiles;
    totals.size += row.size;
    totals.newest = std::max(totals.newest, row.modified);
}

}  // namespace

void CProjectGroups::Reset() {
    m_folders.clear();
    m_tops.clear();
    m_groups.clear();
    m_stale.clear();
    m_bStale = false;
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
        m_folders.push_back(Folder{nGroup, 0, 0, {}});
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

const std::vector<ProjectGroup>& CProjectGroups::Groups() const {
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
    return m_groups;
}

std::size_t CProjectGroups::GroupOf(const ResultRow& row) const {
    return row.nFolder < m_folders.size() ? m_folders[row.nFolder].nGroup : kNoGroup;
}

std::vector<std::size_t> CProjectGroups::Ordered(GroupOrder key, bool bAscending) const {
    const std::vector<ProjectGroup>& groups = Groups();  // the newest times current
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].nFiles != 0) order.push_back(i);
    }
    const auto byKey = [key](const ProjectGroup& a, const ProjectGroup& b) {
        switch (key) {
            case GroupOrder::Size:
                return a.size <=> b.size;
            case GroupOrder::Files:
                return a.nFiles <=> b.nFiles;
            case GroupOrder::Newest:
                return a.newest <=> b.newest;
            case GroupOrder::Kind:
                return a.bProject <=> b.bProject;
            case GroupOrder::Path:
                break;
        }
        return std::strong_ordering::equal;
    };
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const std::strong_ordering c = byKey(groups[a], groups[b]);
        if (c != 0) return bAscending ? c < 0 : c > 0;
        const std::strong_ordering path = ComparePaths(groups[a].strPath, groups[b].strPath);
        if (path != 0) return key == GroupOrder::Path && !bAscending ? path > 0 : path < 0;
        return a < b;
    });
    return order;
}

void CProjectGroups::Recount(const std::vector<ResultRow>& rows) {
    for (Folder& folder : m_folders) folder = Folder{folder.nGroup, 0, 0, {}};
    for (ProjectGroup& group : m_groups) {
        group.nFiles = 0;
        group.size = 0;
        group.newest = {};
    }
    std::fill(m_stale.begin(), m_stale.end(), false);
    m_bStale = false;
    for (const ResultRow& row : rows) {
        if (row.nFolder >= m_folders.size()) continue;
        Folder& folder = m_folders[row.nFolder];
        Count(folder, row);
        Count(m_groups[folder.nGroup], row);
    }
}
