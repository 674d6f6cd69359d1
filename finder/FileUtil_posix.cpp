// POSIX bodies of the file helpers; every path is used as its exact bytes.
#include <fcntl.h>
#include <gio/gio.h>
#include <linux/openat2.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "finder/FileUtil.h"

namespace {

// An open descriptor, closed when it goes.
class CFd {
public:
    explicit CFd(int fd = -1) : m_fd(fd) {}
    ~CFd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    CFd(const CFd&) = delete;
    CFd& operator=(const CFd&) = delete;
    void Reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
    int Get() const { return m_fd; }

private:
    int m_fd;
};

constexpr int kFolderFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;

// The folders below the root in one call, refusing any link on the way.
// -1 with errno ENOSYS where the kernel lacks the call or the text is too
// long for it: the caller then goes one name at a time.
int OpenBeneath(int rootFd, const char* pszFolders) {
    static std::atomic<bool> s_bMissing{false};
    if (s_bMissing.load(std::memory_order_relaxed)) {
        errno = ENOSYS;
        return -1;
    }
    struct open_how how {};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
    const long fd = ::syscall(SYS_openat2, rootFd, pszFolders, &how, sizeof how);
    if (fd < 0 && (errno == ENOSYS || errno == EPERM)) {
        // EPERM: a seccomp filter that does not know the call.
        s_bMissing.store(true, std::memory_order_relaxed);
        errno = ENOSYS;
    } else if (fd < 0 && (errno == ENAMETOOLONG || errno == EAGAIN)) {
        errno = ENOSYS;
    }
    return static_cast<int>(fd);
}

// Opens the folder that holds the listed entry and gives the entry's name.
// The root is opened as named (links and all: the user chose it); every
// folder below it must be a real folder now, never a link.
bool OpenParent(const std::string& strRoot, const std::string& strPath, CFd& parent,
                std::string& strName) {
    std::string strRelative;
    if (!PathBelowRoot(strRoot, strPath, strRelative)) return false;
    parent.Reset(::open(strRoot.c_str(), kFolderFlags));
    if (parent.Get() < 0) return false;
    const std::size_t last = strRelative.rfind('/');
    if (last == std::string::npos) {
        strName = std::move(strRelative);
        return true;
    }
    strName.assign(strRelative, last + 1);
    strRelative.resize(last);
    const int fd = OpenBeneath(parent.Get(), strRelative.c_str());
    if (fd >= 0 || errno != ENOSYS) {
        parent.Reset(fd);
        return fd >= 0;
    }
    // Name by name: O_NOFOLLOW with O_DIRECTORY refuses a link outright.
    char* pszName = strRelative.data();
    for (;;) {
        char* pszSep = std::strchr(pszName, '/');
        if (pszSep != nullptr) *pszSep = '\0';
        parent.Reset(::openat(parent.Get(), pszName, kFolderFlags | O_NOFOLLOW));
        if (parent.Get() < 0) return false;
        if (pszSep == nullptr) return true;
        pszName = pszSep + 1;
    }
}

// Adds the owner's write bit to the entry pszName of the folder dirFd
// without following a link. The C library does this through /proc; where
// that is not at hand, a regular file is opened without following links
// and changed through its descriptor.
bool AddOwnerWrite(int dirFd, const char* pszName, const struct stat& st) {
    const mode_t mode = (st.st_mode & 07777) | S_IWUSR;
    if (::fchmodat(dirFd, pszName, mode, AT_SYMLINK_NOFOLLOW) == 0) return true;
    if ((errno != EOPNOTSUPP && errno != ENOSYS) || !S_ISREG(st.st_mode)) return false;
    const CFd fd(
        ::openat(dirFd, pszName, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.Get() < 0) return false;
    struct stat now;
    const bool bSame =
        ::fstat(fd.Get(), &now) == 0 && now.st_dev == st.st_dev && now.st_ino == st.st_ino;
    return bSame && ::fchmod(fd.Get(), mode) == 0;
}

// The entry pszName of dirFd as the deletion may take it: not a folder,
// nor a link that leads to one (a listing shows that as the folder).
bool StatTakenEntry(int dirFd, const char* pszName, struct stat& st) {
    if (::fstatat(dirFd, pszName, &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)) {
        return false;
    }
    struct stat target;
    return !S_ISLNK(st.st_mode) || ::fstatat(dirFd, pszName, &target, 0) != 0 ||
           !S_ISDIR(target.st_mode);
}

bool SameEntry(const struct stat& a, const struct stat& b) {
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
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
std::int64_t FileSize(const std::string& strRoot, const std::string& strPath) {
    CFd parent;
    std::string strName;
    struct stat st;
    if (!OpenParent(strRoot, strPath, parent, strName) ||
        ::fstatat(parent.Get(), strName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 ||
        S_ISDIR(st.st_mode)) {
        return 0;
    }
    return static_cast<std::int64_t>(st.st_size);
}

bool RemoveFile(const std::string& strRoot, const std::string& strPath, bool bClearReadOnly) {
    CFd parent;
    std::string strName;
    if (!OpenParent(strRoot, strPath, parent, strName)) return false;
    const int dirFd = parent.Get();
    const char* pszName = strName.c_str();
    struct stat st;
    // A link to a folder is taken for the folder, as a listing shows it,
    // and is left alone like one.
    if (!StatTakenEntry(dirFd, pszName, st)) return false;
    if (!S_ISLNK(st.st_mode) && (st.st_mode & S_IWUSR) == 0) {
        // A link's own permission bits mean nothing and are never changed:
        // the link is removed and whatever it points to keeps its mode.
        if (!bClearReadOnly) return false;
        // A mode change touches only the change time; the modification and
        // access times stay as they are.
        if (!AddOwnerWrite(dirFd, pszName, st)) return false;
    }
    // Without AT_REMOVEDIR a folder put in the file's place meanwhile is
    // refused, never removed.
    return ::unlinkat(dirFd, pszName, 0) == 0;
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

bool TrashFile(const std::string& strRoot, const std::string& strPath) {
    CFd parent;
    std::string strName;
    if (!OpenParent(strRoot, strPath, parent, strName)) return false;
    struct stat entry;
    if (!StatTakenEntry(parent.Get(), strName.c_str(), entry)) return false;
    // GIO takes a path, not a folder descriptor. Right before handing it
    // over, the path must still lead to the very folder and entry checked
    // through descriptors, so no link put below the root meanwhile sends
    // the trash anywhere else.
    const std::size_t nameAt = strPath.size() - strName.size();
    std::string strParent(strPath, 0, nameAt > 1 ? nameAt - 1 : nameAt);
    struct stat folder;
    struct stat folderByPath;
    struct stat entryByPath;
    if (::fstat(parent.Get(), &folder) != 0 || ::stat(strParent.c_str(), &folderByPath) != 0 ||
        !SameEntry(folder, folderByPath) || ::lstat(strPath.c_str(), &entryByPath) != 0 ||
        !SameEntry(entry, entryByPath)) {
        return false;
    }
    // The local file system directly: no VFS module and no session bus for
    // what is always a local file.
    GFile* pFile = g_vfs_get_file_for_path(g_vfs_get_local(), strPath.c_str());
    GError* pError = nullptr;
    const bool bTrashed = g_file_trash(pFile, nullptr, &pError) != FALSE;
    if (pError != nullptr) g_error_free(pError);
    g_object_unref(pFile);
    return bTrashed;
}
