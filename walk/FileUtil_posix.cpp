// POSIX bodies of the file helpers; every path is used as its exact bytes.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "walk/DirReader_posix.h"
#include "walk/FileUtil.h"

// A symbolic link to a file counts as a file, and so does a dangling link:
// both are entries the deletion removes as the link itself. A link to a
// folder counts as the folder it leads to.
bool FileExists(const std::string& strPath) {
    struct stat st;
    if (::stat(strPath.c_str(), &st) == 0) return !S_ISDIR(st.st_mode);
    return ::lstat(strPath.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool FolderExists(const std::string& strPath) {
    struct stat st;
    return ::stat(strPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool ReadFolderId(const std::string& strFolder, FolderId& id) {
    return ReadEntryId(AT_FDCWD, strFolder.c_str(), 0, id);
}

// The identity alone tells: a folder's identity is read wherever it opens.
bool ReadFolderMark(const std::string& strFolder, FolderMark& mark) {
    return ReadFolderId(strFolder, mark.id);
}

std::string DefaultFolder() {
    if (const char* pszHome = std::getenv("HOME"); pszHome != nullptr && pszHome[0] == '/') {
        return pszHome;
    }
    long nSize = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    if (nSize <= 0) nSize = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(nSize));
    passwd entry{};
    passwd* pFound = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &pFound) == 0 &&
        pFound != nullptr && pFound->pw_dir != nullptr) {
        return pFound->pw_dir;
    }
    return "/";
}
