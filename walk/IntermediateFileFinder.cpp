// The intermediate-file search: a depth-first walk that reads each folder
// once, walks its subfolders first and then reports its own matches grouped
// by pattern.
#include "walk/IntermediateFileFinder.h"

#include <algorithm>
#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "walk/DirReader.h"
#include "walk/FileUtil.h"
#include "walk/FolderMatches.h"
#include "walk/MatchRules.h"
#include "walk/ReadAheadPool.h"

namespace {

// A lost folder's listing still names the subfolders the walk had not
// reached: none of them is searched now. An entry the listing could not
// type may be a file, and is not counted.
std::uint64_t SubfoldersLeft(CFolderCursor& reader, const CFolderExclusion& exclusion) {
    std::uint64_t n = 0;
    EntryKind kind;
    while (const char* pszName = reader.Next(kind)) {
        n += kind == EntryKind::kFolder && !IsDotOrDotDot(pszName) &&
             !exclusion.Excludes(pszName, std::strlen(pszName));
    }
    return n;
}

// Project files are files: a folder named App.vcxproj does not make its
// parent a project, nor does a link to one, which a listing of Linux
// names as no folder. A link to a file counts: it opens as the file. The
// entry is looked at while it is still the cursor's current one (free on
// Windows); only names of project files get this far, and the first one
// that is a file ends the looking, so that is a call per project folder.
bool IsProjectFile(CFolderCursor& reader, const char* pszName, EntryKind kind) {
    if (kind == EntryKind::kFolder) return false;
    EntryFacts facts;
    return reader.Facts(pszName, facts) && !facts.isFolder && !facts.leadsToFolder;
}

}  // namespace

// What the worker keeps while it walks. One level per depth, reused for
// every folder at that depth, so a walk allocates only when it meets a
// deeper or fuller folder than before, and one identity per folder entered:
// memory follows the tree's depth, its largest folder and its number of
// folders, never the number of files.
struct CIntermediateFileFinder::Walk {
    struct Level {
        CFolderCursor reader;
        FolderScope scope;
        CFolderMatches found;
        std::size_t nPathEnd = 0;  // where its path ends in path
        bool bLost = false;        // released, and not there to be reopened
    };

    Level& At(std::size_t nDepth) {
        while (levels.size() <= nDepth) {
            levels.push_back(std::make_unique<Level>());
            levels.back()->reader.Use(pPool, &shortage, &nReports);
        }
        return *levels[nDepth];
    }
    void ReleaseAbove(std::size_t nDepth);
    bool MakeRoom(const CDirReader& from);
    OpenResult Reopen(std::size_t nDepth);
    // False when the folder was walked already: a bind mount shows one
    // folder in two places, and a file must never be listed twice.
    bool FirstVisit(const FolderId& id) { return pVisited->insert(id).second; }

    CReadAheadPool* pPool = nullptr;
    DescriptorShortage shortage;
    std::size_t nHeldMost = 0;  // levels that may hold a descriptor at once
    std::size_t nCurrent = 0;   // the level whose folder the walk lists
    static constexpr std::size_t kFewestHeld = 3;
    std::vector<std::unique_ptr<Level>> levels;
    // Every folder entered so far, by this walk or an earlier one of its run.
    std::unordered_set<FolderId, FolderIdHash>* pVisited = nullptr;
    std::string path;            // the current folder, with a trailing separator
    std::uint64_t nReports = 0;  // calls to the sink so far
};

// A deep walk holds the root, the folders nearest the top and the two
// deepest ones; a folder in between gives its descriptor back until the
// walk returns to it. The parent of the deepest folder is kept: a folder
// found changed is read again through it.
void CIntermediateFileFinder::Walk::ReleaseAbove(std::size_t nDepth) {
    if (nDepth < 2 || nDepth + 1 < nHeldMost) return;
    std::size_t nHeld = 0;
    for (std::size_t i = 0; i <= nDepth; ++i) nHeld += levels[i]->reader.IsReleased() ? 0 : 1;
    for (std::size_t i = nDepth - 1; i >= 1 && nHeld >= nHeldMost; --i) {
        CFolderCursor& reader = levels[i]->reader;
        if (reader.IsReleased()) continue;
        reader.Release();
        if (reader.IsReleased()) --nHeld;
    }
}

// Out of descriptors: the walk holds half as many folders from now on, and
// gives back every folder it holds but the root, the folder being listed
// and the one the open starts from (a folder reopened starts from the
// nearest held one above it, a folder read again from its parent).
bool CIntermediateFileFinder::Walk::MakeRoom(const CDirReader& from) {
    if (nCurrent < 2) return false;
    std::size_t nHeld = 0;
    for (std::size_t i = 0; i <= nCurrent; ++i) nHeld += levels[i]->reader.IsReleased() ? 0 : 1;
    nHeldMost = std::max(kFewestHeld, nHeld / 2);
    bool bGave = false;
    for (std::size_t i = nCurrent - 1; i >= 1; --i) {
        CFolderCursor& reader = levels[i]->reader;
        if (reader.Holds(from) || reader.IsReleased()) continue;
        reader.Release();
        bGave = bGave || reader.IsReleased();
    }
    return bGave;
}

