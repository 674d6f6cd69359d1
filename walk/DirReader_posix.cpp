// POSIX directory reading for the search: openat/getdents64 per folder,
// entry types from the listing, statx only on the entries asked for.
#include "walk/DirReader_posix.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <linux/openat2.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/syscall.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string_view>
#include <thread>

#include "walk/DirReader.h"
#include "walk/ListedFile.h"
#include "walk/TrashPlaces_posix.h"

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

FileStamp StampOf(const struct statx_timestamp& ts) { return {ts.tv_sec, ts.tv_nsec}; }

std::int64_t Nanoseconds(const struct timespec& ts) {
    return static_cast<std::int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

// File systems stamp changes from a clock that advances only once per
// scheduler tick (up to 10 ms): a change within the same tick as the
// previous one can leave the stamp as it was. A stamp older than this
// margin at opening cannot be repeated by a later change.
constexpr std::int64_t kStampMarginNs = 50 * 1000000LL;

OpenResult ResultOfError(int nError) {
    switch (nError) {
        case ENOTDIR:
        case ELOOP:
            return OpenResult::kNotFolder;
        case ENOENT:
            return OpenResult::kGone;
        case EMFILE:
        case ENFILE:
            return OpenResult::kNoDescriptor;
        default:
            return OpenResult::kFailed;
    }
}

// The home trash by identity as the walk starts: it may be reached by any
// path, and a walk from the home folder must not move or delete what the
// user has already thrown away.
FolderId HomeTrashId() {
    const std::string path = HomeTrashPath();
    FolderId id;
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) ||
        !ReadEntryId(AT_FDCWD, path.c_str(), 0, id)) {
        return {};
    }
    return id;
}

// The identity of what statx described as sx: device, index and birth time
// (0 where the file system keeps none). Enough to tell the folders of one
// walk apart; where an identity is compared with one read at another time
// (the root's, a folder reopened, a mark), the handle is added.
FolderId QuickIdOf(const struct statx& sx) {
    FolderId id;
    id.volume = makedev(sx.stx_dev_major, sx.stx_dev_minor);
    id.index = sx.stx_ino;
    if (sx.stx_mask & STATX_BTIME) {
        id.generation =
            static_cast<std::uint64_t>(sx.stx_btime.tv_sec) * 1000000000u + sx.stx_btime.tv_nsec;
    }
    return id;
}

// Adds the file handle of pszName below dirFd (nHandleFlags as
// name_to_handle_at takes them) to a quick identity. The handle carries the
// generation that a file system such as ext4 draws afresh when it gives a
// removed folder's inode number to a new one; the birth time alone would
// not do: it moves only once per clock tick.
FolderId LastingIdOf(FolderId id, int dirFd, const char* pszName, int nHandleFlags) {
    alignas(struct file_handle) unsigned char buffer[sizeof(struct file_handle) + MAX_HANDLE_SZ];
    auto* pHandle = reinterpret_cast<struct file_handle*>(buffer);
    pHandle->handle_bytes = MAX_HANDLE_SZ;
    int nMount = 0;
    if (name_to_handle_at(dirFd, pszName, pHandle, &nMount, nHandleFlags) == 0) {
        // FNV-1a over the handle's type and bytes.
        const unsigned char* pBytes = buffer + offsetof(struct file_handle, f_handle);
        std::uint64_t hash =
            0xcbf29ce484222325ULL ^ static_cast<std::uint32_t>(pHandle->handle_type);
        for (unsigned i = 0; i < pHandle->handle_bytes && i < MAX_HANDLE_SZ; ++i) {
            hash = (hash ^ pBytes[i]) * 0x100000001b3ULL;
        }
        id.generation ^= hash;
    }
    return id;
}

bool SameIndex(const FolderId& a, const FolderId& b) {
    return a.index == b.index && a.volume == b.volume;
}

}  // namespace

bool ReadEntryId(int dirFd, const char* pszName, int flags, FolderId& id) {
    struct statx sx;
    if (statx(dirFd, pszName, flags | AT_NO_AUTOMOUNT, STATX_INO | STATX_BTIME, &sx) != 0) {
        return false;
    }
    id = LastingIdOf(
        QuickIdOf(sx), dirFd, pszName,
        (flags & AT_EMPTY_PATH) | ((flags & AT_SYMLINK_NOFOLLOW) ? 0 : AT_SYMLINK_FOLLOW));
    return true;
}

