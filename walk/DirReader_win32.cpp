// Win32 directory reading for the search: one FindFirstFileExW pass per
// folder, whose listing already carries every fact the search reports.
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <unordered_map>
#include <vector>

#include "utf16/WideText_win32.h"
#include "walk/ApiPath_win32.h"
#include "walk/DirReader.h"
#include "walk/ListedFile.h"
#include "walk/NameFold.h"

namespace {

void FillFacts(DWORD dwAttributes, DWORD nSizeHigh, DWORD nSizeLow, const FILETIME& created,
               const FILETIME& modified, EntryFacts& facts) {
    facts.isFolder = (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.size = facts.isFolder ? 0 : (static_cast<std::uint64_t>(nSizeHigh) << 32) | nSizeLow;
    facts.created = StampOf(created);
    facts.modified = StampOf(modified);
}

// Symbolic links and junctions (and volume mount points) name another
// place; other reparse points (deduplicated or cloud files) are ordinary.
// A reparse point whose tag the listing does not give (Wine shows a Unix
// link to a folder so) counts as a link: entering a link is the fault to
// avoid, passing over an odd folder the lesser one.
bool IsFolderLink(const WIN32_FIND_DATAW& data) {
    return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0 &&
           (data.dwReserved0 == 0 || IsReparseTagNameSurrogate(data.dwReserved0));
}

// Directory times move by the system clock's step (about 16 ms): a stamp
// older than this margin at opening cannot be repeated by a later change.
constexpr std::int64_t kStampMarginTicks = 50 * 10000;

std::int64_t Ticks(const FILETIME& ft) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(ft.dwHighDateTime) << 32) |
                                     ft.dwLowDateTime);
}

OpenResult ResultOfError(DWORD dwError) {
    switch (dwError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return OpenResult::kGone;
        case ERROR_TOO_MANY_OPEN_FILES:
        case ERROR_NO_SYSTEM_RESOURCES:
            return OpenResult::kNoDescriptor;
        case ERROR_DIRECTORY:
            return OpenResult::kNotFolder;
        default:
            return OpenResult::kFailed;
    }
}

// An identity that matches no other folder.
FolderId UniqueId() {
    static std::atomic<std::uint64_t> s_nUnique{0};
    return FolderId{~std::uint64_t{0}, ++s_nUnique};
}

}  // namespace

struct CDirReader::State {
    std::wstring folder;  // API path with a trailing backslash
    HANDLE hFind = INVALID_HANDLE_VALUE;
    bool bOpen = false;
    bool bPending = false;  // data holds an entry Next has not returned yet
    bool bCurrent = false;  // data holds the entry Next returned last
    WIN32_FIND_DATAW data{};
    std::string name;  // data's name in UTF-8
    FolderId id;
    HANDLE hRoot = INVALID_HANDLE_VALUE;  // a root opened by path, held while open
    std::int64_t changed = 0;             // the folder's last-write time when opened
    bool bSettled = false;                // that time lay clearly before the opening
    bool bReadFailed = false;

