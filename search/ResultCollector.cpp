// The collector that hands found files to the window's thread.
#include "search/ResultCollector.h"

#include <cstring>
#include <utility>

// A folder's files are reported after its subfolders were walked, so the
// folders still open when a name comes are its folder, the folders above
// it, and maybe some of its folder's descendants, which it cannot start
// with (no name holds a separator): these are closed.
std::uint32_t CResultCollector::OpenFolderOf(const std::string& strPath, std::size_t nLength,
                                             bool bSelf) {
    while (!m_open.empty()) {
        const Open& top = m_open.back();
        if ((top.nLength < nLength || (bSelf && top.nLength == nLength)) &&
            std::memcmp(strPath.data(), m_strLast.data(), top.nLength) == 0) {
            return top.nFolder;
        }
        m_open.pop_back();
    }
    return ResultRow::kNoFolder;
}

void CResultCollector::OnFindFolder(const std::string& strFolder) {
    FolderEntered folder;
    folder.nParent = OpenFolderOf(strFolder, strFolder.size(), false);
    // The first folder and its subfolders name groups of their own.
    if (m_open.size() <= 1) folder.strPath = strFolder;
    m_open.push_back({strFolder.size(), m_nFolders++});
    m_strLast = strFolder;
    std::lock_guard lock(m_mutex);
    m_strFolder = strFolder;
    m_bFolderChanged = true;
    m_pendingFolders.push_back(std::move(folder));
}

void CResultCollector::OnFindProjectFolder(const std::string& strFolder) {
    const std::uint32_t nFolder = OpenFolderOf(strFolder, strFolder.size(), true);
    if (nFolder == ResultRow::kNoFolder || m_open.back().nLength != strFolder.size()) return;
    ProjectFound project{nFolder, m_nFolders, strFolder};
    std::lock_guard lock(m_mutex);
    m_pendingProjects.push_back(std::move(project));
}

void CResultCollector::OnFindFileStamps(const std::string& strPath, std::uint64_t size,
                                        const FileStamp& created, const FileStamp& modified,
                                        std::uint64_t fileId) {
    // The path is copied before taking the lock so the window's Take never
    // waits for an allocation.
    ResultRow row(strPath, size, created, modified, fileId);
    row.nFolder = OpenFolderOf(strPath, strPath.size(), false);
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
    batch.folders.clear();
    batch.projects.clear();
    batch.folder.reset();
    batch.bEnded = false;
    std::lock_guard lock(m_mutex);
    // Swapping hands the window's empty vector (with its capacity) to the
    // worker, so steady batches stop allocating.
    batch.rows.swap(m_pendingRows);
    batch.folders.swap(m_pendingFolders);
    batch.projects.swap(m_pendingProjects);
    if (m_bFolderChanged) {
        batch.folder = m_strFolder;
        m_bFolderChanged = false;
    }
    batch.bEnded = m_bEnded;
    m_bEnded = false;
    return !batch.rows.empty() || batch.folder || batch.bEnded || !batch.folders.empty() ||
           !batch.projects.empty();
}

void CResultCollector::Reset() {
    std::lock_guard lock(m_mutex);
    m_pendingRows.clear();
    m_pendingRows.shrink_to_fit();
    m_pendingFolders.clear();
    m_pendingFolders.shrink_to_fit();
    m_pendingProjects.clear();
    m_nNextWalk = 0;
    m_open.clear();
    m_strLast.clear();
    m_nFolders = 0;
    m_strFolder.clear();
    m_bFolderChanged = false;
    m_bEnded = false;
}
