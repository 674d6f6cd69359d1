// One search from its start to its end, as both front ends run it: the
// finder walking on its worker thread, the collector handing the rows over,
// and the front end's thread taking them in batches from a timer (the
// window) or a loop (the command line).
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "search/ResultCollector.h"
#include "search/SearchQuery.h"
#include "walk/FindNotify.h"
#include "walk/IntermediateFileFinder.h"

// The front end's side (all on its own thread):
//   start  Start(query); false: nothing started (no such folder), nothing
//          of an earlier search is left either.
//   tick   Take(batch): new rows, the latest folder, the end. When
//          batch.bEnded the worker is already joined and the search over.
//   stop   Stop(), then one more Take for every row found before it.
//   leave  Abandon(): stopped, joined, everything pending forgotten.
class CSearchSession {
public:
    CSearchSession();
    // Stops a running walk and waits for its worker.
    ~CSearchSession();
    CSearchSession(const CSearchSession&) = delete;
    CSearchSession& operator=(const CSearchSession&) = delete;

    // Replaces the finder (a test's, or one with other read-ahead); it must
    // report to Sink(). Any search of the old one is abandoned first.
    void SetFinder(std::unique_ptr<CIntermediateFileFinder> pFinder);
    CIntermediateFileFinder& Finder() { return *m_pFinder; }
    CFindNotify& Sink() { return m_sink; }
    // Called on the worker right after it reports the end of its walk: a
    // front end that sleeps between takes wakes at once.
    void SetEndCallback(std::function<void()> onEnd) { m_sink.onEnd = std::move(onEnd); }

    // Abandons any earlier search, then starts query's. True when a worker
    // is now searching.
    bool Start(const SearchQuery& query);
    // What arrived since the last Take; true when anything did. A batch
    // that carries the end joins the worker, which has nothing left to do.
    bool Take(ResultBatch& batch);
    // Asks the worker to stop and waits for it (it stops within one entry).
    // True when a search was running. Its rows wait for the next Take.
    bool Stop();
    // Stops and joins any search and forgets whatever it left.
    void Abandon();

    // Folders entered by the current walk so far.
    std::uint64_t Folders() const { return m_sink.nFolders.load(std::memory_order_relaxed); }
    // Folders the walk had to leave out (refused, or unreadable): final
    // once the end was taken or Stop returned.
    std::uint64_t UnreadableFolders() const { return m_pFinder->UnreadableFolders(); }

private:
    // The finder's sink: the collector, a folder count and the end's wake.
    struct Reports final : CFindNotify {
        void OnFindFolder(const std::string& strFolder) override;
        void OnFindFileStamps(const std::string& strPath, std::uint64_t size,
                              const FileStamp& created, const FileStamp& modified,
                              std::uint64_t fileId) override;
        void OnFindProjectFolder(const std::string& strFolder) override;
        void OnFindEnd() override;

        CResultCollector collector;
        std::atomic<std::uint64_t> nFolders{0};
        std::function<void()> onEnd;
    };

    Reports m_sink;
    std::unique_ptr<CIntermediateFileFinder> m_pFinder;
};
