// The read-ahead pool and the walk's cursor over what it read.
#include "walk/ReadAheadPool.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <new>
#include <system_error>

#include "walk/MatchRules.h"

namespace {

bool StartsWith(const WalkKey& key, const WalkKey& prefix) {
    return key.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), key.begin());
}

WalkKey ChildKey(const WalkKey& parent, std::uint32_t nSlot) {
    WalkKey key;
    key.reserve(parent.size() + 1);
    key = parent;
    key.push_back(nSlot);
    return key;
}

template <class Map, class Fn>
bool ForPrefix(Map& map, const WalkKey& prefix, Fn fn) {
    bool bAny = false;
    for (auto it = map.lower_bound(prefix); it != map.end() && StartsWith(it->first, prefix);) {
        fn(it->second);
        it = map.erase(it);
        bAny = true;
    }
    return bAny;
}

// Out of descriptors with nothing more of our own to give back: other
// threads of the process may close theirs soon. About a second and a half
// in all, then the folder counts as unreadable (and says so).
constexpr int kDescriptorWaits = 16;
constexpr std::chrono::milliseconds kLongestDescriptorWait{128};

}  // namespace

CReadAheadPool::CReadAheadPool(const std::atomic<bool>& running, ReadAheadRules rules, int nThreads,
                               int nWaitingThreads)
    : m_running(running),
      m_rules(std::move(rules)),
      m_nWindowFolders(std::clamp(FolderDescriptorBudget(), kMinWindowFolders, kWindowFolders)),
      m_nActive(nThreads) {
    const int nMost = std::max(nThreads, nWaitingThreads);
    // Under the lock: a reader reads the count of its peers as it starts.
    std::lock_guard<std::mutex> lock(m_mutex);
    for (int i = 0; i < nMost; ++i) {
        try {
            m_threads.emplace_back(&CReadAheadPool::Work, this, i);
        } catch (const std::system_error&) {
            break;
        } catch (const std::bad_alloc&) {
            break;
        }
    }
}

CReadAheadPool::~CReadAheadPool() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bShutdown = true;
    }
    m_work.notify_all();
    m_grow.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

std::shared_ptr<CListing> CReadAheadPool::ReadRoot(CDirReader& root) {
    auto listing = std::make_shared<CListing>();
    listing->scope = m_rules.root;
    listing->reader.Swap(root);
    listing->result = OpenResult::kOpened;
    List(*listing, nullptr);
    std::lock_guard<std::mutex> lock(m_mutex);
    PublishLocked(listing);
    return listing;
}

std::shared_ptr<CListing> CReadAheadPool::Take(const std::shared_ptr<CListing>& parent,
                                               std::uint32_t nSlot, const char* pszName) {
    const WalkKey key = ChildKey(parent->key, nSlot);
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            const auto ready = m_ready.find(key);
            if (ready != m_ready.end()) {
                std::shared_ptr<CListing> listing = std::move(ready->second);
                m_readyBytes -= listing->bytes;
                m_ready.erase(ready);
                // Readers that found the window full sleep until it has
                // drained by a quarter, then refill it together: one wake-up
                // per folder would cost more than the reading saves.
                if (WindowLowLocked()) WakeReaders(m_nIdle);
                return listing;
            }
            // A reader on it is nearly done: waiting beats reading twice. A
            // stop makes it give up at its next entry, which wakes us too.
            if (m_reading.count(key) == 0) break;
            m_bWalkWaits = true;
            m_pAwaited = &key;
            m_done.wait(lock);
            m_pAwaited = nullptr;
            m_bWalkWaits = false;
        }
        m_pending.erase(key);
    }
    return ReadNow(parent, nSlot, pszName);
}

std::shared_ptr<CListing> CReadAheadPool::ReadNow(const std::shared_ptr<CListing>& parent,
                                                  std::uint32_t nSlot, const char* pszName) {
    Drop(ChildKey(parent->key, nSlot));
    const auto start = std::chrono::steady_clock::now();
    std::shared_ptr<CListing> listing = Read(parent, nSlot, pszName);
    const auto took = std::chrono::steady_clock::now() - start;
    // The walk's own reads tell too: with no reader started yet (one
    // core), they are the only ones.
    std::lock_guard<std::mutex> lock(m_mutex);
    NoteReadLocked(took);
    if (listing->bComplete && !listing->slotEntries.empty()) PublishLocked(listing);
    return listing;
}