    // The folder's own path: "C:\" must keep its separator; any other
    // folder is named without.
    std::wstring Path() const {
        std::wstring wpath = folder;
        if (wpath.size() > 1 && wpath.back() == L'\\' && wpath[wpath.size() - 2] != L':') {
            wpath.pop_back();
        }
        return wpath;
    }
    // The folder's own last-write time, which adding, removing or renaming
    // an entry moves.
    bool ReadStamp(std::int64_t& stamp) const {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!GetFileAttributesExW(Path().c_str(), GetFileExInfoStandard, &attributes)) return false;
        stamp = Ticks(attributes.ftLastWriteTime);
        return true;
    }
    // The real identity, which a folder below the root is not given as it
    // opens.
    bool ReadId(FolderId& realId) const {
        if (hRoot != INVALID_HANDLE_VALUE) {
            realId = id;
            return true;
        }
        const HANDLE hFolder =
            CreateFileW(Path().c_str(), FILE_READ_ATTRIBUTES,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        if (hFolder == INVALID_HANDLE_VALUE) return false;
        const bool bRead = HandleId(hFolder, realId);
        CloseHandle(hFolder);
        return bRead;
    }

    // A listing of names carries no file id: the folder's files are listed
    // once more, with their ids, the first time one is asked for (an open
    // per file cost eight times the walk under Wine). The size and times
    // come from that same entry; where a directory entry lags behind its
    // file, the deletion finds them unequal and keeps the file, never the
    // other way round. Threads may ask at once.
    mutable std::mutex idsMutex;
    mutable bool bIdsRead = false;
    mutable std::unordered_map<std::wstring, EntryFacts> ids;
    bool FactsWithId(const std::wstring& wname, EntryFacts& facts) const;

    bool Open(std::wstring wfolder);
    void Close() {
        if (hFind != INVALID_HANDLE_VALUE) FindClose(hFind);
        hFind = INVALID_HANDLE_VALUE;
        if (hRoot != INVALID_HANDLE_VALUE) CloseHandle(hRoot);
        hRoot = INVALID_HANDLE_VALUE;
        bOpen = bPending = bCurrent = false;
        const std::lock_guard lock(idsMutex);
        bIdsRead = false;
        ids.clear();
    }
    bool IsCurrent(const char* pszName) const {
        return bCurrent && (pszName == name.c_str() || name == pszName);
    }
    // The listing's entry for a name that is not the current one.
    bool Lookup(const char* pszName, WIN32_FILE_ATTRIBUTE_DATA& attributes) const {
        std::wstring wname;
        if (!Widen(pszName, wname)) return false;
        std::wstring wpath = folder + wname;
        PrefixIfLong(wpath);
        return GetFileAttributesExW(wpath.c_str(), GetFileExInfoStandard, &attributes) != 0;
    }
};

const char kPathSeparator = '\\';

// Handles are not the scarce thing here that descriptors are on POSIX.
void RaiseDescriptorLimit() {}

std::size_t FolderDescriptorBudget() { return std::size_t{1} << 16; }

