// Long-path handling for the Win32 bodies of the search and the file helpers.
#include "walk/ApiPath_win32.h"

#include <windows.h>

#include <cstring>

#include "utf16/WideText_win32.h"
#include "walk/DirReader.h"
#include "walk/ListedFile.h"

namespace {

// Room for a name of up to 12 characters and "\*" behind the folder, the
// margin CreateDirectory keeps below MAX_PATH.
constexpr std::size_t kShortPathLimit = MAX_PATH - 12;

bool HasLongPrefix(const std::wstring& wpath) { return wpath.rfind(L"\\\\?\\", 0) == 0; }

}  // namespace

void PrefixIfLong(std::wstring& wpath) {
    if (wpath.size() < kShortPathLimit || HasLongPrefix(wpath)) return;
    // \\?\ turns off the API's normalising: the path must already be full
    // and use backslashes only, as GetFullPathNameW makes it.
    if (wpath.rfind(L"\\\\", 0) == 0) {
        wpath.replace(0, 2, L"\\\\?\\UNC\\");
    } else {
        wpath.insert(0, L"\\\\?\\");
    }
}

bool ToApiPath(const std::string& strPath, std::wstring& wpath) {
    std::wstring wide;
    if (strPath.empty() || !Widen(strPath, wide)) return false;
    if (HasLongPrefix(wide)) {
        wpath = std::move(wide);
        return true;
    }
    // The full path resolves "/", "." and ".." the way the short form of the
    // same path would have been understood.
    DWORD nSize = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    for (int nTry = 0; nTry < 3 && nSize > 0; ++nTry) {
        wpath.resize(nSize);
        const DWORD nWritten = GetFullPathNameW(wide.c_str(), nSize, wpath.data(), nullptr);
        if (nWritten == 0) break;
        if (nWritten < nSize) {
            wpath.resize(nWritten);
            PrefixIfLong(wpath);
            return true;
        }
        nSize = nWritten;
    }
    return false;
}

namespace {

constexpr std::int64_t kTicksPerSecond = 10000000;
// 100 ns ticks from 1601 to 1970.
constexpr std::int64_t kEpochTicks = 116444736000000000LL;

std::uint64_t Join(DWORD nHigh, DWORD nLow) {
    return (static_cast<std::uint64_t>(nHigh) << 32) | nLow;
}

}  // namespace

FileStamp StampOf(const FILETIME& ft) {
    const std::int64_t ticks =
        static_cast<std::int64_t>(Join(ft.dwHighDateTime, ft.dwLowDateTime)) - kEpochTicks;
    // Whole seconds rounded down, also before 1970; the rest in 100 ns ticks.
    std::int64_t seconds = ticks / kTicksPerSecond;
    std::int64_t rest = ticks % kTicksPerSecond;
    if (rest < 0) {
        --seconds;
        rest += kTicksPerSecond;
    }
    return {seconds, static_cast<std::uint32_t>(rest * 100)};
}

bool HandleFacts(void* hFile, EntryFacts& facts) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(hFile, &info)) return false;
    facts.isFolder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    facts.size = facts.isFolder ? 0 : Join(info.nFileSizeHigh, info.nFileSizeLow);
    facts.created = StampOf(info.ftCreationTime);
    facts.modified = StampOf(info.ftLastWriteTime);
    facts.id = facts.isFolder ? 0
                              : FoldFileId(info.dwVolumeSerialNumber,
                                           Join(info.nFileIndexHigh, info.nFileIndexLow));
    return true;
}

bool HandleId(void* hFile, FolderId& id) {
    FILE_ID_INFO info;
    if (GetFileInformationByHandleEx(hFile, FileIdInfo, &info, sizeof info)) {
        static_assert(sizeof info.FileId.Identifier == 2 * sizeof(std::uint64_t));
        id.volume = info.VolumeSerialNumber;
        std::memcpy(&id.index, info.FileId.Identifier, sizeof id.index);
        std::memcpy(&id.generation, info.FileId.Identifier + sizeof id.index, sizeof id.generation);
        return true;
    }
    BY_HANDLE_FILE_INFORMATION basic;
    if (!GetFileInformationByHandle(hFile, &basic)) return false;
    id.volume = basic.dwVolumeSerialNumber;
    id.index = (static_cast<std::uint64_t>(basic.nFileIndexHigh) << 32) | basic.nFileIndexLow;
    id.generation = 0;
    return true;
}

bool FinalPath(void* hFolder, std::wstring& wpath) {
    DWORD nSize = GetFinalPathNameByHandleW(hFolder, nullptr, 0, VOLUME_NAME_DOS);
    for (int nTry = 0; nTry < 3 && nSize > 0; ++nTry) {
        wpath.resize(nSize);
        const DWORD nWritten =
            GetFinalPathNameByHandleW(hFolder, wpath.data(), nSize, VOLUME_NAME_DOS);
        if (nWritten == 0) break;
        if (nWritten < nSize) {
            wpath.resize(nWritten);
            return true;
        }
        nSize = nWritten + 1;
    }
    return false;
}
