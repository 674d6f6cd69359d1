// Win32 bodies of the file helpers. A listed file is reached from its
// search's folder one name at a time: every folder on the way is opened as
// itself (never through a link) and held open without delete sharing, so
// it can be neither renamed nor swapped for a link until the entry is gone;
// the entry is then opened as itself and deleted through that handle.
#include <windows.h>

#include <vector>

#include "finder/ApiPath_win32.h"
#include "finder/FileUtil.h"
#include "tavoBasis/WideText_win32.h"

namespace {

DWORD AttributesOf(const std::string& strPath) {
    std::wstring wpath;
    if (!ToApiPath(strPath, wpath)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wpath.c_str());
}

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

private:
    HANDLE m_h;
};

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

bool ReadTag(const Handle& h, FILE_ATTRIBUTE_TAG_INFO& info) {
    return GetFileInformationByHandleEx(h.Get(), FileAttributeTagInfo, &info, sizeof info) != 0;
}

// Opens the listed entry with dwAccess, holding every folder between the
// root and the entry. False when the path is not below the root, or a name
// on the way is now a link or no folder.
bool OpenListed(const std::string& strRoot, const std::string& strPath, DWORD dwAccess,
                std::vector<Handle>& folders, Handle& entry) {
    std::string strRelative;
    std::wstring wpath;
    std::wstring wrelative;
    if (!PathBelowRoot(strRoot, strPath, strRelative) || !ToApiPath(strRoot, wpath) ||
        !Widen(strRelative, wrelative)) {
        return false;
    }
    if (wpath.back() != L'\\') wpath += L'\\';
    std::size_t start = 0;
    for (std::size_t sep; (sep = wrelative.find(L'\\', start)) != std::wstring::npos;
         start = sep + 1) {
        wpath.append(wrelative, start, sep - start);
        // No delete sharing: while held, the folder cannot be renamed,
        // removed or replaced.
        Handle folder = OpenItself(wpath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE);
        FILE_ATTRIBUTE_TAG_INFO info;
        if (!folder.IsValid() || !ReadTag(folder, info) || IsLink(info) ||
            (info.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 || IsLinkByName(wpath)) {
            return false;
        }
        folders.push_back(std::move(folder));
        wpath += L'\\';
    }
    wpath.append(wrelative, start);
    entry.Reset(OpenItself(wpath, dwAccess | FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE));
    return entry.IsValid();
}

// Clears read-only and nothing else; zero times tell the system to leave
// every time as it is. No attribute at all must be said as "normal": zero
// would mean "leave the attributes alone".
bool ClearReadOnly(HANDLE hFile, DWORD dwAttributes) {
    FILE_BASIC_INFO info{};
    info.FileAttributes = dwAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
    if (info.FileAttributes == 0) info.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return SetFileInformationByHandle(hFile, FileBasicInfo, &info, sizeof info) != 0;
}

}  // namespace

// A link counts as what its own entry is: a file link as a file (deleted as
// the link), a folder link or junction as a folder.
bool FileExists(const std::string& strPath) {
    const DWORD dwAttributes = AttributesOf(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES &&
           (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FolderExists(const std::string& strPath) {
    const DWORD dwAttributes = AttributesOf(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES &&
           (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::int64_t FileSize(const std::string& strRoot, const std::string& strPath) {
    std::vector<Handle> folders;
    Handle entry;
    FILE_STANDARD_INFO info;
    if (!OpenListed(strRoot, strPath, 0, folders, entry) ||
        !GetFileInformationByHandleEx(entry.Get(), FileStandardInfo, &info, sizeof info) ||
        info.Directory) {
        return 0;
    }
    return info.EndOfFile.QuadPart;
}

bool RemoveFile(const std::string& strRoot, const std::string& strPath, bool bClearReadOnly) {
    std::vector<Handle> folders;
    Handle entry;
    // Without delete sharing granted by whoever else holds the file open,
    // this open fails and the file stays.
    if (!OpenListed(strRoot, strPath, DELETE | FILE_WRITE_ATTRIBUTES, folders, entry)) return false;
    FILE_BASIC_INFO basic;
    if (!GetFileInformationByHandleEx(entry.Get(), FileBasicInfo, &basic, sizeof basic) ||
        (basic.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return false;
    }
    if ((basic.FileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        if (!bClearReadOnly || !ClearReadOnly(entry.Get(), basic.FileAttributes)) return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    // The entry goes when this, the last handle of ours, closes.
    return SetFileInformationByHandle(entry.Get(), FileDispositionInfo, &disposition,
                                      sizeof disposition) != 0;
}

std::string DefaultFolder() { return "C:\\"; }
