// Long-path handling for the Win32 bodies of the search and the file helpers.
#include "finder/ApiPath_win32.h"

#include <windows.h>

#include <cstring>

#include "finder/DirReader.h"
#include "utf16/WideText_win32.h"

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