void CReadAheadPool::Drop(const WalkKey& key) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (DropLocked(key)) WakeReaders(m_threads.size());
}

// The key is a copy: a caller's key may live in a node that the first
// erase frees.
bool CReadAheadPool::DropLocked(WalkKey key) {
    const bool bReady = ForPrefix(m_ready, key, [this](const std::shared_ptr<CListing>& listing) {
        m_readyBytes -= listing->bytes;
    });
    ForPrefix(m_pending, key, [](const Task&) {});
    const bool bReading = ForPrefix(
        m_reading, key, [](const std::shared_ptr<Ticket>& ticket) { ticket->bCancelled = true; });
    return bReady || bReading;
}

void CReadAheadPool::Release(CListing& listing) {
    if (listing.bPartial) return;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        listing.bReleased = true;
    }
    // A reader that took a subfolder before the flag is inside one open.
    while (listing.nOpening.load(std::memory_order_acquire) != 0) std::this_thread::yield();
    listing.reader.Release();
}

void CReadAheadPool::Reopened(CListing& listing) {
    std::lock_guard<std::mutex> lock(m_mutex);
    listing.bReleased = false;
}

void CReadAheadPool::Shed() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const std::size_t nWindow = m_nWindowFolders / 2;
    // Closed while the window holds nothing, so no reader takes another
    // folder meanwhile: a reader's folder closes as its read ends, at its
    // next entry once cancelled.
    m_nWindowFolders = 0;
    while (!m_ready.empty()) DropLocked(m_ready.begin()->first);
    for (auto& reading : m_reading) reading.second->bCancelled = true;
    m_bWalkWaits = true;
    m_done.wait(lock, [this] { return m_reading.empty(); });
    m_bWalkWaits = false;
    m_nWindowFolders = nWindow;
}

void CReadAheadPool::PublishLocked(const std::shared_ptr<CListing>& listing) {
    // The walk still lists a partial folder: its reader is not to be shared
    // until then, so the walk opens that folder's subfolders itself.
    if (listing->bPartial) return;
    for (std::uint32_t nSlot = 0; nSlot < listing->slotEntries.size(); ++nSlot) {
        m_pending.emplace(ChildKey(listing->key, nSlot), Task{listing, nSlot});
    }
    if (!WindowFullLocked()) WakeReaders(listing->slotEntries.size());
}

// Called under the lock. Waking a reader costs a system call and a switch:
// wake only as many as there is work for.
void CReadAheadPool::WakeReaders(std::size_t nTasks) {
    for (std::size_t i = 0; i < nTasks && i < m_nIdle; ++i) m_work.notify_one();
}

bool CReadAheadPool::WindowLowLocked() const {
    return m_ready.size() + m_reading.size() <= m_nWindowFolders * 3 / 4 &&
           m_readyBytes <= kWindowBytes * 3 / 4;
}

bool CReadAheadPool::WindowFullLocked() const {
    return m_ready.size() + m_reading.size() >= m_nWindowFolders || m_readyBytes >= kWindowBytes;
}

// Each reader takes the earliest folder in walk order that nobody reads yet,
// as long as the window allows; a folder earlier than the furthest one held
// pushes that one out, so the window always holds what the walk needs next.
void CReadAheadPool::Work(int nIndex) {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        if (m_bShutdown || !m_running) return;
        if (nIndex >= m_nActive) {
            m_grow.wait(lock);
            continue;
        }
        if (m_pending.empty()) {
            WaitForWork(lock);
            continue;
        }
        if (WindowFullLocked()) {
            if (m_ready.empty() || !(m_pending.begin()->first < m_ready.rbegin()->first)) {
                WaitForWork(lock);
                continue;
            }
            const std::shared_ptr<CListing> last = m_ready.rbegin()->second;
            DropLocked(last->key);
            m_pending.emplace(last->key, Task{last->parent, last->nSlot});
            continue;
        }
        const auto first = m_pending.begin();
        const WalkKey key = first->first;
        const Task task = std::move(first->second);
        m_pending.erase(first);
        // The walk will open it itself, once it holds the parent again.
        if (task.parent->bReleased) continue;
        task.parent->nOpening.fetch_add(1, std::memory_order_relaxed);
        const auto ticket = std::make_shared<Ticket>();
        m_reading[key] = ticket;
        const CListing& parent = *task.parent;
        const char* pszName =
            parent.names.data() + parent.entries[parent.slotEntries[task.nSlot]].offset;
        lock.unlock();
        const auto start = std::chrono::steady_clock::now();
        std::shared_ptr<CListing> listing = Read(task.parent, task.nSlot, pszName, ticket.get());
        const auto took = std::chrono::steady_clock::now() - start;
        lock.lock();
        NoteReadLocked(took);
        const auto reading = m_reading.find(key);
        if (reading != m_reading.end() && reading->second == ticket) m_reading.erase(reading);
        if (listing->result == OpenResult::kNoDescriptor) {
            // Left to the walk, which waits for a descriptor; the window
            // shrinks to what the limit let through.
            m_nWindowFolders = (m_ready.size() + m_reading.size()) / 2;
        } else if (!ticket->bCancelled && listing->bComplete) {
            m_readyBytes += listing->bytes;
            m_ready[key] = listing;
            PublishLocked(listing);
        }
        // Only the folder the walk waits for wakes it (any, while it sheds):
        // a wake-up per folder read would cost more than the reading saves.
        if (m_bWalkWaits && (m_pAwaited == nullptr || *m_pAwaited == key)) m_done.notify_all();
    }
}

