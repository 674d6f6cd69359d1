// The search for intermediate files: walks a folder tree on a worker
// thread and reports folders, matches and the end through CFindNotify.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "walk/DirReader.h"
#include "walk/FindNotify.h"
#include "walk/FinderThread.h"
#include "walk/FolderExclusion.h"

class CIntermediateFileFinder : public CFinderThread {
public:
    explicit CIntermediateFileFinder(CFindNotify* pNotify);
    // Stops a running walk and waits for its worker before the finder goes.
    ~CIntermediateFileFinder() override;

    // True when a worker is now searching; false when nothing was started.
    // A previous worker is stopped if still walking, and always waited for,
    // before the parameters change: it never waits long, since the worker
    // checks the running flag after every entry.
    bool StartFind(const std::string& strFolder, bool bSubFolder, int nFolderMode, int nTypeMask,
                   int nTimeMode, int nDays, bool bOlder);
    // The identity of the folder the last StartFind began with, read from
    // the very descriptor (or handle) the walk lists it through: a deletion
    // refuses a root that is no longer that folder, so a listing of one
    // folder never leads to a deletion in another.
    const FolderId& RootId() const { return m_rootId; }
    // True when the running flag was set and is now clear. Does not wait.
    bool StopFind();
    // How many threads read folders ahead of the walk from the next
    // StartFind on; 0 reads everything on the walk's own thread. What is
    // reported, and in which order, is the same either way. The default
    // fits the machine: a reader a core while what is read is cached, more
    // once reads wait on the disk (CReadAheadPool::ThreadsWhenCached).
    void SetReadAheadThreads(int nThreads) { m_nReadAheadThreads = nThreads; }
    static constexpr int kDefaultReadAheadThreads = -1;
    // Subfolders, at any depth, that the walks from the next StartFind on
    // never enter; the folder a walk starts from is always entered.
    void SetExcludedFolders(CFolderExclusion exclusion) { m_nextExclusion = std::move(exclusion); }
    // The folders that the next searches, one for each, make one run of:
    // none of them is entered by another's walk, whatever path leads there,
    // so each is searched by its own rules, and no folder one walk of the
    // run entered is walked again by a later one, so a file reached through
    // two of them is listed once. Empty (the default): each search stands
    // alone. Not while a search runs.
    void SetRun(std::vector<FolderMark> folders) {
        m_run = std::move(folders);
        m_visited.clear();
    }
    // Folders of the last search that could not be read (refused, a read
    // error, gone from under a deep walk with the subfolders it still had
    // to walk, or no descriptor to be had): the search left them out.
    // Final once the worker has been joined.
    std::uint64_t UnreadableFolders() const {
        return m_nUnreadable.load(std::memory_order_relaxed);
    }

    unsigned Run() override;

private:
    struct Walk;

    void WalkTree();
    void FindInFolder(Walk& walk, std::size_t nDepth);
    void WalkSubfolder(Walk& walk, std::size_t nDepth, const char* pszName, std::size_t len);
    void FindPattern(Walk& walk, std::size_t nDepth, int nPattern);
    void Unreadable() { m_nUnreadable.fetch_add(1, std::memory_order_relaxed); }

    CFindNotify* m_pNotify;
    int m_nTypeMask = 1;
    int m_nFolderMode = 6;
    int m_nTimeMode = 1;
    int m_nDays = 0;
    bool m_bOlder = false;
    bool m_bSubFolder = true;
    int m_nReadAheadThreads = kDefaultReadAheadThreads;
    std::atomic<std::uint64_t> m_nUnreadable{0};
    FolderId m_rootId;
    CFolderExclusion m_exclusion;      // the running walk's
    CFolderExclusion m_nextExclusion;  // taken by the next StartFind
    std::vector<FolderMark> m_run;
    std::unordered_set<FolderId, FolderIdHash> m_visited;  // by the walks of the run
    // Opened by StartFind, listed by the worker.
    CDirReader m_root;
    OpenResult m_rootResult = OpenResult::kFailed;
};
