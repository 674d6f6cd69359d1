// The search session both front ends drive.
#include "search/SearchSession.h"

#include <utility>

#include "search/FolderHistory.h"

void CSearchSession::Reports::OnFindFolder(const std::string& strFolder) {
    nFolders.fetch_add(1, std::memory_order_relaxed);
    collector.OnFindFolder(strFolder);
}

void CSearchSession::Reports::OnFindFileStamps(const std::string& strPath, std::uint64_t size,
                                               const FileStamp& created, const FileStamp& modified,
                                               std::uint64_t fileId) {
    collector.OnFindFileStamps(strPath, size, created, modified, fileId);
}

void CSearchSession::Reports::OnFindProjectFolder(const std::string& strFolder) {
    collector.OnFindProjectFolder(strFolder);
}

void CSearchSession::Reports::OnFindEnd() {
    collector.OnFindEnd();
    if (onEnd) onEnd();
}

CSearchSession::CSearchSession() : m_pFinder(std::make_unique<CIntermediateFileFinder>(&m_sink)) {}

CSearchSession::~CSearchSession() { Abandon(); }

void CSearchSession::SetFinder(std::unique_ptr<CIntermediateFileFinder> pFinder) {
    Abandon();
    m_pFinder = std::move(pFinder);
}

bool CSearchSession::Start(const SearchQuery& query) {
    // Nothing of an earlier search may reach this one.
    Abandon();
    const FinderArguments args = FinderArgumentsOf(query);
    // Names compare as the folder history compares folder texts.
    m_pFinder->SetExcludedFolders(
        CFolderExclusion(query.excludedFolders, PlatformFolderRule().bFoldAsciiCase));
    return m_pFinder->StartFind(query.strRoot, query.bSubfolders, args.nFolderMode, args.nTypeMask,
                                args.nTimeMode, args.nDays, args.bOlder);
}

bool CSearchSession::Take(ResultBatch& batch) {
    if (!m_sink.collector.Take(batch)) return false;
    // The worker's last act was to report the end; it is gone at once.
    if (batch.bEnded) m_pFinder->JoinWorker();
    return true;
}

bool CSearchSession::Stop() {
    const bool bWasRunning = m_pFinder->StopFind();
    // Every row found before the stop is in the collector once the worker
    // is joined, so the next Take lists exactly what was found.
    m_pFinder->JoinWorker();
    return bWasRunning;
}

void CSearchSession::Abandon() {
    if (m_pFinder) {
        m_pFinder->StopFind();
        m_pFinder->JoinWorker();
    }
    m_sink.collector.Reset();
    m_sink.nFolders.store(0, std::memory_order_relaxed);
}
