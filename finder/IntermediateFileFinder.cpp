// The intermediate-file search: a depth-first walk that reads each folder
// once, walks its subfolders first and then reports its own matches grouped
// by pattern.
#include "finder/IntermediateFileFinder.h"

#include <cstring>
#include <ctime>
#include <memory>
#include <optional>
#include <unordered_set>
#include <vector>

#include "finder/DirReader.h"
#include "finder/FileUtil.h"
#include "finder/FolderMatches.h"
#include "finder/MatchRules.h"
#include "finder/ReadAheadPool.h"
#include "finder/TimeText.h"

namespace {

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const {
        return std::hash<std::uint64_t>()(id.index * 0x9e3779b97f4a7c15ULL ^ id.volume);
    }
};

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
    };

    Level& At(std::size_t nDepth) {
        while (levels.size() <= nDepth) {
            levels.push_back(std::make_unique<Level>());
            levels.back()->reader.Use(pPool);
        }
        return *levels[nDepth];
    }
    // False when the folder was walked already: a bind mount shows one
    // folder in two places, and a file must never be listed twice.
    bool FirstVisit(const FolderId& id) { return visited.insert(id).second; }

    CReadAheadPool* pPool = nullptr;
    std::vector<std::unique_ptr<Level>> levels;
    std::unordered_set<FolderId, FolderIdHash> visited;  // every folder entered so far
    std::string path;  // the current folder, with a trailing separator
    CTimeText created;
    CTimeText modified;
};

CIntermediateFileFinder::CIntermediateFileFinder(CFindNotify* pNotify) : m_pNotify(pNotify) {}

CIntermediateFileFinder::~CIntermediateFileFinder() {
    // The worker runs this class's code: it must end before the members go.
    EndWorker();
}

bool CIntermediateFileFinder::StartFind(const std::string& strFolder, bool bSubFolder,
                                        int nFolderMode, int nTypeMask, int nTimeMode, int nDays,
                                        bool bOlder) {
    if (!FolderExists(strFolder)) return false;
    EndWorker();
    m_nFolderMode = nFolderMode;
    m_nTypeMask = nTypeMask;
    m_bSubFolder = bSubFolder;
    m_nTimeMode = nTimeMode;
    m_nDays = nDays;
    m_strFolder = strFolder;
    m_bOlder = bOlder;
    return BeginThread();
}

bool CIntermediateFileFinder::StopFind() { return Stop(); }

unsigned CIntermediateFileFinder::Run() {
    // Declared first so that it ends, joining its readers, after the walk's
    // folders are closed and before the worker returns.
    std::optional<CReadAheadPool> pool;
    if (m_nReadAheadThreads > 0) {
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
        pool.emplace(m_bRunning, std::move(rules), m_nReadAheadThreads);
    }
    Walk walk;
    walk.pPool = pool ? &*pool : nullptr;
    walk.path = m_strFolder;
    EnsureFolderSeparator(walk.path);
    Walk::Level& root = walk.At(0);
    if (root.reader.OpenRoot(m_strFolder)) {
        walk.FirstVisit(root.reader.Id());
        // The root's own files are looked for whatever the folder rule.
        root.scope = {true, m_nTypeMask};
        FindInFolder(walk, 0);
    }
    if (m_bRunning) m_pNotify->OnFindEnd();
    // The flag stays set after a natural end: a later StopFind returns true.
    return 0;
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
    m_pNotify->OnFindFolder(walk.path);
    CFolderMatches& found = level.found;
    found.Begin(level.scope.nKinds);
    EntryKind kind;
    while (const char* pszName = level.reader.Next(kind)) {
        if (!IsDotOrDotDot(pszName)) {
            const std::size_t len = std::strlen(pszName);
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
            if (m_bSubFolder && kind != EntryKind::kNotFolder) {
                WalkSubfolder(walk, nDepth, pszName, len);
            }
        }
        if (!m_bRunning) break;
    }
    if (m_bRunning && !found.Matches().empty()) {
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
    if (child.reader.OpenSub(parent.reader, pszName) != OpenResult::kOpened) return;
    if (!walk.FirstVisit(child.reader.Id())) {
        child.reader.Close();
        return;
    }
    child.scope = SubfolderScope(m_nTypeMask, m_nFolderMode, parent.scope.bPasses, pszName, len);
    const std::size_t nPathLength = walk.path.size();
    walk.path.append(pszName, len);
    walk.path += kPathSeparator;
    FindInFolder(walk, nDepth + 1);
    walk.path.resize(nPathLength);
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
        if (PassesTimeFilter(m_nTimeMode, m_bOlder, facts.created, facts.modified, threshold)) {
            walk.path.append(level.found.Name(match), match.length);
            m_pNotify->OnFindFile(walk.path, facts.size, walk.created.Format(facts.created),
                                  walk.modified.Format(facts.modified));
            walk.path.resize(nPathLength);
        }
        if (!m_bRunning) return;
    }
}
