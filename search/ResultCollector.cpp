// The collector that hands found files to the window's thread.
#include "search/ResultCollector.h"

#include <utility>

void CResultCollector::OnFindFolder(const std::string& strFolder) {
    std::lock_guard lock(m_mutex);
    m_strFolder = strFolder;
    m_bFolderChanged = true;
}

void CResultCollector::OnFindFileStamps(const std::string& strPath, std::uint64_t size,
                                        const FileStamp& created, const FileStamp& modified) {
    // The path is copied before taking the lock so the window's Take never
    // waits for an allocation.
    ResultRow row(strPath, size, created, modified);
    std::lock_guard lock(m_mutex);
    row.nWalk = m_nNextWalk++;
    m_pendingRows.push_back(std::move(row));
}

void CResultCollector::OnFindEnd() {
    std::lock_guard lock(m_mutex);
    m_bEnded = true;
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
    m_nNextWalk = 0;
    m_strFolder.clear();
    m_bFolderChanged = false;
    m_bEnded = false;
}