// A folder cached is read in tens of microseconds; one that takes
// milliseconds waited on the disk (or on a busy machine's scheduler, where
// more readers cost little). A few such reads wake the readers kept back.
void CReadAheadPool::NoteReadLocked(std::chrono::steady_clock::duration took) {
    constexpr auto kSlowRead = std::chrono::milliseconds(1);
    constexpr int kSlowReadsToGrow = 2;
    const int nAll = static_cast<int>(m_threads.size());
    if (m_nActive >= nAll || took < kSlowRead || ++m_nSlowReads < kSlowReadsToGrow) return;
    m_nActive = nAll;
    m_grow.notify_all();
}

void CReadAheadPool::WaitForWork(std::unique_lock<std::mutex>& lock) {
    ++m_nIdle;
    m_work.wait(lock);
    --m_nIdle;
}

std::shared_ptr<CListing> CReadAheadPool::Read(const std::shared_ptr<CListing>& parent,
                                               std::uint32_t nSlot, const char* pszName,
                                               const Ticket* pTicket) const {
    auto listing = std::make_shared<CListing>();
    listing->parent = parent;
    listing->nSlot = nSlot;
    listing->key = ChildKey(parent->key, nSlot);
    listing->name = pszName;
    listing->scope = m_rules.subfolder(parent->scope, pszName, std::strlen(pszName));
    listing->result = listing->reader.OpenSub(parent->reader, pszName);
    if (pTicket != nullptr) parent->nOpening.fetch_sub(1, std::memory_order_release);
    if (listing->result == OpenResult::kOpened) {
        List(*listing, pTicket);
    } else {
        listing->bComplete = listing->result != OpenResult::kNoDescriptor;
    }
    return listing;
}

// A stop, the end of the walk, or the walk leaving the folder ends a read
// at the next entry: one entry is the longest any thread goes on.
bool CReadAheadPool::GoOn(const Ticket* pTicket) const {
    return m_running && !m_bShutdown && (pTicket == nullptr || !pTicket->bCancelled);
}

// Keeps the subfolders, the names a solution cache needs beside it, and the
// names the walk reports, with the facts of these last, read as each is listed (where the listing
// holds them, that costs nothing; elsewhere, on a cold disk, each is a read of its own).
void CReadAheadPool::List(CListing& listing, const Ticket* pTicket) const {
    CDirReader& reader = listing.reader;
    EntryKind kind;
    while (const char* pszName = reader.Next(kind)) {
        if (!GoOn(pTicket)) return;
        if (IsDotOrDotDot(pszName)) continue;
        const std::size_t len = std::strlen(pszName);
        const NameUse use = listing.scope.nKinds != 0
                                ? m_rules.use(listing.scope, pszName, len, kind)
                                : NameUse::kNone;
        const bool bMatch = use == NameUse::kCandidate;
        const bool bSub = m_rules.bSubFolders && kind != EntryKind::kNotFolder &&
                          !m_rules.excluded.Excludes(pszName, len);
        // A project file's name is kept for the walk wherever it lies,
        // whether or not anything is looked for in its folder.
        if (use == NameUse::kNone && !bSub && !IsProjectFileName(pszName, len)) continue;
        CListing::Entry entry{static_cast<std::uint32_t>(listing.names.size()),
                              static_cast<std::uint32_t>(len), kind, -1, -1};
        if (bSub) {
            entry.nSlot = static_cast<std::int32_t>(listing.slotEntries.size());
            listing.slotEntries.push_back(static_cast<std::uint32_t>(listing.entries.size()));
        }
        if (bMatch) {
            entry.nFacts = static_cast<std::int32_t>(listing.facts.size());
            CListing::Fact& fact = listing.facts.emplace_back();
            fact.bOk = reader.Facts(pszName, fact.facts);
        }
        listing.entries.push_back(entry);
        listing.names.append(pszName, len + 1);
        if (listing.names.size() + listing.entries.size() * sizeof(CListing::Entry) +
                listing.facts.size() * sizeof(CListing::Fact) >=
            kListingBytes) {
            listing.bPartial = true;
            break;
        }
    }
    if (!listing.bPartial) reader.EndListing();
    listing.bytes = sizeof(CListing) + listing.names.capacity() +
                    listing.entries.capacity() * sizeof(CListing::Entry) +
                    listing.facts.capacity() * sizeof(CListing::Fact) +
                    listing.slotEntries.capacity() * sizeof(std::uint32_t);
    listing.bComplete = true;
}