// Opens the released folder at nDepth again from the nearest folder above
// it that is still open; path names the folder.
OpenResult CIntermediateFileFinder::Walk::Reopen(std::size_t nDepth) {
    std::size_t nFrom = nDepth - 1;
    while (nFrom > 0 && levels[nFrom]->reader.IsReleased()) --nFrom;
    const std::size_t nStart = levels[nFrom]->nPathEnd;
    const std::string strRelative = path.substr(nStart, levels[nDepth]->nPathEnd - 1 - nStart);
    return levels[nDepth]->reader.Reopen(levels[nFrom]->reader, strRelative);
}

CIntermediateFileFinder::CIntermediateFileFinder(CFindNotify* pNotify) : m_pNotify(pNotify) {}

CIntermediateFileFinder::~CIntermediateFileFinder() {
    // The worker runs this class's code: it must end before the members go.
    EndWorker();
}

bool CIntermediateFileFinder::StartFind(const std::string& strFolder, bool bSubFolder,
                                        int nFolderMode, int nTypeMask, int nTimeMode, int nDays,
                                        bool bOlder) {
    if (!FolderExists(strFolder)) return false;
    // The root is opened here, once: a path that leads elsewhere a moment
    // later must not give the walk one folder and the identity another.
    CDirReader root;
    FolderId rootId;
    const OpenResult rootResult = root.OpenPath(strFolder);
    if (rootResult == OpenResult::kOpened) {
        rootId = root.Id();
    } else if (!ReadFolderId(strFolder, rootId)) {
        return false;
    }
    EndWorker();
    m_root.Swap(root);
    m_rootResult = rootResult;
    m_rootId = rootId;
    m_nFolderMode = nFolderMode;
    m_nTypeMask = nTypeMask;
    m_bSubFolder = bSubFolder;
    m_nTimeMode = nTimeMode;
    m_nDays = nDays;
    m_strFolder = strFolder;
    m_bOlder = bOlder;
    m_exclusion = m_nextExclusion;
    m_nUnreadable = 0;
    if (BeginThread()) return true;
    m_root.Close();
    return false;
}

bool CIntermediateFileFinder::StopFind() { return Stop(); }

unsigned CIntermediateFileFinder::Run() {
    WalkTree();
    // Every reader has ended: a sink may delete the finder right here, and
    // nothing after this touches it.
    if (m_bRunning) m_pNotify->OnFindEnd();
    // The flag stays set after a natural end: a later StopFind returns true.
    return 0;
}

void CIntermediateFileFinder::WalkTree() {
    // Declared first so that it ends, joining its readers, after the walk's
    // folders are closed.
    std::optional<CReadAheadPool> pool;
    int nThreads = m_nReadAheadThreads;
    int nWaitingThreads = 0;
    if (nThreads == kDefaultReadAheadThreads) {
        const unsigned nCores = UsableCores();
        nThreads = CReadAheadPool::ThreadsWhenCached(nCores);
        nWaitingThreads = CReadAheadPool::ThreadsWhenWaiting(nCores);
    }
    if (nThreads > 0 || nWaitingThreads > 0) {
        ReadAheadRules rules;
        rules.root = {true, m_nTypeMask};
        rules.subfolder = [this](const FolderScope& parent, const char* pszName, std::size_t len) {
            return SubfolderScope(m_nTypeMask, m_nFolderMode, parent.bPasses, pszName, len);
        };
        rules.use = [](const FolderScope& scope, const char* pszName, std::size_t len,
                       EntryKind kind) {
            return UseOf(scope.nKinds, ClassifyName(pszName, len), kind == EntryKind::kFolder);
        };
        rules.bSubFolders = m_bSubFolder;
        rules.excluded = m_exclusion;
        pool.emplace(m_bRunning, std::move(rules), nThreads, nWaitingThreads);
    }
    Walk walk;
    walk.pVisited = &m_visited;
    walk.pPool = pool ? &*pool : nullptr;
    walk.shortage.pRunning = &m_bRunning;
    walk.shortage.makeRoom = [&walk](const CDirReader& from) { return walk.MakeRoom(from); };
    walk.nHeldMost = std::max<std::size_t>(FolderDescriptorBudget(), Walk::kFewestHeld + 1);
    walk.path = m_strFolder;
    EnsureFolderSeparator(walk.path);
    Walk::Level& root = walk.At(0);
    root.nPathEnd = walk.path.size();
    if (m_rootResult == OpenResult::kOpened) {
        root.reader.OpenRoot(m_root);
        walk.FirstVisit(root.reader.Id());
        // The root's own files are looked for whatever the folder rule.
        root.scope = {true, m_nTypeMask};
        FindInFolder(walk, 0);
    } else if (m_bRunning) {
        Unreadable();
    }
    // A search of its own keeps nothing for the next.
    if (m_run.empty()) m_visited = {};
}

