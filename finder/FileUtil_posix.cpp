// POSIX bodies of the file helpers; every path is used as its exact bytes.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "finder/FileUtil.h"

namespace {

// Adds the owner's write bit without following a link. The C library does
// this through /proc; where that is not at hand, a regular file is opened
// without following links and changed through its descriptor.
bool AddOwnerWrite(const std::string& strPath, const struct stat& st) {
    const mode_t mode = (st.st_mode & 07777) | S_IWUSR;
    if (::fchmodat(AT_FDCWD, strPath.c_str(), mode, AT_SYMLINK_NOFOLLOW) == 0) return true;
    if ((errno != EOPNOTSUPP && errno != ENOSYS) || !S_ISREG(st.st_mode)) return false;
    const int fd =
        ::open(strPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat now;
    const bool bSame = ::fstat(fd, &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino;
    const bool bDone = bSame && ::fchmod(fd, mode) == 0;
    ::close(fd);
    return bDone;
}

}  // namespace

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

// The size of the entry itself (a link's own size, not its target's): what
// deleting it gives back. A folder has no size of its own here.
std::int64_t FileSize(const std::string& strPath) {
    struct stat st;
    if (::lstat(strPath.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return 0;
    return static_cast<std::int64_t>(st.st_size);
}

bool RemoveFile(const std::string& strPath, bool bClearReadOnly) {
    if (!FileExists(strPath)) return false;
    struct stat st;
    if (::lstat(strPath.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    // A link's own permission bits mean nothing and are never changed: the
    // link is removed and whatever it points to keeps its mode.
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
        if (!bClearReadOnly) return false;
        // A mode change touches only the change time; the modification and
        // access times stay as they are.
        if (!AddOwnerWrite(strPath, st)) return false;
    }
    return ::unlink(strPath.c_str()) == 0;
}
