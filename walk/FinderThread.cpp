// The worker thread base: thread lifetime, the running flag and the default
// enumeration of one folder.
#include "walk/FinderThread.h"

#include <functional>
#include <new>
#include <system_error>

#include "walk/DirReader.h"
#include "walk/FileUtil.h"
#include "walk/MatchRules.h"

CFinderThread::CFinderThread() = default;

CFinderThread::~CFinderThread() {
    EndWorker();
    // Destroyed by its own worker (a sink that deletes the finder when told
    // the walk ended): it cannot wait for itself, and must not abort. That
    // is safe because the end is a worker's last act on its object: the
    // search's readers have been joined before it, and only the return
    // from the thread's function follows.
    if (m_hThread.joinable()) m_hThread.detach();
}

bool CFinderThread::Start(int nKind, const std::string& strFolder, const std::string& strPattern) {
    if (m_bRunning) return false;
    // The flag is clear, but a stopped worker may still be on its way out
    // and reading the fields about to be overwritten.
    JoinWorker();
    m_nKind = nKind;
    m_strFolder = strFolder;
    m_strPattern = strPattern;
    AddBackslash(m_strFolder);
    return BeginThread();
}

bool CFinderThread::BeginThread() {
    JoinWorker();
    if (m_hThread.get_id() == std::this_thread::get_id()) return false;
    m_bRunning = true;
    try {
        m_hThread = std::thread(&CFinderThread::ThreadProc, this);
    } catch (const std::system_error&) {
        m_bRunning = false;
        return false;
    } catch (const std::bad_alloc&) {
        m_bRunning = false;
        return false;
    }
    m_dwThreadId = static_cast<std::uint32_t>(std::hash<std::thread::id>{}(m_hThread.get_id()));
    return true;
}

unsigned CFinderThread::Run() {
    switch (m_nKind) {
        case 1:
            EnumAll(m_strFolder, m_strPattern);
            break;
        case 2:
        case 3:
        case 4:
            EnumFiles(m_nKind, m_strFolder, m_strPattern);
            break;
        case 5:
        case 6:
            EnumFolders(m_nKind, m_strFolder, m_strPattern);
            break;
        default:
            break;
    }
    if (m_bRunning) OnEnumEnd();
    m_bRunning = false;
    return 0;
}

int CFinderThread::EnumAll(const std::string& strFolder, const std::string& strPattern) {
    return Enumerate(1, strFolder, strPattern, Accept::kAll);
}

int CFinderThread::EnumFiles(int nKind, const std::string& strFolder,
                             const std::string& strPattern) {
    return Enumerate(nKind, strFolder, strPattern, Accept::kFiles);
}

int CFinderThread::EnumFolders(int nKind, const std::string& strFolder,
                               const std::string& strPattern) {
    return Enumerate(nKind, strFolder, strPattern, Accept::kFolders);
}

bool CFinderThread::Stop() { return m_bRunning.exchange(false); }

unsigned CFinderThread::ThreadProc(void* pParam) {
    return static_cast<CFinderThread*>(pParam)->Run();
}

void CFinderThread::JoinWorker() {
    if (m_hThread.joinable() && m_hThread.get_id() != std::this_thread::get_id()) {
        m_hThread.join();
    }
}

void CFinderThread::EndWorker() {
    m_bRunning = false;
    JoinWorker();
}

int CFinderThread::Enumerate(int nKind, const std::string& strFolder, const std::string& strPattern,
                             Accept accept) {
    if (!m_bRunning) return 0;
    CDirReader dir;
    if (dir.OpenPath(strFolder) != OpenResult::kOpened) return 0;
    int nCount = 0;
    FindEntry entry;
    EntryFacts facts;
    EntryKind kind;
    while (const char* pszName = dir.Next(kind)) {
        bool bSystem = false;
        if (WildcardMatch(strPattern.c_str(), pszName) && dir.Describe(pszName, facts, bSystem)) {
            const bool bDots = IsDotOrDotDot(pszName);
            bool bAccepted = false;
            switch (accept) {
                case Accept::kAll:
                    bAccepted = !bSystem && !bDots;
                    break;
                case Accept::kFiles:
                    bAccepted = !facts.isFolder;
                    break;
                case Accept::kFolders:
                    bAccepted = facts.isFolder && !bSystem && !bDots;
                    break;
            }
            if (bAccepted) {
                entry.name = pszName;
                entry.isDirectory = facts.isFolder;
                entry.isSystem = bSystem;
                entry.size = facts.size;
                entry.created = facts.created.seconds;
                entry.modified = facts.modified.seconds;
                OnEnumEntry(accept == Accept::kAll ? 1 : nKind, strFolder, &entry);
                ++nCount;
            }
        }
        if (!m_bRunning) break;
    }
    return nCount;
}
