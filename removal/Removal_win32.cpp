// Win32 bodies of the deletion through a pinned root. The search's folder is opened once and
// held without delete sharing, and a listed file is reached from where that
// handle really is, one name at a time: every folder on the way is opened
// as itself (never through a link) and held likewise, so none can be
// renamed or swapped for a link until the entry is gone; the entry is then
// opened as itself and deleted through that handle.
#include <windows.h>

#include <vector>

#include "removal/Removal.h"
#include "removal/RemovedFrom.h"
#include "removal/Trash_win32.h"
#include "utf16/WideText_win32.h"
#include "walk/ApiPath_win32.h"
#include "walk/FileUtil.h"
#include "walk/ListedFile.h"

namespace {

class Handle {
public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : m_h(h) {}
    Handle(Handle&& other) noexcept : m_h(other.m_h) { other.m_h = INVALID_HANDLE_VALUE; }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;
    ~Handle() {
        if (IsValid()) CloseHandle(m_h);
    }
    HANDLE Get() const { return m_h; }
    bool IsValid() const { return m_h != INVALID_HANDLE_VALUE; }
    void Reset(Handle&& other) {
        if (IsValid()) CloseHandle(m_h);
        m_h = other.m_h;
        other.m_h = INVALID_HANDLE_VALUE;
    }
    void Close() { Reset(Handle()); }

private:
    HANDLE m_h;
};

// The extended disposition, which the headers declare only when building
// for Windows 10 1809 and later; older systems refuse it and the ordinary
// disposition takes over.
constexpr auto kFileDispositionInfoEx = static_cast<FILE_INFO_BY_HANDLE_CLASS>(21);
struct DispositionInfoEx {
    DWORD Flags;
};
constexpr DWORD kDispositionDelete = 0x1;
constexpr DWORD kPosixSemantics = 0x2;
constexpr DWORD kIgnoreReadOnly = 0x10;

}  // namespace

struct CPinnedRoot::State {
    Handle root;
    std::string strRoot;  // as the search was given it
    std::wstring wroot;   // where the held root really is, with a trailing backslash
    CRemovedFrom removedFrom;

    // strPath's entry has gone from the last folder of folders (the root
    // when none): that folder is noted.
    bool Removed(const std::vector<Handle>& folders, const std::string& strPath) {
        const Handle& parent = folders.empty() ? root : folders.back();
        removedFrom.Note(strPath, [&parent](FolderId& id) { return HandleId(parent.Get(), id); });
        return true;
    }
};