unsigned UsableCores() {
    DWORD_PTR process = 0;
    DWORD_PTR system = 0;
    if (GetProcessAffinityMask(GetCurrentProcess(), &process, &system) && process != 0) {
        unsigned n = 0;
        for (; process != 0; process &= process - 1) ++n;
        return n;
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

void EnsureFolderSeparator(std::string& strFolder) {
    if (strFolder.empty() || (strFolder.back() != '\\' && strFolder.back() != '/')) {
        strFolder += '\\';
    }
}

bool CDirReader::State::FactsWithId(const std::wstring& wname, EntryFacts& facts) const {
    const std::lock_guard lock(idsMutex);
    if (!bIdsRead) {
        bIdsRead = true;
        const HANDLE hFolder =
            CreateFileW(Path().c_str(), FILE_LIST_DIRECTORY,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
        BY_HANDLE_FILE_INFORMATION folderInfo;
        if (hFolder == INVALID_HANDLE_VALUE) return false;
        std::vector<std::uint64_t> buffer(8192);
        // A handle of its own lists from the first entry on.
        const bool bFolderRead = GetFileInformationByHandle(hFolder, &folderInfo) != 0;
        while (bFolderRead &&
               GetFileInformationByHandleEx(hFolder, FileIdBothDirectoryInfo, buffer.data(),
                                            static_cast<DWORD>(buffer.size() * 8))) {
            for (auto* pEntry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buffer.data());;
                 pEntry = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(
                     reinterpret_cast<const char*>(pEntry) + pEntry->NextEntryOffset)) {
                if ((pEntry->FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                    const auto time = [](const LARGE_INTEGER& t) {
                        return StampOf(FILETIME{t.LowPart, static_cast<DWORD>(t.HighPart)});
                    };
                    EntryFacts& entry =
                        ids[std::wstring(pEntry->FileName, pEntry->FileNameLength / sizeof(WCHAR))];
                    entry.size = static_cast<std::uint64_t>(pEntry->EndOfFile.QuadPart);
                    entry.created = time(pEntry->CreationTime);
                    entry.modified = time(pEntry->LastWriteTime);
                    entry.id = FoldFileId(folderInfo.dwVolumeSerialNumber,
                                          static_cast<std::uint64_t>(pEntry->FileId.QuadPart));
                }
                if (pEntry->NextEntryOffset == 0) break;
            }
        }
        CloseHandle(hFolder);
    }
    const auto it = ids.find(wname);
    if (it == ids.end()) return false;
    facts.size = it->second.size;
    facts.created = it->second.created;
    facts.modified = it->second.modified;
    facts.id = it->second.id;
    return true;
}

bool CDirReader::State::Open(std::wstring wfolder) {
    Close();
    bReadFailed = false;
    if (wfolder.empty()) return false;
    if (wfolder.back() != L'\\') wfolder += L'\\';
    folder = std::move(wfolder);
    // Taken before the listing, so a change while it is read shows later.
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    bSettled = ReadStamp(changed) && changed < Ticks(now) - kStampMarginTicks;
    const std::wstring pattern = folder + L'*';
    // Basic info skips the 8.3 names nobody here reads; large fetch asks for
    // the listing in big batches. Names are matched by our own rule later:
    // the system's pattern match would also take x.objx through its 8.3 name.
    hFind = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                             nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (hFind == INVALID_HANDLE_VALUE) {
        // A drive's root has no "." entry: an empty one lists nothing at all.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
        const DWORD dwAttributes = GetFileAttributesW(folder.c_str());
        if (dwAttributes == INVALID_FILE_ATTRIBUTES ||
            (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
            return false;
        }
    } else {
        bPending = true;
    }
    bOpen = true;
    // Below the root no link, junction or mount point is ever entered, and
    // a folder has one parent: a folder reached so cannot be met twice, and
    // reading its identity (an open, a query and a close per folder, the
    // walk's dearest step) would tell nothing. The root's is read by
    // OpenPath from the handle it holds.
    id = UniqueId();
    return true;
}

CDirReader::CDirReader() : m_pState(std::make_unique<State>()) {}

CDirReader::~CDirReader() { Close(); }

bool CDirReader::IsOpen() const { return m_pState->bOpen; }

FolderId CDirReader::Id() const { return m_pState->id; }

// Only a folder named as a mark is worth its identity: reading one (an
// open, a query and a close) is the walk's dearest step.
bool CDirReader::IsOneOf(const std::vector<FolderMark>& marks, const char* pszName) const {
    const std::string folded = FoldedName(pszName);
    FolderId id;
    bool bRead = false;
    for (const FolderMark& mark : marks) {
        if (FoldedName(mark.strName) != folded) continue;
        if (!bRead && !(bRead = m_pState->ReadId(id))) return false;
        if (id == mark.id) return true;
    }
    return false;
}

void CDirReader::Close() { m_pState->Close(); }

void CDirReader::EndListing() {
    State& state = *m_pState;
    if (state.hFind != INVALID_HANDLE_VALUE) FindClose(state.hFind);
    state.hFind = INVALID_HANDLE_VALUE;
    state.bPending = state.bCurrent = false;
}

bool CDirReader::Unchanged() const {
    std::int64_t stamp = 0;
    return m_pState->bSettled && m_pState->ReadStamp(stamp) && stamp == m_pState->changed;
}

OpenResult CDirReader::OpenPath(const std::string& strPath) {
    Close();
    std::wstring wfolder;
    if (!ToApiPath(strPath, wfolder)) return OpenResult::kFailed;
    // The root may be reached through links. It is held without delete
    // sharing while it is open, so it cannot be moved or replaced, and it is
    // listed through the path the system gives for that handle: its
    // identity is that of the very folder listed.
    const HANDLE hRoot =
        CreateFileW(wfolder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hRoot == INVALID_HANDLE_VALUE) return ResultOfError(GetLastError());
    FolderId id;
    std::wstring wfinal;
    if (!HandleId(hRoot, id)) {
        const DWORD dwError = GetLastError();
        CloseHandle(hRoot);
        return ResultOfError(dwError);
    }
    if (!FinalPath(hRoot, wfinal)) wfinal = wfolder;
    if (!m_pState->Open(std::move(wfinal))) {
        const DWORD dwError = GetLastError();
        CloseHandle(hRoot);
        return ResultOfError(dwError);
    }
    m_pState->id = id;
    m_pState->hRoot = hRoot;
    return OpenResult::kOpened;
}

// A listed folder holds no handle here (the listing is closed at its end),
// so there is nothing to give back or take again.
void CDirReader::Release() {}

bool CDirReader::IsReleased() const { return false; }

OpenResult CDirReader::Reopen(const CDirReader&, const std::string&) { return OpenResult::kOpened; }

bool CDirReader::ReadFailed() const { return m_pState->bReadFailed; }

OpenResult CDirReader::OpenSub(const CDirReader& parent, const char* pszName) {
    Close();
    const State& from = *parent.m_pState;
    std::wstring wfolder = from.folder;
    if (from.IsCurrent(pszName)) {
        const DWORD dwAttributes = from.data.dwFileAttributes;
        if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return OpenResult::kNotFolder;
        if ((dwAttributes & FILE_ATTRIBUTE_SYSTEM) != 0) return OpenResult::kSystem;
        // Below the root a link is never entered: it could lead out of the
        // chosen folder or into a folder walked already.
        if (IsFolderLink(from.data)) return OpenResult::kNotFolder;
        wfolder += from.data.cFileName;
    } else {
        WIN32_FIND_DATAW data;
        std::wstring wname;
        if (!Widen(pszName, wname)) return OpenResult::kFailed;
        wfolder += wname;
        PrefixIfLong(wfolder);
        const HANDLE hFind = FindFirstFileExW(wfolder.c_str(), FindExInfoBasic, &data,
                                              FindExSearchNameMatch, nullptr, 0);
        if (hFind == INVALID_HANDLE_VALUE) return ResultOfError(GetLastError());
        FindClose(hFind);
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return OpenResult::kNotFolder;
        if ((data.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM) != 0) return OpenResult::kSystem;
        if (IsFolderLink(data)) return OpenResult::kNotFolder;
    }
    PrefixIfLong(wfolder);
    return m_pState->Open(std::move(wfolder)) ? OpenResult::kOpened : ResultOfError(GetLastError());
}

const char* CDirReader::Next(EntryKind& kind) {
    State& state = *m_pState;
    state.bCurrent = false;
    if (!state.bOpen || state.hFind == INVALID_HANDLE_VALUE) return nullptr;
    if (state.bPending) {
        state.bPending = false;
    } else if (!FindNextFileW(state.hFind, &state.data)) {
        if (GetLastError() != ERROR_NO_MORE_FILES) state.bReadFailed = true;
        return nullptr;
    }
    state.bCurrent = true;
    state.name = Narrow(state.data.cFileName);
    kind = (state.data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::kFolder
                                                                         : EntryKind::kNotFolder;
    return state.name.c_str();
}

bool CDirReader::Facts(const char* pszName, EntryFacts& facts) const {
    const State& state = *m_pState;
    std::wstring wname;
    if (state.IsCurrent(pszName)) {
        const WIN32_FIND_DATAW& data = state.data;
        FillFacts(data.dwFileAttributes, data.nFileSizeHigh, data.nFileSizeLow, data.ftCreationTime,
                  data.ftLastWriteTime, facts);
        wname = data.cFileName;
    } else {
        WIN32_FILE_ATTRIBUTE_DATA attributes;
        if (!state.Lookup(pszName, attributes) || !Widen(pszName, wname)) return false;
        FillFacts(attributes.dwFileAttributes, attributes.nFileSizeHigh, attributes.nFileSizeLow,
                  attributes.ftCreationTime, attributes.ftLastWriteTime, facts);
    }
    if (facts.isFolder || state.FactsWithId(wname, facts)) return true;
    // Come since the folder's files were listed with their ids: read from
    // the file itself. Where it cannot be opened it goes without an id.
    std::wstring wpath = state.folder + wname;
    PrefixIfLong(wpath);
    const HANDLE hFile = CreateFileW(
        wpath.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) return true;
    EntryFacts own;
    if (HandleFacts(hFile, own) && !own.isFolder) facts = own;
    CloseHandle(hFile);
    return true;
}

// A listing on Windows describes a link by itself, so this is Facts plus the
// system attribute of a folder.
bool CDirReader::Describe(const char* pszName, EntryFacts& facts, bool& bSystem) const {
    bSystem = false;
    if (!Facts(pszName, facts)) return false;
    if (facts.isFolder) {
        const State& state = *m_pState;
        DWORD dwAttributes = 0;
        if (state.IsCurrent(pszName)) {
            dwAttributes = state.data.dwFileAttributes;
        } else {
            WIN32_FILE_ATTRIBUTE_DATA attributes;
            if (state.Lookup(pszName, attributes)) dwAttributes = attributes.dwFileAttributes;
        }
        bSystem = (dwAttributes & FILE_ATTRIBUTE_SYSTEM) != 0;
    }
    return true;
}
