// The hand-over of found files from the search's worker thread to the
// window's thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "finder/FindNotify.h"
#include "search/ResultRow.h"

// What arrived from the worker since the previous Take.
struct ResultBatch {
    std::vector<ResultRow> rows;        // new rows, in the walk's order
    std::optional<std::string> folder;  // latest folder entered (raw bytes), if it changed
    bool bEnded = false;                // the walk ran to its end (reported once)
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
                          const FileStamp& modified) override;
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
    std::mutex m_mutex;
    std::vector<ResultRow> m_pendingRows;
    std::uint32_t m_nNextWalk = 0;
    std::string m_strFolder;
    bool m_bFolderChanged = false;
    bool m_bEnded = false;
};
