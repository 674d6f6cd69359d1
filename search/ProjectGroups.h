// Where the space is: the files of a search gathered by the project folder
// they belong to, with each group's totals, on the front end's thread.
#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "search/ResultCollector.h"
#include "search/ResultRow.h"
#include "walk/FileStamp.h"

// A file belongs to the nearest project folder above it (its own folder
// included); without one, to the first folder below the search's folder on
// its path, or to the search's folder itself for that folder's own files.
// Groups nest as their folders do, so that a solution and its projects add
// up as one tree.
struct ProjectGroup {
    static constexpr std::size_t kNoParent = static_cast<std::size_t>(-1);

    // The group's folder as the search names it (the folder searched as
    // given, then the names below it), without a trailing separator.
    std::string strPath;
    bool bProject = false;  // false: a folder with no project above its files
    // Its own files: those that belong to it.
    std::uint64_t nFiles = 0;
    std::uint64_t size = 0;
    FileStamp newest;  // the latest modification among its files
    // Its own files and those of every group below it.
    std::uint64_t nTotalFiles = 0;
    std::uint64_t totalSize = 0;
    FileStamp totalNewest;
    // The nearest listed group whose folder holds this one's, or kNoParent;
    // nDepth counts the listed groups above it.
    std::size_t nParent = kNoParent;
    std::uint32_t nDepth = 0;

    // A group is a row of its own when it has files, or when it is a
    // project with files below it (a solution whose outputs all lie in its
    // projects). A plain folder without files of its own hands its groups
    // to the group above it.
    bool Listed() const { return nFiles != 0 || (bProject && nTotalFiles != 0); }
};

// A folder of the search with the files found in it, as numbered in the
// order entered (ResultRow::nFolder).
struct ProjectFolder {
    std::uint32_t nGroup;   // the group its files belong to
    std::uint32_t nParent;  // ResultRow::kNoFolder for the search's own
    std::uint64_t nFiles = 0;
    std::uint64_t size = 0;
    FileStamp newest;
};

// Paths in the order the file list's names take: ASCII letters folded,
// then by their bytes.
std::strong_ordering ComparePaths(const std::string& a, const std::string& b);

// What the groups can be put in order by.
enum class GroupOrder : int { Size, Path, Files, Newest, Kind };

// What a group, a folder or a file row is put in order by.
struct OrderKeys {
    std::uint64_t nFiles;
    std::uint64_t size;
    FileStamp newest;
    bool bProject;
    const std::string* pPath;
};
// The one order of the project view's rows: by key, then by path (backwards
// only when the path is the key and descending); equal only for equal paths.
std::strong_ordering CompareOrderKeys(const OrderKeys& a, const OrderKeys& b, GroupOrder key,
                                      bool bAscending);

// The groups of one search, kept as its batches arrive. Whether a folder is
// a project folder is known only when its listing ends, after the files of
// its subfolders came: that late finding moves their totals, so the groups
// are exact at the end whatever the listing's order, and exact for what
// has arrived at every batch but for projects still being listed.
//
//   start  Reset()
//   tick   Take(batch), before AppendRows moves the batch's rows away
//   delete Recount(rows) once the deleted rows are erased
class CProjectGroups {
public:
    static constexpr std::size_t kNoGroup = static_cast<std::size_t>(-1);

    void Reset();
    void Take(const ResultBatch& batch);
    // Indices stay valid through a search. A group a later project took
    // over stays, with no files: front ends pass over groups not Listed().
    // The totals and parents are worked out here when anything changed
    // since, in a time that grows with the groups, not the files.
    const std::vector<ProjectGroup>& Groups() const;
    // O(1); kNoGroup for a row of no folder this search entered.
    std::size_t GroupOf(const ResultRow& row) const;
    // The groups with files of their own (bListed: every listed group) by
    // their own files, in the order of key (kinds: folders before
    // projects), then by path whatever the direction; paths compare as the
    // file list's names do, ASCII letters folded, then by their bytes.
    std::vector<std::size_t> Ordered(GroupOrder key, bool bAscending, bool bListed = false) const;
    std::vector<std::size_t> LargestFirst() const { return Ordered(GroupOrder::Size, false); }
    // The listed groups as a tree, each followed by the groups below it:
    // siblings in the order of key on their totals (bOwn: on their own
    // files), as Ordered puts them.
    std::vector<std::size_t> Tree(GroupOrder key, bool bAscending, bool bOwn = false) const;
    // Every folder entered so far, by number, with its own files' totals.
    const std::vector<ProjectFolder>& Folders() const { return m_folders; }
    // Counts every group again from the rows left (after a deletion, whose
    // kept files may have changed size too).
    void Recount(const std::vector<ResultRow>& rows);

private:
    using Folder = ProjectFolder;

    std::uint32_t NewGroup(const std::string& strFolder, bool bProject, std::uint32_t nFolder);
    void MarkProject(const ProjectFound& project);
    // The group of the folder that holds nGroup's own, listed or not.
    std::size_t EnclosingGroup(std::size_t nGroup) const;
    void Settle() const;
    void Sort(std::vector<std::size_t>& order, GroupOrder key, bool bAscending, bool bTotals) const;

    std::vector<Folder> m_folders;      // by the collector's folder numbers
    std::vector<std::uint32_t> m_tops;  // the folder each group is named after
    // A group that gave folders away has its newest time found again when
    // next asked: a maximum cannot be taken back.
    mutable std::vector<ProjectGroup> m_groups;
    mutable std::vector<bool> m_stale;
    mutable bool m_bStale = false;
    // Totals and parents follow the files only when next asked for: a
    // search's batches pay nothing for them.
    mutable bool m_bUnsettled = false;
};
