// POSIX bodies of the deletion through a pinned root; every path is used as
// its exact bytes.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "removal/Removal.h"
#include "removal/RemovedFrom.h"
#include "removal/Trash_posix.h"
#include "walk/DirReader_posix.h"
#include "walk/FileUtil.h"
#include "walk/ListedFile.h"

namespace {

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// Why a name below the root could not be opened as a folder.
RemovalFailure OpenFailure(int nError) {
    // ELOOP and ENOTDIR: a link or a file now stands where the search saw
    // a folder; EXDEV: the kernel's own refusal to leave the root.
    if (nError == ELOOP || nError == ENOTDIR || nError == EXDEV) {
        return RemovalFailure::Of(RemovalFailure::kPathNotFolder);
    }
    return RemovalFailure::System(nError);
}

}  // namespace

struct CPinnedRoot::State {
    CFd root;
    std::string strRoot;      // as the search was given it
    std::string strAbsolute;  // where it was when opened, for the trash's record
    CTrashFolders trash;
    CRemovedFrom removedFrom;

    // strPath's entry has gone from the folder dirFd: that folder is noted.
    bool Removed(int dirFd, const std::string& strPath) {
        removedFrom.Note(
            strPath, [dirFd](FolderId& id) { return ReadEntryId(dirFd, "", AT_EMPTY_PATH, id); });
        return true;
    }
};

namespace {

// Opens the folder that holds the listed entry below the held root and
// gives the entry's name: the root's own descriptor for an entry right
// below it, else held's. Every folder below the root must be a real folder
// now, never a link. -1 when not, with why.
int OpenParent(const CPinnedRoot::State& state, const std::string& strPath, CFd& held,
               std::string& strName, RemovalFailure& why) {
    std::string strRelative;
    if (state.root.Get() < 0) {
        why = RemovalFailure::Of(RemovalFailure::kRootNotOpen);
        return -1;
    }
    if (!PathBelowRoot(state.strRoot, strPath, strRelative)) {
        why = RemovalFailure::Of(RemovalFailure::kOutsideRoot);
        return -1;
    }
    const std::size_t last = strRelative.rfind('/');
    if (last == std::string::npos) {
        strName = std::move(strRelative);
        return state.root.Get();
    }
    strName.assign(strRelative, last + 1);
    strRelative.resize(last);
    held.Reset(OpenBeneath(state.root.Get(), strRelative, kFolderFlags));
    if (held.Get() < 0) why = OpenFailure(errno);
    return held.Get();
}

// The root's absolute path as the system knows it now, for the trash's
// record of where a file came from.
std::string AbsolutePath(int fd, const std::string& strRoot) {
    std::string strLink(4096, '\0');
    const std::string strProc = "/proc/self/fd/" + std::to_string(fd);
    const ssize_t n = ::readlink(strProc.c_str(), strLink.data(), strLink.size());
    if (n > 0 && static_cast<std::size_t>(n) < strLink.size() && strLink[0] == '/') {
        strLink.resize(static_cast<std::size_t>(n));
        return strLink;
    }
    if (char* pszReal = ::realpath(strRoot.c_str(), nullptr)) {
        std::string strReal = pszReal;
        std::free(pszReal);
        return strReal;
    }
    return strRoot;
}

// The entry pszName of dirFd as the deletion may take it: not a folder,
// nor a link that leads to one (a listing shows that as the folder).
bool StatTakenEntry(int dirFd, const char* pszName, struct stat& st, RemovalFailure& why) {
    if (::fstatat(dirFd, pszName, &st, AT_SYMLINK_NOFOLLOW) != 0) {
        why = RemovalFailure::System(errno);
        return false;
    }
    struct stat target;
    if (S_ISDIR(st.st_mode) || (S_ISLNK(st.st_mode) && ::fstatat(dirFd, pszName, &target, 0) == 0 &&
                                S_ISDIR(target.st_mode))) {
        why = RemovalFailure::Of(RemovalFailure::kFolder);
        return false;
    }
    return true;
}

// A name in the entry's own folder that nobody else uses, for the moment
// the entry is checked.
std::string AsideName() {
    thread_local std::mt19937_64 random{std::random_device{}()};
    char name[32];
    std::snprintf(name, sizeof name, ".kesmora-%016llx", static_cast<unsigned long long>(random()));
    return name;
}

// Puts an entry moved aside back under its name, never over an entry that
// took the name meanwhile: then it stays aside, and why says so.
void PutBack(int dirFd, const std::string& strAside, const char* pszName, RemovalFailure& why) {
    // ENOENT: nothing is aside any more (the trash kept what it took).
    if (MoveNoReplace(dirFd, strAside.c_str(), dirFd, pszName) != 0 && errno != ENOENT) {
        why = RemovalFailure::Of(RemovalFailure::kKeptAside, errno);
    }
}

// Whether the open folder fd holds nothing but "." and "..".
bool IsEmptyFolder(int fd) {
    DIR* pDir = ::fdopendir(::dup(fd));
    if (pDir == nullptr) return false;
    bool bEmpty = true;
    while (const dirent* pEntry = ::readdir(pDir)) {
        if (std::strcmp(pEntry->d_name, ".") != 0 && std::strcmp(pEntry->d_name, "..") != 0) {
            bEmpty = false;
            break;
        }
    }
    ::closedir(pDir);
    return bEmpty;
}

// POSIX removes by name alone, and between a check and the removal the name
// may come to stand for another file (a build writes a new output and
// renames it over the old). So the entry is first renamed aside, within its
// folder, to a name nobody else uses: that rename takes exactly one entry,
// which is then checked and dealt with under that name. True when it is the
// listed file, unchanged, now at strAside; otherwise it is back under its
// own name (or, where that was taken again, left aside), and why says so.
bool MoveAsideIfListed(int dirFd, const char* pszName, const ListedFile& listed,
                       std::string& strAside, struct statx& sx, RemovalFailure& why) {
    strAside = AsideName();
    if (MoveNoReplace(dirFd, pszName, dirFd, strAside.c_str()) != 0) {
        why = RemovalFailure::System(errno);
        return false;
    }
    EntryFacts facts;
    if (ReadFacts(dirFd, strAside.c_str(), AT_SYMLINK_NOFOLLOW, facts, sx) && !facts.isFolder &&
        SameAsListed(listed, {facts.id, facts.size, facts.created, facts.modified})) {
        return true;
    }
    why = RemovalFailure::Of(RemovalFailure::kChangedSinceSearch);
    PutBack(dirFd, strAside, pszName, why);
    return false;
}

}  // namespace

