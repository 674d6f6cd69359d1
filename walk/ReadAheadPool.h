// Reads folder listings, and the facts of the names a search will report, on
// a few threads ahead of the walk and in the walk's own order, so that a
// cold disk serves many reads at once while one thread still reports
// everything in order.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "walk/DirReader.h"
#include "walk/FolderExclusion.h"
#include "walk/MatchRules.h"

// What the walk will look at, so the readers keep only that.
struct ReadAheadRules {
    // What is looked for in the root, and in a subfolder of a folder.
    FolderScope root;
    std::function<FolderScope(const FolderScope& parent, const char* pszName, std::size_t len)>
        subfolder;
    // What the walk does with an entry of a folder: the facts of a candidate
    // are read ahead, a solution's name is only kept.
    std::function<NameUse(const FolderScope& scope, const char* pszName, std::size_t len,
                          EntryKind kind)>
        use;
    bool bSubFolders = true;
    // Subfolders the walk never enters: never read ahead either.
    CFolderExclusion excluded;
};

// A folder's place in the walk: the positions of the subfolders that lead
// to it from the root. Their lexicographic order is the walk's order.
using WalkKey = std::vector<std::uint32_t>;

// One folder as a reader left it: the entries the walk looks at, in listing
// order, and the facts of those it may report. Written by one thread, then
// handed over under the pool's lock and only read afterwards.
struct CListing {
    struct Entry {
        std::uint32_t offset;  // into names
        std::uint32_t length;
        EntryKind kind;
        std::int32_t nSlot;   // its number among the subfolders, or -1
        std::int32_t nFacts;  // into facts, or -1
    };
    struct Fact {
        EntryFacts facts;
        bool bOk = false;  // false: gone, or unreadable, when it was read
    };

    CDirReader reader;
    OpenResult result = OpenResult::kFailed;
    std::string names;  // kept names, each followed by its terminator
    std::vector<Entry> entries;
    std::vector<Fact> facts;
    std::vector<std::uint32_t> slotEntries;  // entry of each subfolder slot
    // The listing goes on in reader after entries: a folder too large to
    // hold whole is finished by the walk itself.
    bool bPartial = false;
    bool bComplete = false;  // false when a stop cut the reading short
    FolderScope scope{false, 0};
    std::size_t bytes = 0;

    std::shared_ptr<CListing> parent;
    std::uint32_t nSlot = 0;
    std::string name;  // as the parent lists it
    WalkKey key;

    // A deep walk gives back the descriptors of folders far above it: then
    // no reader may open a subfolder through this one. Set under the
    // pool's lock; nOpening counts readers inside such an open.
    bool bReleased = false;
    std::atomic<int> nOpening{0};
};

class CReadAheadPool {
public:
    // Starts up to nThreads readers; fewer when the platform refuses some
    // (the walk then reads more itself). Readers stop when running clears.
    // With nWaitingThreads above nThreads, that many are started, and the
    // ones beyond nThreads take work only once reads are seen waiting on
    // the disk.
    CReadAheadPool(const std::atomic<bool>& running, ReadAheadRules rules, int nThreads,
                   int nWaitingThreads = 0);
    // Ends and joins every reader.
    ~CReadAheadPool();
    CReadAheadPool(const CReadAheadPool&) = delete;
    CReadAheadPool& operator=(const CReadAheadPool&) = delete;

    // The listing of the root, opened already in root (which it takes),
    // read on the calling thread.
    std::shared_ptr<CListing> ReadRoot(CDirReader& root);
    // The listing of subfolder nSlot of parent: the one a reader prepared
    // (waiting for it if a reader is on it), or read now on this thread.
    std::shared_ptr<CListing> Take(const std::shared_ptr<CListing>& parent, std::uint32_t nSlot,
                                   const char* pszName);
    // The same, but never what was read before: the folder may have changed.
    std::shared_ptr<CListing> ReadNow(const std::shared_ptr<CListing>& parent, std::uint32_t nSlot,
                                      const char* pszName);
    // Forgets everything read ahead at key and below: the walk left it.
    void Drop(const WalkKey& key);
    // Gives back the descriptor of a folder the walk holds far above where
    // it is, once no reader opens through it; Reopened says it is back.
    void Release(CListing& listing);
    void Reopened(CListing& listing);
    // Out of descriptors: closes everything read ahead, waits for the
    // readers' open folders to close, and holds half as many folders from
    // now on (at the end none: the walk then reads alone).
    void Shed();
    bool Running() const { return m_running && !m_bShutdown; }

    int Threads() const { return static_cast<int>(m_threads.size()); }

    // How many readers fit a machine of nCores: from cached data, one a
    // core, the walk's own thread being mostly idle, and none on a single
    // core, where a reader only adds switches; beyond a few the walk,
    // which reports everything in order, is the limit. Reads that wait on
    // the disk want more of them in flight than there are cores.
    static int ThreadsWhenCached(unsigned nCores) {
        return nCores <= 1 ? 0 : static_cast<int>(std::min(nCores, 8u));
    }
    static int ThreadsWhenWaiting(unsigned nCores) {
        return static_cast<int>(std::clamp(2 * nCores, 8u, 16u));
    }

    // How far the readers may get ahead of the walk; fewer folders where
    // the descriptor limit is low.
    static constexpr std::size_t kWindowFolders = 128;
    static constexpr std::size_t kMinWindowFolders = 4;
    static constexpr std::size_t kWindowBytes = 2u << 20;
    // A listing larger than this is finished by the walk, not held.
    static constexpr std::size_t kListingBytes = 256u << 10;

private:
    struct Task {
        std::shared_ptr<CListing> parent;
        std::uint32_t nSlot;
    };
    struct Ticket {
        std::atomic<bool> bCancelled{false};
    };

