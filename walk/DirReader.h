// The platform's directory reading, cut to what the search needs: one open
// folder at a time per level, entries in the system's order, and the facts
// of a named entry read relative to the open folder.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "walk/FileStamp.h"

// The path separator the walk writes between names.
extern const char kPathSeparator;

// Gives a folder path exactly one trailing platform separator, judged by the
// platform's own rule (on POSIX a trailing "\" is part of a name).
void EnsureFolderSeparator(std::string& strFolder);

// What the listing alone says about an entry. A symbolic link is never a
// folder to the walk. Maybe means the listing does not tell (a file system
// without entry types): only opening it as a folder decides.
enum class EntryKind { kFolder, kNotFolder, kMaybeFolder };

// The result of opening a subfolder.
enum class OpenResult {
    kOpened,
    kNotFolder,     // the entry is not a folder after all
    kSystem,        // a system folder or the desktop's trash: never walked
    kGone,          // no longer there
    kNoDescriptor,  // the process is out of descriptors: worth trying again
    kFailed,        // refused or otherwise unreadable
};

// Raises the soft limit on open descriptors to the hard one: a walk that
// keeps folders open ahead of itself must not be cut short by a low default.
void RaiseDescriptorLimit();
// How many folders a walk may hold open at once, judged from the limit in
// effect now: a share of it, so that the rest of the process keeps room.
std::size_t FolderDescriptorBudget();
// The cores this process may run on (its affinity, where the system has
// one), at least 1.
unsigned UsableCores();

// Identity of an open folder, to recognise a folder met again through a link
// and to tell the folder a search listed from any other. Device and index
// alone are not enough: a file system may give a removed folder's number to
// the next one made, so generation tells the two apart, where the system
// offers it (on POSIX the birth time in nanoseconds, 0 where the file
// system keeps none; on Windows the upper half of a 128-bit file id, with
// the volume's 64-bit serial). On Windows, where no link below the root is
// entered, a subfolder cannot be met twice and gets an identity that
// matches no other folder.
struct FolderId {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    std::uint64_t generation = 0;
    bool operator==(const FolderId&) const = default;
};

struct FolderIdHash {
    std::size_t operator()(const FolderId& id) const {
        return std::hash<std::uint64_t>()(id.index * 0x9e3779b97f4a7c15ULL ^ id.volume);
    }
};

// A folder that a search of its own covers: its identity, and the last name
// of its real path, which on Windows picks the few folders below a root
// worth reading an identity for.
struct FolderMark {
    FolderId id;
    std::string strName;
};

// Status of one entry. Created falls back to modified where the file
// system keeps no birth time. A folder's size is 0, as a directory listing
// gives it.
struct EntryFacts {
    std::uint64_t size = 0;
    FileStamp created;
    FileStamp modified;
    bool isFolder = false;
    // A link (itself no folder) whose target is a folder; on Windows such
    // a link is a folder itself.
    bool leadsToFolder = false;
    // The file's FoldFileId (walk/ListedFile.h), which a deletion
    // compares; 0 for a folder, or when it cannot be told.
    std::uint64_t id = 0;
};

// Threads: once a reader's listing is done (Next gave null, or EndListing),
// several threads may at once use it as the parent of OpenSub and call
// Facts, Unchanged and Id on it; Close only when no other thread uses it.
//
// One open folder listing. The platform's state is its own (one body per
// platform), so both bodies sit beside this header unchanged.
class CDirReader {
public:
    CDirReader();
    ~CDirReader();
    CDirReader(const CDirReader&) = delete;
    CDirReader& operator=(const CDirReader&) = delete;
    // Hands an open folder from one reader to another (one thread opens
    // the root, the walk lists it).
    void Swap(CDirReader& other) noexcept { m_pState.swap(other.m_pState); }

    // Opens a folder by its path (the root of a walk, which may be reached
    // through links).
    OpenResult OpenPath(const std::string& strPath);
    // Opens the entry pszName of the open folder parent as a folder; a
    // symbolic link (a junction on Windows) is kNotFolder, never followed,
    // and the desktop's trash is kSystem. Cheapest for the entry
    // parent.Next returned last.
    OpenResult OpenSub(const CDirReader& parent, const char* pszName);
    // Gives back the descriptor of a folder whose listing is done, keeping
    // what is known of it; Reopen takes it again. Only a deep walk needs
    // this: one descriptor per level would run out.
    void Release();
    bool IsReleased() const;
    // Opens the released folder again by its path relative to the open
    // folder ancestor; kGone when what is there now is another folder.
    OpenResult Reopen(const CDirReader& ancestor, const std::string& strRelative);
    bool IsOpen() const;
    void Close();
    // The listing has been read to its end: frees what reading it took, and
    // keeps the folder open for OpenSub, Facts and Unchanged (by name, not
    // from the listing). Many folders read ahead stay open at once, and a
    // listing buffer is 32 KiB.
    void EndListing();

    // The next entry's name (valid until the next call or Close), or null at
    // the end of the listing. "." and ".." are returned like any entry.
    const char* Next(EntryKind& kind);
    // True when the listing stopped on a read error rather than at its end.
    bool ReadFailed() const;
    // Reads the facts of the entry pszName of this folder without following
    // a link. For the entry Next returned last, the listing may already hold
    // them (on Windows it does). False when the entry has gone or cannot be
    // read.
    bool Facts(const char* pszName, EntryFacts& facts) const;
    // The facts of the entry as a plain listing describes it (on POSIX a
    // symbolic link by what it leads to, a dangling one by itself), and
    // whether it is a system folder. False when the entry has gone.
    bool Describe(const char* pszName, EntryFacts& facts, bool& bSystem) const;
    FolderId Id() const;
    // Whether this open folder, entered as pszName, is one that marks name.
    bool IsOneOf(const std::vector<FolderMark>& marks, const char* pszName) const;
    // True only when the folder's entries are provably the same as when it
    // was opened: none added, removed or renamed since. False when that
    // cannot be told (a change too recent for the file system's clock to
    // tell apart), so a caller that gets false reads again.
    bool Unchanged() const;

private:
    struct State;
    std::unique_ptr<State> m_pState;
};
