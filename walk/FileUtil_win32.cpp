// Win32 bodies of the file helpers.
#include <windows.h>

#include <string>

#include "utf16/WideText_win32.h"
#include "walk/ApiPath_win32.h"
#include "walk/FileUtil.h"

namespace {

DWORD AttributesOf(const std::string& strPath) {
    std::wstring wpath;
    if (!ToApiPath(strPath, wpath)) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wpath.c_str());
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

namespace {

// The identity of the folder strFolder names, and with pName the last name
// of its real path (links resolved, long names).
bool ReadFolder(const std::string& strFolder, FolderId& id, std::string* pName) {
    std::wstring wpath;
    if (!ToApiPath(strFolder, wpath)) return false;
    const HANDLE hFolder = CreateFileW(wpath.c_str(), FILE_READ_ATTRIBUTES,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (hFolder == INVALID_HANDLE_VALUE) return false;
    bool bRead = HandleId(hFolder, id);
    std::wstring wfinal;
    if (bRead && pName != nullptr && (bRead = FinalPath(hFolder, wfinal))) {
        while (!wfinal.empty() && wfinal.back() == L'\\') wfinal.pop_back();
        *pName = Narrow(wfinal.substr(wfinal.find_last_of(L'\\') + 1));
    }
    CloseHandle(hFolder);
    return bRead;
}

}  // namespace

bool ReadFolderId(const std::string& strFolder, FolderId& id) {
    return ReadFolder(strFolder, id, nullptr);
}

bool ReadFolderMark(const std::string& strFolder, FolderMark& mark) {
    return ReadFolder(strFolder, mark.id, &mark.strName);
}

std::string DefaultFolder() { return "C:\\"; }