namespace {

// A reparse point that names another place: a symbolic link, a junction or
// a mount point. Where the tag is not told (Wine), any reparse point.
bool IsLink(const FILE_ATTRIBUTE_TAG_INFO& info) {
    return (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (info.ReparseTag == 0 || IsReparseTagNameSurrogate(info.ReparseTag));
}

// Wine opens a Unix link's target even when asked for the link itself, but
// its listing still shows the link: the listing is asked too, once the
// handle holds the folder in place, by the walk's own rule.
bool IsLinkByName(const std::wstring& wpath) {
    std::wstring wlong = wpath;
    PrefixIfLong(wlong);
    WIN32_FIND_DATAW data;
    const HANDLE hFind =
        FindFirstFileExW(wlong.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
    if (hFind == INVALID_HANDLE_VALUE) return true;
    FindClose(hFind);
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0));
}

// Opens the entry itself, never what it may point to.
Handle OpenItself(const std::wstring& wpath, DWORD dwAccess, DWORD dwShare) {
    std::wstring wlong = wpath;
    PrefixIfLong(wlong);
    return Handle(CreateFileW(wlong.c_str(), dwAccess, dwShare, nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
}

// Whether two open handles are of one file (the name may have been given
// to another between two opens).
bool SameFile(const Handle& a, const Handle& b) {
    BY_HANDLE_FILE_INFORMATION infoA, infoB;
    return a.IsValid() && b.IsValid() && GetFileInformationByHandle(a.Get(), &infoA) &&
           GetFileInformationByHandle(b.Get(), &infoB) &&
           infoA.dwVolumeSerialNumber == infoB.dwVolumeSerialNumber &&
           infoA.nFileIndexHigh == infoB.nFileIndexHigh &&
           infoA.nFileIndexLow == infoB.nFileIndexLow;
}

bool ReadTag(const Handle& h, FILE_ATTRIBUTE_TAG_INFO& info) {
    return GetFileInformationByHandleEx(h.Get(), FileAttributeTagInfo, &info, sizeof info) != 0;
}

// Opens the listed entry with dwAccess below the held root, holding every
// folder on the way; wentry is the entry's path there. False with the
// failure when the path is not below the root, or a name on the way is now
// a link or no folder.
bool OpenListed(const CPinnedRoot::State& state, const std::string& strPath, DWORD dwAccess,
                std::vector<Handle>& folders, Handle& entry, std::wstring& wentry,
                RemovalFailure& why) {
    std::string strRelative;
    std::wstring wrelative;
    if (!state.root.IsValid()) {
        why = RemovalFailure::Of(RemovalFailure::kRootNotOpen);
        return false;
    }
    if (!PathBelowRoot(state.strRoot, strPath, strRelative) || !Widen(strRelative, wrelative)) {
        why = RemovalFailure::Of(RemovalFailure::kOutsideRoot);
        return false;
    }
    std::wstring wpath = state.wroot;
    std::size_t start = 0;
    for (std::size_t sep; (sep = wrelative.find(L'\\', start)) != std::wstring::npos;
         start = sep + 1) {
        wpath.append(wrelative, start, sep - start);
        // No delete sharing: while held, the folder cannot be renamed,
        // removed or replaced.
        Handle folder = OpenItself(wpath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
        FILE_ATTRIBUTE_TAG_INFO info;
        if (!folder.IsValid()) {
            why = RemovalFailure::System(GetLastError());
            return false;
        }
        if (!ReadTag(folder, info) || IsLink(info) ||
            (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsLinkByName(wpath)) {
            why = RemovalFailure::Of(RemovalFailure::kPathNotFolder);
            return false;
        }
        folders.push_back(std::move(folder));
        wpath += L'\\';
    }
    wpath.append(wrelative, start);
    wentry = wpath;
    entry.Reset(OpenItself(wpath, dwAccess | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    if (!entry.IsValid()) why = RemovalFailure::System(GetLastError());
    return entry.IsValid();
}

// Opens the listed entry as OpenListed does and reads its basic
// information; a folder (or a link to one) is refused, as neither the
// deletion nor the trash takes one.
bool OpenListedFile(const CPinnedRoot::State& state, const std::string& strPath, DWORD dwAccess,
                    std::vector<Handle>& folders, Handle& entry, std::wstring& wentry,
                    FILE_BASIC_INFO& basic, RemovalFailure& why) {
    if (!OpenListed(state, strPath, dwAccess, folders, entry, wentry, why)) return false;
    if (!GetFileInformationByHandleEx(entry.Get(), FileBasicInfo, &basic, sizeof basic)) {
        why = RemovalFailure::System(GetLastError());
        return false;
    }
    if ((basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        why = RemovalFailure::Of(RemovalFailure::kFolder);
        return false;
    }
    return true;
}

// True once nothing answers to the entry's name any more. A folder whose
// removal waits for another program's handle still has its name.
bool NameGone(const std::wstring& wentry, RemovalFailure& why) {
    std::wstring wlong = wentry;
    PrefixIfLong(wlong);
    if (GetFileAttributesW(wlong.c_str()) != INVALID_FILE_ATTRIBUTES) {
        why = RemovalFailure::Of(RemovalFailure::kNameStillThere);
        return false;
    }
    const DWORD dwError = GetLastError();
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND) return true;
    why = RemovalFailure::Of(RemovalFailure::kNameStillThere, dwError);
    return false;
}

// The facts of the open entry, as the walk listed it.
bool ReadListed(const Handle& h, ListedFile& now) {
    EntryFacts facts;
    if (!HandleFacts(h.Get(), facts)) return false;
    now = {facts.id, facts.size, facts.created, facts.modified};
    return true;
}

// True once the entry's name no longer answers for the file id: nothing
// is there, or another file has taken the name since. A file whose
// deletion waits for another program's handle still has its name.
bool GoneFromName(const std::wstring& wentry, std::uint64_t id, RemovalFailure& why) {
    const Handle now = OpenItself(wentry, FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    if (!now.IsValid()) {
        const DWORD dwError = GetLastError();
        if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND) return true;
        why = RemovalFailure::Of(RemovalFailure::kNameStillThere, dwError);
        return false;
    }
    ListedFile there;
    if (ReadListed(now, there) && there.id != id) return true;
    why = RemovalFailure::Of(RemovalFailure::kNameStillThere);
    return false;
}

// Clears read-only and nothing else; zero times tell the system to leave
// every time as it is. No attribute at all must be said as "normal": zero
// would mean "leave the attributes alone".
bool SetAttributes(HANDLE hFile, DWORD dwAttributes) {
    FILE_BASIC_INFO info{};
    info.FileAttributes = dwAttributes;
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(hFile, FileBasicInfo, &info, sizeof info) != 0;
}

bool ClearReadOnly(HANDLE hFile, DWORD dwAttributes) {
    return SetAttributes(hFile, dwAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
}

// The first time the ordinary disposition is used, the file is opened
// again without any sharing: no other program then holds it, so its name
// goes when this handle closes, and a file someone holds is refused
// outright instead of lingering until they let go. The name may stand for
// another file by now: this handle is checked against the file listed
// before its disposition is set.
bool RemoveExclusively(const std::wstring& wentry, bool bClearReadOnly, const ListedFile& listed,
                       RemovalFailure& why) {
    Handle only = OpenItself(wentry, DELETE | FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, 0);
    FILE_BASIC_INFO basic;
    ListedFile now;
    if (!only.IsValid() || !ReadListed(only, now) ||
        !GetFileInformationByHandleEx(only.Get(), FileBasicInfo, &basic, sizeof basic)) {
        why = RemovalFailure::System(GetLastError());
        return false;
    }
    if (!SameAsListed(listed, now)) {
        why = RemovalFailure::Of(RemovalFailure::kChangedSinceSearch);
        return false;
    }
    const DWORD dwAttributes = basic.FileAttributes;
    const bool bReadOnly = (dwAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        why = RemovalFailure::Of(RemovalFailure::kFolder);
        return false;
    }
    if (bReadOnly && (!bClearReadOnly || !ClearReadOnly(only.Get(), dwAttributes))) {
        why = bClearReadOnly ? RemovalFailure::System(GetLastError())
                             : RemovalFailure::Of(RemovalFailure::kReadOnly);
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(only.Get(), FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
        why = RemovalFailure::System(GetLastError());
        if (bReadOnly) SetAttributes(only.Get(), dwAttributes);
        return false;
    }
    only.Close();
    if (GoneFromName(wentry, listed.id, why)) return true;
    if (bReadOnly) {
        // Only on the file itself, never on one that took its name.
        const Handle again =
            OpenItself(wentry, FILE_WRITE_ATTRIBUTES | FILE_READ_ATTRIBUTES, FILE_SHARE_READ);
        ListedFile there;
        if (again.IsValid() && ReadListed(again, there) && there.id == listed.id) {
            SetAttributes(again.Get(), dwAttributes);
        }
    }
    return false;
}

}  // namespace

bool IsDescriptorShortage(const RemovalFailure& why) {
    return why.kind == RemovalFailure::kSystem &&
           (why.nError == ERROR_TOO_MANY_OPEN_FILES || why.nError == ERROR_NO_SYSTEM_RESOURCES);
}

CPinnedRoot::CPinnedRoot() : m_pState(std::make_unique<State>()) {}

CPinnedRoot::~CPinnedRoot() = default;

bool CPinnedRoot::Open(const std::string& strRoot, const FolderId* pSearched, RemovalFailure& why) {
    State& state = *m_pState;
    state.root.Close();
    std::wstring wpath;
    if (!ToApiPath(strRoot, wpath)) {
        why = RemovalFailure::Of(RemovalFailure::kNotAPath);
        return false;
    }
    // Reached through links, as the user named it; held without delete
    // sharing for the run, so it stays where it is found.
    Handle root(CreateFileW(wpath.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FolderId id;
    if (!root.IsValid() || !HandleId(root.Get(), id)) {
        why = RemovalFailure::System(GetLastError());
        return false;
    }
    if (pSearched != nullptr && id != *pSearched) {
        why = RemovalFailure::Of(RemovalFailure::kRootReplaced);
        return false;
    }
    // A link on the way to the root could be pointed elsewhere meanwhile;
    // the held folder's own path cannot change while it is held.
    if (!FinalPath(root.Get(), state.wroot)) state.wroot = wpath;
    if (state.wroot.back() != L'\\') state.wroot += L'\\';
    state.strRoot = strRoot;
    state.root.Reset(std::move(root));
    return true;
}

std::int64_t CPinnedRoot::FileSize(const std::string& strPath) const {
    std::vector<Handle> folders;
    Handle entry;
    std::wstring wentry;
    RemovalFailure why;
    FILE_STANDARD_INFO info;
    if (!OpenListed(*m_pState, strPath, 0, folders, entry, wentry, why) ||
        !GetFileInformationByHandleEx(entry.Get(), FileStandardInfo, &info, sizeof info) ||
        info.Directory) {
        return 0;
    }
    return info.EndOfFile.QuadPart;
}

namespace {

// The file to take: the one listed, which the open entry must be; without
// a listing, the open entry as it is now.
bool CheckListed(const Handle& entry, const ListedFile* pListed, ListedFile& expected,
                 RemovalFailure& why) {
    ListedFile now;
    if (!ReadListed(entry, now)) {
        why = RemovalFailure::System(GetLastError());
        return false;
    }
    expected = pListed != nullptr ? *pListed : now;
    if (SameAsListed(expected, now)) return true;
    why = RemovalFailure::Of(RemovalFailure::kChangedSinceSearch);
    return false;
}

}  // namespace

bool CPinnedRoot::RemoveFile(const std::string& strPath, bool bClearReadOnly, RemovalFailure& why,
                             const ListedFile* pListed) {
    std::vector<Handle> folders;
    Handle entry;
    std::wstring wentry;
    FILE_BASIC_INFO basic;
    ListedFile listed;
    // Without delete sharing granted by whoever else holds the file open,
    // this open fails and the file stays. The handle checked is the handle
    // whose disposition removes the file.
    if (!OpenListedFile(*m_pState, strPath, DELETE | FILE_WRITE_ATTRIBUTES, folders, entry, wentry,
                        basic, why) ||
        !CheckListed(entry, pListed, listed, why)) {
        return false;
    }
    const bool bReadOnly = (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (bReadOnly && !bClearReadOnly) {
        why = RemovalFailure::Of(RemovalFailure::kReadOnly);
        return false;
    }
    // With POSIX semantics the name goes as this handle closes, even while
    // another program holds the file with delete sharing, and the read-only
    // bit need not be touched. Where the flags are taken but not their
    // meaning, the name waits for the last handle instead: a second handle
    // of the same file, opened first, can then undo the deletion, so a file
    // reported kept stays.
    Handle undo =
        OpenItself(wentry, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE);
    DispositionInfoEx posix{kDispositionDelete | kPosixSemantics | kIgnoreReadOnly};
    if (SameFile(entry, undo) &&
        SetFileInformationByHandle(entry.Get(), kFileDispositionInfoEx, &posix, sizeof posix)) {
        entry.Close();
        if (GoneFromName(wentry, listed.id, why)) return m_pState->Removed(folders, strPath);
        FILE_DISPOSITION_INFO keep{};
        keep.DeleteFile = FALSE;
        SetFileInformationByHandle(undo.Get(), FileDispositionInfo, &keep, sizeof keep);
    }
    // Refused (before Windows 10 1709, or a file system without it such as
    // FAT) or undone above.
    entry.Close();
    undo.Close();
    return RemoveExclusively(wentry, bClearReadOnly, listed, why) &&
           m_pState->Removed(folders, strPath);
}

bool CPinnedRoot::TrashFile(const std::string& strPath, RemovalFailure& why,
                            const ListedFile* pListed) {
    std::vector<Handle> folders;
    Handle entry;
    std::wstring wentry;
    FILE_BASIC_INFO basic;
    ListedFile listed;
    if (!OpenListedFile(*m_pState, strPath, 0, folders, entry, wentry, basic, why) ||
        !CheckListed(entry, pListed, listed, why)) {
        return false;
    }
    FolderId checked;
    if (!HandleId(entry.Get(), checked)) {
        why = RemovalFailure::System(GetLastError());
        return false;
    }
    // The shell opens the file itself; the folders from the root down stay
    // held, without delete sharing, until it has finished.
    entry.Close();
    return RecycleFile(wentry, checked, why) && m_pState->Removed(folders, strPath);
}

FolderRemoval CPinnedRoot::RemoveEmptyFolder(const std::string& strPath, RemovalFailure& why) {
    std::vector<Handle> folders;
    Handle entry;
    std::wstring wentry;
    if (!OpenListed(*m_pState, strPath, DELETE, folders, entry, wentry, why)) {
        return FolderRemoval::kFailed;
    }
    FILE_ATTRIBUTE_TAG_INFO info;
    if (!ReadTag(entry, info) || IsLink(info) ||
        (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsLinkByName(wentry)) {
        why = RemovalFailure::Of(RemovalFailure::kNotFolder);
        return FolderRemoval::kFailed;
    }
    // Only the folder entries were removed from, checked on the handle
    // whose disposition removes it.
    const FolderId* pRemovedFrom = m_pState->removedFrom.Find(strPath);
    FolderId id;
    if (pRemovedFrom == nullptr || !HandleId(entry.Get(), id) || id != *pRemovedFrom) {
        why = RemovalFailure::Of(RemovalFailure::kChangedSinceSearch);
        return FolderRemoval::kFailed;
    }
    // The system refuses to mark a folder that holds anything.
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(entry.Get(), FileDispositionInfo, &disposition,
                                    sizeof disposition)) {
        const DWORD dwError = GetLastError();
        if (dwError == ERROR_DIR_NOT_EMPTY) return FolderRemoval::kNotEmpty;
        why = RemovalFailure::System(dwError);
        return FolderRemoval::kFailed;
    }
    entry.Close();
    if (!NameGone(wentry, why)) return FolderRemoval::kFailed;
    m_pState->Removed(folders, strPath);
    return FolderRemoval::kRemoved;
}