// The folder at nDepth is open with its scope set, and walk.path names it.
// One pass over its listing both walks the subfolders, in listing order,
// and remembers the matching names, which are reported afterwards pattern
// by pattern.
void CIntermediateFileFinder::FindInFolder(Walk& walk, std::size_t nDepth) {
    Walk::Level& level = walk.At(nDepth);
    if (!m_bRunning) {
        level.reader.Close();
        return;
    }
    walk.nCurrent = nDepth;
    ++walk.nReports;
    m_pNotify->OnFindFolder(walk.path);
    CFolderMatches& found = level.found;
    found.Begin(level.scope.nKinds);
    level.bLost = false;
    bool bProject = false;
    EntryKind kind;
    while (const char* pszName = level.reader.Next(kind)) {
        if (!IsDotOrDotDot(pszName)) {
            const std::size_t len = std::strlen(pszName);
            if (!bProject && IsProjectFileName(pszName, len)) {
                bProject = IsProjectFile(level.reader, pszName, kind);
            }
            if (found.Kinds() != 0) {
                // Facts are read while the entry is the listing's current
                // one: where the listing carries them (Windows) that costs no
                // call. An entry gone by now is passed over without a word.
                const int nPattern = found.Offer(pszName, len, kind);
                EntryFacts facts;
                if (nPattern >= 0 && level.reader.Facts(pszName, facts)) {
                    found.Add(pszName, len, nPattern, facts);
                }
            }
            if (m_bSubFolder && kind != EntryKind::kNotFolder &&
                !m_exclusion.Excludes(pszName, len)) {
                WalkSubfolder(walk, nDepth, pszName, len);
                // Moved away while the walk was below it: the rest of it
                // is no longer where the walk looks.
                if (level.bLost) {
                    m_nUnreadable.fetch_add(SubfoldersLeft(level.reader, m_exclusion),
                                            std::memory_order_relaxed);
                    break;
                }
            }
        }
        if (!m_bRunning) break;
    }
    if (m_bRunning && !level.bLost && level.reader.ReadFailed()) Unreadable();
    // Even a folder lost under the walk, or one a stop cut short: the files
    // of its subfolders were reported under its name.
    if (bProject) {
        ++walk.nReports;
        m_pNotify->OnFindProjectFolder(walk.path);
    }
    if (m_bRunning && !level.bLost && !found.Matches().empty()) {
        found.End();
        for (int nPattern = 0; nPattern < kPatternCount; ++nPattern) {
            if (found.Has(nPattern)) FindPattern(walk, nDepth, nPattern);
        }
    }
    level.reader.Close();
}

// Enters the entry pszName of the folder at nDepth if it opens as a folder
// that is neither a link, a system folder nor one walked already.
void CIntermediateFileFinder::WalkSubfolder(Walk& walk, std::size_t nDepth, const char* pszName,
                                            std::size_t len) {
    Walk::Level& parent = walk.At(nDepth);
    Walk::Level& child = walk.At(nDepth + 1);
    const OpenResult result = child.reader.OpenSub(parent.reader, pszName);
    if (result != OpenResult::kOpened) {
        // A stop cuts a wait for a descriptor short: that is no failure.
        if (result == OpenResult::kFailed && m_bRunning) Unreadable();
        return;
    }
    // A folder of the run is searched by its own rules, not as part of this.
    if ((!m_run.empty() && child.reader.IsOneOf(m_run, pszName)) ||
        !walk.FirstVisit(child.reader.Id())) {
        child.reader.Close();
        return;
    }
    child.scope = SubfolderScope(m_nTypeMask, m_nFolderMode, parent.scope.bPasses, pszName, len);
    const std::size_t nPathLength = walk.path.size();
    walk.path.append(pszName, len);
    walk.path += kPathSeparator;
    child.nPathEnd = walk.path.size();
    walk.ReleaseAbove(nDepth);
    FindInFolder(walk, nDepth + 1);
    walk.nCurrent = nDepth;
    walk.path.resize(nPathLength);
    if (parent.reader.IsReleased() && m_bRunning && walk.Reopen(nDepth) != OpenResult::kOpened) {
        parent.bLost = true;
        Unreadable();
    }
}

// Reports the remembered names of one pattern that pass the time filter. No
// attribute is looked at: a folder named like a pattern (x.obj) is reported
// too, with size 0, as a listing gives it, besides being walked.
void CIntermediateFileFinder::FindPattern(Walk& walk, std::size_t nDepth, int nPattern) {
    if (!m_bRunning) return;
    Walk::Level& level = walk.At(nDepth);
    const std::int64_t threshold =
        TimeThreshold(static_cast<std::int64_t>(std::time(nullptr)), m_nDays);
    const std::size_t nPathLength = walk.path.size();
    for (const CFolderMatches::Match& match : level.found.Matches()) {
        if (match.nPattern != nPattern) continue;
        const EntryFacts& facts = match.facts;
        if (PassesTimeFilter(m_nTimeMode, m_bOlder, facts.created.seconds, facts.modified.seconds,
                             threshold)) {
            walk.path.append(level.found.Name(match), match.length);
            ++walk.nReports;
            m_pNotify->OnFindFileStamps(walk.path, facts.size, facts.created, facts.modified,
                                        facts.id);
            walk.path.resize(nPathLength);
        }
        if (!m_bRunning) return;
    }
}
