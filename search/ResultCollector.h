// The hand-over of found files from the search's worker thread to the
// window's thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "search/ResultRow.h"
#include "walk/FindNotify.h"

// A folder the walk entered; folders are numbered from 0 (the folder the
// search starts from) in the order entered, so a folder's descendants are
// the run of folders entered after it up to its end.
struct FolderEntered {
    std::uint32_t nParent = ResultRow::kNoFolder;  // kNoFolder for the first
    // As the walk names it, with its trailing separator; only for the first
    // folder and its subfolders (the others go without, to stay cheap).
    std::string strPath;
};

// A folder found to be a project folder, when its listing ended: the
// folders nFolder up to (not including) nEnd are it and its descendants.
struct ProjectFound {
    std::uint32_t nFolder = 0;
    std::uint32_t nEnd = 0;
    std::string strPath;  // as the walk names it, with its trailing separator
};

// What arrived from the worker since the previous Take.
struct ResultBatch {
    std::vector<ResultRow> rows;         // new rows, in the walk's order
    std::vector<FolderEntered> folders;  // folders entered, in order
    std::vector<ProjectFound> projects;  // project folders, in the order found
    std::optional<std::string> folder;   // latest folder entered (raw bytes), if it changed
    bool bEnded = false;                 // the walk ran to its end (reported once)
};

// The view's CFindNotify. The worker only appends to a pending batch under a
// short lock and never waits for the window's thread; the window's thread
// collects the batch with Take from a timer. Order is kept.
//
// The window's side of a search:
//   start  finder.JoinWorker(); collector.Reset(); rows.clear(); total = 0;
//          then StartFind and, when it succeeds, a timer of about 40 ms.
//   tick   if (collector.Take(batch)): total += AppendRows(rows, batch.rows),
//          set the list's item count; if batch.bEnded: stop the timer and
//          show the summary; else if batch.folder: show SearchingText(it).
//   stop   finder.StopFind(); finder.JoinWorker(); stop the timer; one more
//          Take and AppendRows (its folder and end are moot), then the
//          summary, which now counts every row found.
class CResultCollector final : public CFindNotify {
public:
    void OnFindFolder(const std::string& strFolder) override;
    void OnFindFileStamps(const std::string& strPath, std::uint64_t size, const FileStamp& created,
                          const FileStamp& modified, std::uint64_t fileId) override;
    void OnFindProjectFolder(const std::string& strFolder) override;
    void OnFindEnd() override;

    // Window's thread: replaces batch's contents with what arrived since the
    // last Take; batch's old (empty) row vector goes back to the worker
    // with its capacity. True when anything arrived.
    bool Take(ResultBatch& batch);

    // Window's thread, only after the previous worker has been joined:
    // forgets everything pending so that nothing of an earlier search can
    // reach the next one.
    void Reset();

private:
    // Worker only: brings m_open back to the folders that lead to a folder
    // nLength bytes of strPath long (strPath's own when bSelf) and gives the
    // innermost, or kNoFolder.
    std::uint32_t OpenFolderOf(const std::string& strPath, std::size_t nLength, bool bSelf);

    // Worker only: the folders from the first to the last entered that are
    // still open (the length of each one's path, and its number); each is a
    // prefix of m_strLast, the last folder entered.
    struct Open {
        std::size_t nLength;
        std::uint32_t nFolder;
    };
    std::vector<Open> m_open;
    std::string m_strLast;
    std::uint32_t m_nFolders = 0;

    std::mutex m_mutex;
    std::vector<ResultRow> m_pendingRows;
    std::vector<FolderEntered> m_pendingFolders;
    std::vector<ProjectFound> m_pendingProjects;
    std::uint32_t m_nNextWalk = 0;
    std::string m_strFolder;
    bool m_bFolderChanged = false;
    bool m_bEnded = false;
};