bool IsDescriptorShortage(const RemovalFailure& why) {
    return why.kind == RemovalFailure::kSystem && (why.nError == EMFILE || why.nError == ENFILE);
}

CPinnedRoot::CPinnedRoot() : m_pState(std::make_unique<State>()) {}

CPinnedRoot::~CPinnedRoot() = default;

bool CPinnedRoot::Open(const std::string& strRoot, const FolderId* pSearched, RemovalFailure& why) {
    State& state = *m_pState;
    // The root is opened as named (links and all: the user chose it).
    state.root.Reset(::open(strRoot.c_str(), kFolderFlags));
    FolderId id;
    if (state.root.Get() < 0 || !ReadEntryId(state.root.Get(), "", AT_EMPTY_PATH, id)) {
        why = RemovalFailure::System(errno);
        state.root.Reset(-1);
        return false;
    }
    if (pSearched != nullptr && id != *pSearched) {
        why = RemovalFailure::Of(RemovalFailure::kRootReplaced);
        state.root.Reset(-1);
        return false;
    }
    state.strRoot = strRoot;
    state.strAbsolute = AbsolutePath(state.root.Get(), strRoot);
    return true;
}

// The size of the entry itself (a link's own size, not its target's): what
// deleting it gives back. A folder has no size of its own here.
std::int64_t CPinnedRoot::FileSize(const std::string& strPath) const {
    CFd held;
    std::string strName;
    RemovalFailure why;
    struct stat st;
    const int dirFd = OpenParent(*m_pState, strPath, held, strName, why);
    if (dirFd < 0 || ::fstatat(dirFd, strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISDIR(st.st_mode)) {
        return 0;
    }
    return static_cast<std::int64_t>(st.st_size);
}

bool CPinnedRoot::RemoveFile(const std::string& strPath, bool bClearReadOnly, RemovalFailure& why,
                             const ListedFile* pListed) {
    CFd held;
    std::string strName;
    const int dirFd = OpenParent(*m_pState, strPath, held, strName, why);
    if (dirFd < 0) return false;
    const char* pszName = strName.c_str();
    struct stat st;
    // A link to a folder is taken for the folder, as a listing shows it,
    // and is left alone like one.
    if (!StatTakenEntry(dirFd, pszName, st, why)) return false;
    // A link's own permission bits mean nothing: the link is removed and
    // whatever it points to keeps its mode.
    const bool bReadOnly = !S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0;
    if (bReadOnly && !bClearReadOnly) {
        why = RemovalFailure::Of(RemovalFailure::kReadOnly);
        return false;
    }
    // Removing a name needs only the folder's permission, so the mode is
    // never touched: it is the file's, shared by any other hard link of it,
    // outside the searched folder too. Without AT_REMOVEDIR a folder put in
    // the file's place meanwhile is refused, never removed.
    if (pListed == nullptr) {
        if (::unlinkat(dirFd, pszName, 0) == 0) return m_pState->Removed(dirFd, strPath);
        why = RemovalFailure::System(errno);
        return false;
    }
    std::string strAside;
    struct statx sx;
    if (!MoveAsideIfListed(dirFd, pszName, *pListed, strAside, sx, why)) return false;
    // The mode may have changed since the look above (a chmod keeps the
    // modification time): the file aside decides.
    if (!S_ISLNK(sx.stx_mode) && (sx.stx_mode & S_IWUSR) == 0 && !bClearReadOnly) {
        why = RemovalFailure::Of(RemovalFailure::kReadOnly);
    } else if (::unlinkat(dirFd, strAside.c_str(), 0) == 0) {
        return m_pState->Removed(dirFd, strPath);
    } else {
        why = RemovalFailure::System(errno);
    }
    PutBack(dirFd, strAside, pszName, why);
    return false;
}

bool CPinnedRoot::TrashFile(const std::string& strPath, RemovalFailure& why,
                            const ListedFile* pListed) {
    CFd held;
    std::string strName;
    const int dirFd = OpenParent(*m_pState, strPath, held, strName, why);
    struct stat entry;
    if (dirFd < 0 || !StatTakenEntry(dirFd, strName.c_str(), entry, why)) return false;
    std::string strOriginal = m_pState->strAbsolute;
    std::string strRelative;
    PathBelowRoot(m_pState->strRoot, strPath, strRelative);
    EnsureFolderSeparator(strOriginal);
    strOriginal += strRelative;
    if (pListed == nullptr) {
        return m_pState->trash.Trash(dirFd, strName.c_str(), entry, strOriginal, why) &&
               m_pState->Removed(dirFd, strPath);
    }
    // Checked aside first, so that no other file ever reaches the trash.
    std::string strAside;
    struct statx sx;
    if (!MoveAsideIfListed(dirFd, strName.c_str(), *pListed, strAside, sx, why)) return false;
    if (::fstatat(dirFd, strAside.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
        m_pState->trash.Trash(dirFd, strAside.c_str(), entry, strOriginal, why)) {
        return m_pState->Removed(dirFd, strPath);
    }
    if (why.kind == RemovalFailure::kNone) why = RemovalFailure::System(errno);
    PutBack(dirFd, strAside, strName.c_str(), why);
    return false;
}

FolderRemoval CPinnedRoot::RemoveEmptyFolder(const std::string& strPath, RemovalFailure& why) {
    CFd held;
    std::string strName;
    const int dirFd = OpenParent(*m_pState, strPath, held, strName, why);
    if (dirFd < 0) return FolderRemoval::kFailed;
    const char* pszName = strName.c_str();
    // Never through a link put in its place (ELOOP).
    const CFd folder(::openat(dirFd, pszName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (folder.Get() < 0) {
        why = errno == ENOTDIR || errno == ELOOP ? RemovalFailure::Of(RemovalFailure::kNotFolder)
                                                 : RemovalFailure::System(errno);
        return FolderRemoval::kFailed;
    }
    const FolderId* pRemovedFrom = m_pState->removedFrom.Find(strPath);
    FolderId id;
    if (pRemovedFrom == nullptr || !ReadEntryId(folder.Get(), "", AT_EMPTY_PATH, id) ||
        id != *pRemovedFrom) {
        why = RemovalFailure::Of(RemovalFailure::kChangedSinceSearch);
        return FolderRemoval::kFailed;
    }
    if (!IsEmptyFolder(folder.Get())) return FolderRemoval::kNotEmpty;
    // Moved aside, as a file is, so that the folder checked is the folder
    // removed; only a folder just found empty is ever moved.
    const std::string strAside = AsideName();
    if (MoveNoReplace(dirFd, pszName, dirFd, strAside.c_str()) != 0) {
        why = RemovalFailure::System(errno);
        return FolderRemoval::kFailed;
    }
    FolderRemoval result = FolderRemoval::kFailed;
    FolderId moved;
    if (!ReadEntryId(dirFd, strAside.c_str(), AT_SYMLINK_NOFOLLOW, moved) || moved != id) {
        why = RemovalFailure::Of(RemovalFailure::kChangedSinceSearch);
    } else if (::unlinkat(dirFd, strAside.c_str(), AT_REMOVEDIR) == 0) {
        m_pState->Removed(dirFd, strPath);
        return FolderRemoval::kRemoved;
    } else if (errno == ENOTEMPTY || errno == EEXIST) {
        result = FolderRemoval::kNotEmpty;
    } else {
        why = RemovalFailure::System(errno);
    }
    RemovalFailure putBack;
    PutBack(dirFd, strAside, pszName, putBack);
    if (putBack.kind == RemovalFailure::kNone) return result;
    why = putBack;
    return FolderRemoval::kFailed;
}
