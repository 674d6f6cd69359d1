// The rows of the result list and their hand-over from the search's worker
// thread to the window's thread.
#pragma once

#include <array>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "finder/FindNotify.h"

// One found file. Kept small because a search may list hundreds of
// thousands: the path is the only heap allocation, the two time texts
// ("YYYY/MM/DD HH:MM") live in fixed arrays.
struct ResultRow {
    // Room for the 16-character time texts and years beyond 9999; longer
    // texts are cut.
    static constexpr std::size_t kTimeChars = 20;

    std::string strPath;                      // exact bytes as found; deletion uses these
    std::uint64_t size = 0;                   // bytes
    std::array<char, kTimeChars> created{};   // padded with NULs
    std::array<char, kTimeChars> modified{};  // padded with NULs

    ResultRow() = default;
    ResultRow(std::string path, std::uint64_t bytes, std::string_view createdText,
              std::string_view modifiedText);

    std::string_view Created() const;
    std::string_view Modified() const;
    // Column 0: the path, readable even when its bytes are not UTF-8.
    std::string DisplayName() const;
    // Column 1: "1,536KB".
    std::string SizeText() const;
};

// Moves the rows of a batch to the end of rows, in order, and returns the
// bytes they add to the running total. batch is left empty.
std::uint64_t AppendRows(std::vector<ResultRow>& rows, std::vector<ResultRow>& batch);

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
    using WakeFunction = std::function<void()>;
    static constexpr std::chrono::milliseconds kWakeInterval{30};

    // wake, when given, is called on the worker thread (never under the
    // lock) at most once per interval while results arrive, and always
    // after the end of a walk, so the window can Take at once instead of
    // waiting for its next timer tick. It must only post to the window's
    // thread (for example CallAfter), never touch the window.
    explicit CResultCollector(WakeFunction wake = {},
                              std::chrono::milliseconds interval = kWakeInterval);

    void OnFindFolder(const std::string& strFolder) override;
    void OnFindFile(const std::string& strPath, std::uint64_t size, const std::string& strCreated,
                    const std::string& strModified) override;
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
    // Under m_mutex; tells whether the worker should wake the window now.
    bool DueForWake(bool bForce);

    const WakeFunction m_wake;
    const std::chrono::steady_clock::duration m_wakeInterval;

    std::mutex m_mutex;
    std::vector<ResultRow> m_pendingRows;
    std::string m_strFolder;
    bool m_bFolderChanged = false;
    bool m_bEnded = false;
    std::optional<std::chrono::steady_clock::time_point> m_lastWake;
};