    void Work(int nIndex);
    void WaitForWork(std::unique_lock<std::mutex>& lock);
    void NoteReadLocked(std::chrono::steady_clock::duration took);
    std::shared_ptr<CListing> Read(const std::shared_ptr<CListing>& parent, std::uint32_t nSlot,
                                   const char* pszName, const Ticket* pTicket = nullptr) const;
    void List(CListing& listing, const Ticket* pTicket) const;
    bool GoOn(const Ticket* pTicket) const;
    void PublishLocked(const std::shared_ptr<CListing>& listing);
    bool DropLocked(WalkKey key);
    void WakeReaders(std::size_t nTasks);
    bool WindowFullLocked() const;
    bool WindowLowLocked() const;

    const std::atomic<bool>& m_running;
    const ReadAheadRules m_rules;

    std::mutex m_mutex;
    std::condition_variable m_work;  // readers: a task or room appeared
    std::condition_variable m_done;  // the walk: a listing it waits for
    std::map<WalkKey, Task> m_pending;
    std::map<WalkKey, std::shared_ptr<Ticket>> m_reading;
    std::map<WalkKey, std::shared_ptr<CListing>> m_ready;
    std::size_t m_readyBytes = 0;
    std::size_t m_nWindowFolders = kWindowFolders;
    std::atomic<bool> m_bShutdown{false};
    std::size_t m_nIdle = 0;
    bool m_bWalkWaits = false;            // readers waiting for a task or for room
    const WalkKey* m_pAwaited = nullptr;  // the folder the walk waits for
    // Readers with an index below this take work; the others wait on
    // m_grow until reads are seen waiting on the disk.
    int m_nActive = 0;
    int m_nSlowReads = 0;
    std::condition_variable m_grow;
    std::vector<std::thread> m_threads;
};

// What the walk's cursors share when descriptors run short. Walk thread only.
struct DescriptorShortage {
    const std::atomic<bool>* pRunning = nullptr;
    // Gives back folders the walk holds open above where it is, all but
    // the one an open starts from; true when it gave back any.
    std::function<bool(const CDirReader& from)> makeRoom;
    // A whole wait went by without a descriptor: the process is starved,
    // and later folders of the walk do not wait again.
    bool bStarved = false;
};

// The walk's view of one open folder at one depth. Without a pool it reads
// the folder itself, entry by entry; with one it serves what the pool read
// and checks, at each point where the walk would read, that the folder has
// not changed since, reading afresh when it has.
class CFolderCursor {
public:
    // pReports counts the walk's reports to its sink: only a report can
    // change a folder from within the search.
    void Use(CReadAheadPool* pPool, DescriptorShortage* pShortage, const std::uint64_t* pReports) {
        m_pPool = pPool;
        m_pShortage = pShortage;
        m_pReports = pReports;
    }

    // Lists the open folder root, which it takes.
    void OpenRoot(CDirReader& root);
    OpenResult OpenSub(CFolderCursor& parent, const char* pszName);
    // Gives back the folder's descriptor where it can (only a folder read
    // whole, through the pool); Reopen takes it again, by its path
    // relative to the open folder ancestor.
    void Release();
    bool IsReleased() const { return Reader().IsReleased(); }
    OpenResult Reopen(const CFolderCursor& ancestor, const std::string& strRelative);
    // The listing stopped on a read error, or the folder could not be read
    // again when it had changed since it was read ahead.
    bool ReadFailed() const { return m_bReadFailed || Reader().ReadFailed(); }
    // The next entry the walk may care about; without a pool every entry.
    const char* Next(EntryKind& kind);
    // The facts of the entry Next returned last (pszName).
    bool Facts(const char* pszName, EntryFacts& facts);
    FolderId Id() const { return Reader().Id(); }
    bool IsOneOf(const std::vector<FolderMark>& marks, const char* pszName) const {
        return Reader().IsOneOf(marks, pszName);
    }
    bool Holds(const CDirReader& reader) const { return &Reader() == &reader; }
    void Close();

private:
    const CDirReader& Reader() const { return m_listing ? m_listing->reader : m_reader; }
    CDirReader& Reader() { return m_listing ? m_listing->reader : m_reader; }
    void LeaveCurrent();
    void Verify();
    bool StillUnchanged();

    template <class Open>
    OpenResult Persist(const CDirReader& from, Open open);

    CReadAheadPool* m_pPool = nullptr;
    DescriptorShortage* m_pShortage = nullptr;
    const std::uint64_t* m_pReports = nullptr;
    CDirReader m_reader;  // without a pool
    std::shared_ptr<CListing> m_listing;
    std::size_t m_nNext = 0;
    std::int32_t m_nCurrent = -1;
    bool m_bCurrentTaken = false;
    std::uint32_t m_nLateSlots = 0;  // subfolders met after a partial listing
    bool m_bVerified = false;        // checked at the first Next
    bool m_bReadFailed = false;      // found changed, and not read again
    bool m_bFactsTrusted = false;    // the listing's facts, as last checked
    // The walk's report count when the listing was last found unchanged;
    // none since then, it still is (as far as the search itself goes).
    std::uint64_t m_nUnchangedAt = kNeverChecked;
    static constexpr std::uint64_t kNeverChecked = ~std::uint64_t{0};
};
