// Result rows and the collector that hands them to the window's thread.
#include "view/core/ResultCollector.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "view/core/DisplayText.h"
#include "view/core/StatusText.h"

namespace {

void CopyTimeText(std::array<char, ResultRow::kTimeChars>& to, std::string_view text) {
    const std::size_t n = std::min(text.size(), to.size());
    std::copy_n(text.data(), n, to.data());
    std::fill(to.begin() + static_cast<std::ptrdiff_t>(n), to.end(), '\0');
}

std::string_view TimeTextOf(const std::array<char, ResultRow::kTimeChars>& text) {
    const auto end = std::find(text.begin(), text.end(), '\0');
    return std::string_view(text.data(), static_cast<std::size_t>(end - text.begin()));
}

}  // namespace

ResultRow::ResultRow(std::string path, std::uint64_t bytes, std::string_view createdText,
                     std::string_view modifiedText)
    : strPath(std::move(path)), size(bytes) {
    CopyTimeText(created, createdText);
    CopyTimeText(modified, modifiedText);
}

std::string_view ResultRow::Created() const { return TimeTextOf(created); }

std::string_view ResultRow::Modified() const { return TimeTextOf(modified); }

std::string ResultRow::DisplayName() const { return DisplayPath(strPath); }

std::string ResultRow::SizeText() const { return ::SizeText(size); }

std::uint64_t AppendRows(std::vector<ResultRow>& rows, std::vector<ResultRow>& batch) {
    std::uint64_t added = 0;
    for (const ResultRow& row : batch) added += row.size;
    // Growing by half rather than doubling keeps the spare capacity of a
    // list of hundreds of thousands of rows at a third of it or less.
    const std::size_t needed = rows.size() + batch.size();
    if (needed > rows.capacity()) rows.reserve(std::max(needed, rows.capacity() * 3 / 2));
    rows.insert(rows.end(), std::make_move_iterator(batch.begin()),
                std::make_move_iterator(batch.end()));
    batch.clear();
    return added;
}

CResultCollector::CResultCollector(WakeFunction wake, std::chrono::milliseconds interval)
    : m_wake(std::move(wake)), m_wakeInterval(interval) {}

bool CResultCollector::DueForWake(bool bForce) {
    if (!m_wake) return false;
    const auto now = std::chrono::steady_clock::now();
    if (!bForce && m_lastWake && now - *m_lastWake < m_wakeInterval) return false;
    m_lastWake = now;
    return true;
}

void CResultCollector::OnFindFolder(const std::string& strFolder) {
    bool bWake;
    {
        std::lock_guard lock(m_mutex);
        m_strFolder = strFolder;
        m_bFolderChanged = true;
        bWake = DueForWake(false);
    }
    if (bWake) m_wake();
}

void CResultCollector::OnFindFile(const std::string& strPath, std::uint64_t size,
                                  const std::string& strCreated, const std::string& strModified) {
    // The path is copied before taking the lock so the window's Take never
    // waits for an allocation.
    ResultRow row(strPath, size, strCreated, strModified);
    bool bWake;
    {
        std::lock_guard lock(m_mutex);
        m_pendingRows.push_back(std::move(row));
        bWake = DueForWake(false);
    }
    if (bWake) m_wake();
}

void CResultCollector::OnFindEnd() {
    bool bWake;
    {
        std::lock_guard lock(m_mutex);
        m_bEnded = true;
        bWake = DueForWake(true);
    }
    if (bWake) m_wake();
}

bool CResultCollector::Take(ResultBatch& batch) {
    batch.rows.clear();
    batch.folder.reset();
    batch.bEnded = false;
    std::lock_guard lock(m_mutex);
    // Swapping hands the window's empty vector (with its capacity) to the
    // worker, so steady batches stop allocating.
    batch.rows.swap(m_pendingRows);
    if (m_bFolderChanged) {
        batch.folder = m_strFolder;
        m_bFolderChanged = false;
    }
    batch.bEnded = m_bEnded;
    m_bEnded = false;
    return !batch.rows.empty() || batch.folder || batch.bEnded;
}

void CResultCollector::Reset() {
    std::lock_guard lock(m_mutex);
    m_pendingRows.clear();
    m_pendingRows.shrink_to_fit();
    m_strFolder.clear();
    m_bFolderChanged = false;
    m_bEnded = false;
    m_lastWake.reset();
}