// A folder that fails to open for want of a descriptor is never taken for
// an unreadable one: what the pool holds ahead goes first, then the folders
// the walk holds above where it is, then the walk waits a little for other
// threads to close theirs, but only once in a walk: a starved process
// would otherwise wait that long for every folder.
template <class Open>
OpenResult CFolderCursor::Persist(const CDirReader& from, Open open) {
    OpenResult result = open();
    if (result != OpenResult::kNoDescriptor) return result;
    if (m_pPool != nullptr) {
        m_pPool->Shed();
        result = open();
    }
    DescriptorShortage* pShortage = m_pShortage;
    while (result == OpenResult::kNoDescriptor && pShortage != nullptr && pShortage->makeRoom &&
           pShortage->makeRoom(from)) {
        result = open();
    }
    auto wait = std::chrono::milliseconds(1);
    const int nWaits = pShortage != nullptr && pShortage->bStarved ? 0 : kDescriptorWaits;
    for (int n = 0; result == OpenResult::kNoDescriptor && n < nWaits; ++n) {
        if (pShortage != nullptr && pShortage->pRunning != nullptr && !*pShortage->pRunning) break;
        std::this_thread::sleep_for(wait);
        wait = std::min(wait * 2, kLongestDescriptorWait);
        result = open();
    }
    if (pShortage != nullptr && result == OpenResult::kNoDescriptor) pShortage->bStarved = true;
    return result == OpenResult::kNoDescriptor ? OpenResult::kFailed : result;
}

void CFolderCursor::OpenRoot(CDirReader& root) {
    Close();
    if (m_pPool == nullptr) {
        m_reader.Swap(root);
    } else {
        m_listing = m_pPool->ReadRoot(root);
    }
}

// Enters the entry the parent's Next returned last. What was read ahead is
// used only while the parent is unchanged since it was read: a folder gone
// or renamed meanwhile is opened again now, as a walk without read-ahead
// would have opened it at this point.
OpenResult CFolderCursor::OpenSub(CFolderCursor& parent, const char* pszName) {
    Close();
    if (m_pPool == nullptr) {
        return Persist(parent.m_reader, [&] { return m_reader.OpenSub(parent.m_reader, pszName); });
    }
    const CListing& from = *parent.m_listing;
    std::uint32_t nSlot;
    if (parent.m_nCurrent >= 0 && from.entries[parent.m_nCurrent].nSlot >= 0) {
        nSlot = static_cast<std::uint32_t>(from.entries[parent.m_nCurrent].nSlot);
    } else {
        // Past the end of a partial listing: numbered after its kept slots.
        nSlot = static_cast<std::uint32_t>(from.slotEntries.size()) + parent.m_nLateSlots++;
    }
    parent.m_bCurrentTaken = true;
    bool bFresh = !parent.StillUnchanged();
    const OpenResult result = Persist(parent.m_listing->reader, [&] {
        m_listing = bFresh ? m_pPool->ReadNow(parent.m_listing, nSlot, pszName)
                           : m_pPool->Take(parent.m_listing, nSlot, pszName);
        bFresh = true;
        return m_listing->result;
    });
    if (result != OpenResult::kOpened) m_listing.reset();
    return result;
}

void CFolderCursor::Release() {
    if (m_pPool != nullptr && m_listing) m_pPool->Release(*m_listing);
}