void RaiseDescriptorLimit() {
    struct rlimit rl;
    if (getrlimit(RLIMIT_NOFILE, &rl) != 0 || rl.rlim_cur >= rl.rlim_max) return;
    rl.rlim_cur = rl.rlim_max;
    if (rl.rlim_max == RLIM_INFINITY) {
        // The kernel refuses an infinite limit; its own ceiling is the most.
        unsigned long nOpen = 0;
        std::ifstream("/proc/sys/fs/nr_open") >> nOpen;
        if (nOpen == 0) return;
        rl.rlim_cur = nOpen;
    }
    setrlimit(RLIMIT_NOFILE, &rl);
}

std::size_t FolderDescriptorBudget() {
    struct rlimit rl;
    if (getrlimit(RLIMIT_NOFILE, &rl) != 0) return 64;
    if (rl.rlim_cur == RLIM_INFINITY) return std::size_t{1} << 16;
    return static_cast<std::size_t>(rl.rlim_cur / 4);
}

unsigned UsableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) {
        return static_cast<unsigned>(CPU_COUNT(&set));
    }
    return std::max(1u, std::thread::hardware_concurrency());
}

struct CDirReader::State {
    int fd = -1;
    // The listing is read with getdents64 into a buffer of its own:
    // fdopendir would read the folder's status again and set its flags
    // twice, three calls per folder that the open already settled.
    std::unique_ptr<char[]> buffer;
    std::size_t nPos = 0;
    std::size_t nEnd = 0;
    FolderId id;  // quick, or lasting for the root and what has its index
    FolderId lastingId;
    bool bLasting = false;     // lastingId has been read
    std::int64_t changed = 0;  // the folder's change time when opened, ns
    bool bSettled = false;     // that time lay clearly before the opening
    bool bReleased = false;
    bool bEnded = false;  // the listing was read to its end
    bool bReadFailed = false;
    FolderId root;       // the lasting identities carried down from the root
    FolderId homeTrash;  // of the walk

    bool Attach(int fdFolder);
    // The identity with the folder's handle, read once, while it is open.
    const FolderId& Lasting() {
        if (!bLasting && fd >= 0) {
            lastingId = LastingIdOf(id, fd, "", AT_EMPTY_PATH);
            bLasting = true;
        }
        return lastingId;
    }
    // Whether this open folder is the one a lasting identity names; only a
    // folder with the same index is worth reading its handle for.
    bool Is(const FolderId& lasting) { return SameIndex(id, lasting) && Lasting() == lasting; }
    void CloseFd() {
        if (fd >= 0) ::close(fd);
        fd = -1;
        buffer.reset();
    }
};

const char kPathSeparator = '/';

void EnsureFolderSeparator(std::string& strFolder) {
    if (strFolder.empty() || strFolder.back() != '/') strFolder += '/';
}

// Reads the folder's status through "." rather than the descriptor: that
// lookup needs the right to enter the folder, which opening it does not. A
// folder that can be listed but not entered gives names whose files cannot
// be read, so it counts as unreadable, as one that cannot be listed.
bool CDirReader::State::Attach(int fdFolder) {
    bReleased = bEnded = bReadFailed = bLasting = false;
    nPos = nEnd = 0;
    struct statx sx;
    if (statx(fdFolder, ".", AT_NO_AUTOMOUNT, STATX_INO | STATX_BTIME | STATX_CTIME, &sx) != 0) {
        ::close(fdFolder);
        return false;
    }
    fd = fdFolder;
    id = QuickIdOf(sx);
    changed = static_cast<std::int64_t>(sx.stx_ctime.tv_sec) * 1000000000 + sx.stx_ctime.tv_nsec;
    struct timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    bSettled = changed < Nanoseconds(now) - kStampMarginNs;
    return true;
}

CDirReader::CDirReader() : m_pState(std::make_unique<State>()) {}

CDirReader::~CDirReader() { Close(); }

bool CDirReader::IsOpen() const { return m_pState->fd >= 0; }

FolderId CDirReader::Id() const { return m_pState->id; }

