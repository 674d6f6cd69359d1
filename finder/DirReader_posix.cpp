// POSIX directory reading for the search: openat/fdopendir/readdir per
// folder, entry types from the listing, statx only on the entries asked for.
#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "finder/DirReader.h"

namespace {

// Magic numbers that <linux/magic.h> of older kernels lacks.
constexpr unsigned long kConfigFsMagic = 0x62656570;
constexpr unsigned long kFuseCtlMagic = 0x65735543;
constexpr unsigned long kMqueueMagic = 0x19800202;

constexpr int kOpenFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK;

// devtmpfs reports the tmpfs magic, so /dev can only be told from an
// ordinary tmpfs by the mount table's file system name.
bool IsDevTmpFs(dev_t dev) {
    FILE* pFile = std::fopen("/proc/self/mountinfo", "re");
    if (pFile == nullptr) return false;
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "%u:%u", major(dev), minor(dev));
    const std::size_t wantedLen = std::strlen(wanted);
    bool bDevTmpFs = false;
    char* pLine = nullptr;
    std::size_t cap = 0;
    while (getline(&pLine, &cap, pFile) > 0) {
        // Fields: mount id, parent id, major:minor, ... " - " fstype ...
        const char* p = std::strchr(pLine, ' ');
        if (p == nullptr || (p = std::strchr(p + 1, ' ')) == nullptr) continue;
        ++p;
        if (std::strncmp(p, wanted, wantedLen) != 0 || p[wantedLen] != ' ') continue;
        const char* pSep = std::strstr(p, " - ");
        if (pSep != nullptr && std::strncmp(pSep + 3, "devtmpfs ", 9) == 0) {
            bDevTmpFs = true;
            break;
        }
    }
    std::free(pLine);
    std::fclose(pFile);
    return bDevTmpFs;
}

// Folders of kernel and device pseudo file systems hold no build output and
// some are endless or block when read: they count as system folders.
bool IsPseudoFileSystem(int fd, dev_t dev) {
    struct statfs fs;
    if (fstatfs(fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case PSTOREFS_MAGIC:
        case BPF_FS_MAGIC:
        case kConfigFsMagic:
        case kFuseCtlMagic:
        case kMqueueMagic:
        case HUGETLBFS_MAGIC:
        case SELINUX_MAGIC:
        case SMACK_MAGIC:
        case EFIVARFS_MAGIC:
        case BINFMTFS_MAGIC:
        case NSFS_MAGIC:
            return true;
        case TMPFS_MAGIC:
            return IsDevTmpFs(dev);
        default:
            return false;
    }
}

std::int64_t Seconds(const struct statx_timestamp& ts) { return ts.tv_sec; }

}  // namespace

const char kPathSeparator = '/';

void EnsureFolderSeparator(std::string& strFolder) {
    if (strFolder.empty() || strFolder.back() != '/') strFolder += '/';
}

bool CDirReader::Attach(int fd) {
    struct stat st;
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        return false;
    }
    DIR* pDir = fdopendir(fd);
    if (pDir == nullptr) {
        ::close(fd);
        return false;
    }
    m_pDir = pDir;
    m_fd = fd;
    m_id.volume = st.st_dev;
    m_id.index = st.st_ino;
    return true;
}

bool CDirReader::OpenPath(const std::string& strPath) {
    Close();
    const int fd = ::open(strPath.c_str(), kOpenFolderFlags);
    return fd >= 0 && Attach(fd);
}

OpenResult CDirReader::OpenSub(const CDirReader& parent, const char* pszName) {
    Close();
    // Below the root a link is never entered: it could lead out of the
    // chosen folder or into a folder walked already.
    const int fd = ::openat(parent.m_fd, pszName, kOpenFolderFlags | O_NOFOLLOW);
    if (fd < 0) {
        return errno == ENOTDIR || errno == ELOOP ? OpenResult::kNotFolder : OpenResult::kFailed;
    }
    struct stat st;
    if (fstat(fd, &st) != 0) {
        ::close(fd);
        return OpenResult::kFailed;
    }
    // Only a mount point can change the file system, and only a mount point
    // changes the device number: ordinary folders pay nothing here.
    if (st.st_dev != parent.m_id.volume && IsPseudoFileSystem(fd, st.st_dev)) {
        ::close(fd);
        return OpenResult::kSystem;
    }
    return Attach(fd) ? OpenResult::kOpened : OpenResult::kFailed;
}

void CDirReader::Close() {
    if (m_pDir != nullptr) {
        closedir(static_cast<DIR*>(m_pDir));  // closes m_fd too
        m_pDir = nullptr;
        m_fd = -1;
    }
}

const char* CDirReader::Next(EntryKind& kind) {
    const dirent* pEntry = readdir(static_cast<DIR*>(m_pDir));
    if (pEntry == nullptr) return nullptr;
    switch (pEntry->d_type) {
        case DT_DIR:
            kind = EntryKind::kFolder;
            break;
        case DT_UNKNOWN:
            kind = EntryKind::kMaybeFolder;
            break;
        default:
            kind = EntryKind::kNotFolder;
            break;
    }
    return pEntry->d_name;
}

namespace {

bool ReadFacts(int dirFd, const char* pszName, int flags, EntryFacts& facts, struct statx& sx) {
    if (statx(dirFd, pszName, flags | AT_NO_AUTOMOUNT,
              STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME, &sx) != 0) {
        return false;
    }
    facts.isFolder = S_ISDIR(sx.stx_mode);
    facts.size = facts.isFolder ? 0 : sx.stx_size;
    facts.modified = Seconds(sx.stx_mtime);
    facts.created = (sx.stx_mask & STATX_BTIME) ? Seconds(sx.stx_btime) : facts.modified;
    return true;
}

}  // namespace

bool CDirReader::Facts(const char* pszName, EntryFacts& facts) const {
    struct statx sx;
    return ReadFacts(m_fd, pszName, AT_SYMLINK_NOFOLLOW, facts, sx);
}

bool CDirReader::Describe(const char* pszName, EntryFacts& facts, bool& bSystem) const {
    struct statx sx;
    bSystem = false;
    if (!ReadFacts(m_fd, pszName, 0, facts, sx) &&
        !ReadFacts(m_fd, pszName, AT_SYMLINK_NOFOLLOW, facts, sx)) {
        return false;
    }
    if (facts.isFolder && makedev(sx.stx_dev_major, sx.stx_dev_minor) != m_id.volume) {
        const int fd = ::openat(m_fd, pszName, O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            bSystem = IsPseudoFileSystem(fd, makedev(sx.stx_dev_major, sx.stx_dev_minor));
            ::close(fd);
        }
    }
    return true;
}