OpenResult CFolderCursor::Reopen(const CFolderCursor& ancestor, const std::string& strRelative) {
    const OpenResult result =
        Persist(ancestor.Reader(), [&] { return Reader().Reopen(ancestor.Reader(), strRelative); });
    if (result == OpenResult::kOpened && m_pPool != nullptr && m_listing) {
        m_pPool->Reopened(*m_listing);
    }
    return result;
}

void CFolderCursor::LeaveCurrent() {
    // A subfolder the walk passed without entering: what was read below it
    // is of no use any more.
    if (m_nCurrent >= 0 && !m_bCurrentTaken) {
        const std::int32_t nSlot = m_listing->entries[m_nCurrent].nSlot;
        if (nSlot >= 0) m_pPool->Drop(ChildKey(m_listing->key, static_cast<std::uint32_t>(nSlot)));
    }
    m_nCurrent = -1;
    m_bCurrentTaken = false;
}

// A walk without read-ahead lists a folder after announcing it: whatever
// changed before that point must show, so the folder is listed again if it
// changed since a reader listed it.
void CFolderCursor::Verify() {
    m_bVerified = true;
    m_nUnchangedAt = kNeverChecked;
    m_bFactsTrusted = StillUnchanged();
    if (m_bFactsTrusted || !m_listing->parent) return;
    // The stale listing gives its descriptor back first: at a low limit the
    // fresh one would find no room beside it.
    m_pPool->Drop(m_listing->key);
    if (m_listing->bPartial) {
        m_listing->reader.Close();  // never shared with a reader
    } else {
        m_pPool->Release(*m_listing);
    }
    std::shared_ptr<CListing> fresh;
    const OpenResult result = Persist(m_listing->parent->reader, [&] {
        fresh = m_pPool->ReadNow(m_listing->parent, m_listing->nSlot, m_listing->name.c_str());
        return fresh->result;
    });
    if (result != OpenResult::kOpened) {
        // Gone meanwhile: listed now, it would have shown nothing. Refused,
        // or no descriptor to be had, it was not read.
        m_bReadFailed = result == OpenResult::kFailed;
        fresh = std::make_shared<CListing>();
        fresh->key = m_listing->key;
    }
    m_listing = std::move(fresh);
    m_nUnchangedAt = kNeverChecked;
}

// The folder's status is read again only when the walk reported something
// since it was last found unchanged: a sink may change the files it is
// told of. A change from outside the search before that point is one that
// came a moment later, as a walk without read-ahead might have seen it.
bool CFolderCursor::StillUnchanged() {
    if (m_pReports != nullptr && m_nUnchangedAt == *m_pReports) return true;
    if (!m_listing->reader.Unchanged()) return false;
    if (m_pReports != nullptr) m_nUnchangedAt = *m_pReports;
    return true;
}

const char* CFolderCursor::Next(EntryKind& kind) {
    if (!m_listing) return m_reader.Next(kind);
    if (!m_bVerified) Verify();
    LeaveCurrent();
    if (m_nNext < m_listing->entries.size()) {
        m_nCurrent = static_cast<std::int32_t>(m_nNext++);
        const CListing::Entry& entry = m_listing->entries[m_nCurrent];
        kind = entry.kind;
        return m_listing->names.data() + entry.offset;
    }
    return m_listing->bPartial ? m_listing->reader.Next(kind) : nullptr;
}

bool CFolderCursor::Facts(const char* pszName, EntryFacts& facts) {
    if (m_listing && m_nCurrent >= 0 && m_listing->entries[m_nCurrent].nFacts >= 0) {
        // Checked again if the walk reported anything since it was
        // verified: an entry removed meanwhile must not be reported.
        if (m_bFactsTrusted) m_bFactsTrusted = StillUnchanged();
        if (m_bFactsTrusted) {
            const CListing::Fact& fact = m_listing->facts[m_listing->entries[m_nCurrent].nFacts];
            facts = fact.facts;
            return fact.bOk;
        }
    }
    return Reader().Facts(pszName, facts);
}

void CFolderCursor::Close() {
    if (m_listing) {
        LeaveCurrent();
        if (!m_listing->slotEntries.empty() || m_listing->bPartial) m_pPool->Drop(m_listing->key);
        m_listing.reset();
    }
    m_reader.Close();
    m_nNext = 0;
    m_nCurrent = -1;
    m_bCurrentTaken = false;
    m_nLateSlots = 0;
    m_bVerified = false;
    m_bReadFailed = false;
    m_bFactsTrusted = false;
    m_nUnchangedAt = kNeverChecked;
}