// Every folder's index is read as it opens: a bind mount shows a marked
// folder under any name.
bool CDirReader::IsOneOf(const std::vector<FolderMark>& marks, const char*) const {
    for (const FolderMark& mark : marks) {
        if (m_pState->Is(mark.id)) return true;
    }
    return false;
}

OpenResult CDirReader::OpenPath(const std::string& strPath) {
    Close();
    const int fd = ::open(strPath.c_str(), kOpenFolderFlags);
    if (fd < 0) return ResultOfError(errno);
    State& state = *m_pState;
    if (!state.Attach(fd)) return OpenResult::kFailed;
    // A deletion compares the root's identity with one read later.
    state.id = state.Lasting();
    state.root = state.id;
    state.homeTrash = HomeTrashId();
    return OpenResult::kOpened;
}

OpenResult CDirReader::OpenSub(const CDirReader& parent, const char* pszName) {
    Close();
    // Below the root a link is never entered: it could lead out of the
    // chosen folder or into a folder walked already.
    const State& from = *parent.m_pState;
    const int fd = ::openat(from.fd, pszName, kOpenFolderFlags | O_NOFOLLOW);
    if (fd < 0) return ResultOfError(errno);
    State& state = *m_pState;
    if (!state.Attach(fd)) return OpenResult::kFailed;
    // The root met again (a bind mount) must be known as the root.
    if (state.Is(from.root)) state.id = state.lastingId;
    // Only a mount point can change the file system, and only a mount point
    // changes the device number: ordinary folders pay nothing here.
    const bool bTop = state.id.volume != from.id.volume;
    if ((bTop && IsPseudoFileSystem(state.fd, state.id.volume)) || state.Is(from.homeTrash) ||
        IsTrashFolder(pszName, [&state] { return state.Lasting(); })) {
        Close();
        return OpenResult::kSystem;
    }
    state.root = from.root;
    state.homeTrash = from.homeTrash;
    return OpenResult::kOpened;
}

void CDirReader::Release() {
    State& state = *m_pState;
    // A listing still being read keeps its place in the stream.
    if (state.fd < 0 || (state.buffer && !state.bEnded)) return;
    // Taken back only if it is the very same folder: read what tells.
    state.Lasting();
    state.CloseFd();
    state.bReleased = true;
}

bool CDirReader::IsReleased() const { return m_pState->bReleased; }

// A folder moved out of the chosen one and a link put in its place must
// not be reached: one call where the kernel resolves the whole path under
// that rule; otherwise a name at a time.
int OpenBeneath(int fdFrom, const std::string& strRelative, int flags) {
    static std::atomic<bool> s_bNoOpenat2{false};
    if (!s_bNoOpenat2.load(std::memory_order_relaxed)) {
        struct open_how how {};
        how.flags = static_cast<__u64>(flags);
        how.resolve = RESOLVE_NO_SYMLINKS | RESOLVE_NO_MAGICLINKS | RESOLVE_BENEATH;
        const long fd = ::syscall(SYS_openat2, fdFrom, strRelative.c_str(), &how, sizeof how);
        // EPERM: a seccomp filter that does not know the call.
        if (fd < 0 && (errno == ENOSYS || errno == EPERM)) {
            s_bNoOpenat2.store(true, std::memory_order_relaxed);
        } else if (fd >= 0 || (errno != ENAMETOOLONG && errno != EAGAIN)) {
            return static_cast<int>(fd);
        }
    }
    int fdStep = -1;
    std::string_view rest = strRelative;
    for (;;) {
        const std::size_t cut = rest.find('/');
        const std::string name(rest.substr(0, cut));
        const bool bLast = cut == std::string_view::npos;
        const int fd = ::openat(fdStep >= 0 ? fdStep : fdFrom, name.c_str(),
                                (bLast ? flags : O_PATH | O_DIRECTORY | O_CLOEXEC) | O_NOFOLLOW);
        const int nError = errno;
        if (fdStep >= 0) ::close(fdStep);
        errno = nError;
        if (fd < 0 || bLast) return fd;
        fdStep = fd;
        rest.remove_prefix(cut + 1);
    }
}

OpenResult CDirReader::Reopen(const CDirReader& ancestor, const std::string& strRelative) {
    State& state = *m_pState;
    const int fd = OpenBeneath(ancestor.m_pState->fd, strRelative, kOpenFolderFlags);
    if (fd < 0) return ResultOfError(errno);
    // The path may have been pointed elsewhere meanwhile: only the very
    // folder listed before is taken back.
    FolderId id;
    if (!ReadEntryId(fd, "", AT_EMPTY_PATH, id) || id != state.lastingId) {
        ::close(fd);
        return OpenResult::kGone;
    }
    state.fd = fd;
    state.bReleased = false;
    return OpenResult::kOpened;
}

void CDirReader::Close() {
    m_pState->bReleased = false;
    m_pState->CloseFd();
}

void CDirReader::EndListing() {
    m_pState->bEnded = true;
    m_pState->buffer.reset();
}

bool CDirReader::Unchanged() const {
    struct stat st;
    return m_pState->bSettled && fstat(m_pState->fd, &st) == 0 &&
           Nanoseconds(st.st_ctim) == m_pState->changed;
}

const char* CDirReader::Next(EntryKind& kind) {
    State& state = *m_pState;
    if (state.fd < 0 || state.bEnded) return nullptr;
    // As large as the C library's own: a folder of a few hundred entries
    // is one call, and the end of the listing one more.
    constexpr std::size_t kBufferBytes = 32u << 10;
    if (state.nPos >= state.nEnd) {
        if (!state.buffer) state.buffer = std::make_unique<char[]>(kBufferBytes);
        const ssize_t n = getdents64(state.fd, state.buffer.get(), kBufferBytes);
        if (n <= 0) {
            // A folder removed while it is read simply ends.
            if (n < 0 && errno != ENOENT) state.bReadFailed = true;
            state.bEnded = true;
            state.buffer.reset();
            return nullptr;
        }
        state.nPos = 0;
        state.nEnd = static_cast<std::size_t>(n);
    }
    const auto* pEntry = reinterpret_cast<const struct dirent64*>(state.buffer.get() + state.nPos);
    state.nPos += pEntry->d_reclen;
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

bool CDirReader::ReadFailed() const { return m_pState->bReadFailed; }

bool ReadFacts(int dirFd, const char* pszName, int flags, EntryFacts& facts, struct statx& sx) {
    if (statx(dirFd, pszName, flags | AT_NO_AUTOMOUNT,
              STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME | STATX_INO, &sx) != 0) {
        return false;
    }
    facts.isFolder = S_ISDIR(sx.stx_mode);
    facts.size = facts.isFolder ? 0 : sx.stx_size;
    facts.modified = StampOf(sx.stx_mtime);
    facts.created = (sx.stx_mask & STATX_BTIME) ? StampOf(sx.stx_btime) : facts.modified;
    facts.id =
        facts.isFolder ? 0 : FoldFileId(makedev(sx.stx_dev_major, sx.stx_dev_minor), sx.stx_ino);
    return true;
}

bool CDirReader::Facts(const char* pszName, EntryFacts& facts) const {
    struct statx sx;
    if (!ReadFacts(m_pState->fd, pszName, AT_SYMLINK_NOFOLLOW, facts, sx)) return false;
    if (S_ISLNK(sx.stx_mode)) {
        struct statx target;
        facts.leadsToFolder =
            statx(m_pState->fd, pszName, AT_NO_AUTOMOUNT, STATX_TYPE, &target) == 0 &&
            S_ISDIR(target.stx_mode);
    }
    return true;
}

bool CDirReader::Describe(const char* pszName, EntryFacts& facts, bool& bSystem) const {
    struct statx sx;
    bSystem = false;
    const int fdFolder = m_pState->fd;
    if (!ReadFacts(fdFolder, pszName, 0, facts, sx) &&
        !ReadFacts(fdFolder, pszName, AT_SYMLINK_NOFOLLOW, facts, sx)) {
        return false;
    }
    if (facts.isFolder && makedev(sx.stx_dev_major, sx.stx_dev_minor) != m_pState->id.volume) {
        const int fd = ::openat(fdFolder, pszName, O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            bSystem = IsPseudoFileSystem(fd, makedev(sx.stx_dev_major, sx.stx_dev_minor));
            ::close(fd);
        }
    }
    return true;
}
