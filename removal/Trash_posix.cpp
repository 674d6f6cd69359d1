// The freedesktop.org trash (a trash per file system, a record in info/
// written first, then the rename into files/). It is written here because
// no library moves a file to the trash relative to a folder descriptor:
// each takes a path and resolves it again, so a folder swapped for a link
// between the search's checks and the library's rename would send a file
// from outside the searched folder, and counting up from name.2 on every
// collision makes thousands of same-named files quadratic.
#include "removal/Trash_posix.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string_view>

#include "walk/TrashPlaces_posix.h"

namespace {

constexpr std::string_view kInfoSuffix = ".trashinfo";
constexpr std::size_t kNameMax = 255;
// A random tag makes a second try all but certain to be free; a few more
// cover a trash full of orphaned names.
constexpr int kNameTries = 8;
constexpr int kOwnFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// The folder pszName of dirFd, made with mode 0700 when missing and opened
// without following a link. Another user's folder is refused: its owner
// could read or swap what we put there.
int OpenOwnFolder(int dirFd, const char* pszName) {
    if (::mkdirat(dirFd, pszName, 0700) != 0 && errno != EEXIST) return -1;
    const int fd = ::openat(dirFd, pszName, kOwnFolderFlags);
    if (fd < 0) return -1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        ::close(fd);
        errno = EACCES;
        return -1;
    }
    return fd;
}

// The device of strPath or, while it does not exist yet, of the nearest
// folder above it: where the trash would be made.
bool NearestDevice(std::string strPath, dev_t& dev) {
    for (;;) {
        struct stat st;
        if (::stat(strPath.c_str(), &st) == 0) {
            dev = st.st_dev;
            return true;
        }
        const std::size_t slash = strPath.rfind('/');
        if (errno != ENOENT || slash == std::string::npos || strPath.size() <= 1) return false;
        strPath.resize(slash == 0 ? 1 : slash);
    }
}

// mkdir -p with mode 0700 for what is missing.
bool MakeFolders(const std::string& strPath) {
    for (std::size_t at = 1;;) {
        const std::size_t slash = strPath.find('/', at);
        const std::string part = strPath.substr(0, slash);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) return true;
        at = slash + 1;
    }
}

// The home trash when it lies on the device dev, else -1.
int OpenHomeTrash(dev_t dev) {
    const std::string strTrash = HomeTrashPath();
    dev_t homeDev = 0;
    if (strTrash.empty() || !NearestDevice(strTrash, homeDev) || homeDev != dev ||
        !MakeFolders(strTrash)) {
        return -1;
    }
    // The user's own path: a link they made there is theirs to make.
    const int fd = ::open(strTrash.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (fd >= 0 && (::fstat(fd, &st) != 0 || st.st_dev != dev)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// The id of the mount the open fd is on: statx's, or the one /proc notes
// for the descriptor on kernels before 5.8. 0 when neither tells.
std::uint64_t MountId(int fd) {
    struct statx sx;
    if (::statx(fd, "", AT_EMPTY_PATH | AT_NO_AUTOMOUNT, STATX_MNT_ID, &sx) == 0 &&
        (sx.stx_mask & STATX_MNT_ID) != 0) {
        return sx.stx_mnt_id;
    }
    const std::string strInfo = "/proc/self/fdinfo/" + std::to_string(fd);
    std::uint64_t id = 0;
    if (FILE* pInfo = std::fopen(strInfo.c_str(), "re")) {
        char line[128];
        while (std::fgets(line, sizeof line, pInfo) != nullptr) {
            unsigned long long n = 0;
            if (std::sscanf(line, "mnt_id: %llu", &n) == 1) id = n;
        }
        std::fclose(pInfo);
    }
    return id;
}

// The top folder of the mount that holds the folder fromFd: climbs ".."
// while it stays on that mount. A bind mount's top is where it is mounted,
// not the top of its device: a rename never crosses a mount. Where no
// mount id is told, the device (dev) bounds the climb.
int OpenTopFolder(int fromFd, dev_t dev, std::uint64_t mount) {
    int cur = ::openat(fromFd, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    struct stat st;
    if (cur < 0 || ::fstat(cur, &st) != 0) {
        if (cur >= 0) ::close(cur);
        return -1;
    }
    for (;;) {
        const int up = ::openat(cur, "..", O_PATH | O_DIRECTORY | O_CLOEXEC);
        struct stat upSt;
        if (up < 0 || ::fstat(up, &upSt) != 0 || upSt.st_dev != dev || upSt.st_ino == st.st_ino ||
            (mount != 0 && MountId(up) != mount)) {
            if (up >= 0) ::close(up);
            return cur;
        }
        ::close(cur);
        cur = up;
        st = upSt;
    }
}

// $topdir/.Trash/$uid when .Trash is a real folder with the sticky bit
// (an administrator's shared trash), else $topdir/.Trash-$uid.
int OpenTopTrash(int topFd) {
    const std::string strUid = std::to_string(::geteuid());
    struct stat st;
    if (::fstatat(topFd, kSharedTrashName, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX) != 0) {
        const CFd shared(::openat(topFd, kSharedTrashName, kOwnFolderFlags));
        const int fd = shared.Get() >= 0 ? OpenOwnFolder(shared.Get(), strUid.c_str()) : -1;
        if (fd >= 0) return fd;
    }
    return OpenOwnFolder(topFd, OwnTopTrashName(::geteuid()).c_str());
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

int MoveNoReplace(int fromFd, const char* pszFrom, int toFd, const char* pszTo) {
    if (::renameat2(fromFd, pszFrom, toFd, pszTo, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without the flag: a look first. The names moved to
    // are ours (files/ in the user's own trash, whose record made first
    // holds the name; a random name beside a file being checked), so only
    // a hostile writer could use the moment between.
    struct stat st;
    if (::fstatat(toFd, pszTo, &st, AT_SYMLINK_NOFOLLOW) == 0) {
        errno = EEXIST;
        return -1;
    }
    return ::renameat(fromFd, pszFrom, toFd, pszTo);
}

namespace {

// A rename takes whatever stands at the name by then, so the entry moved
// is compared with the one checked; another (a folder put in the file's
// place) goes back where it stood, and its record goes. 0 when the entry
// moved is the one checked.
int KeepIfChecked(int filesFd, int infoFd, int parentFd, const char* pszName,
                  const std::string& strName, const struct stat& checked, RemovalFailure& why) {
    struct stat moved;
    if (::fstatat(filesFd, strName.c_str(), &moved, AT_SYMLINK_NOFOLLOW) == 0 &&
        moved.st_dev == checked.st_dev && moved.st_ino == checked.st_ino &&
        (moved.st_mode & S_IFMT) == (checked.st_mode & S_IFMT)) {
        return 0;
    }
    if (MoveNoReplace(filesFd, strName.c_str(), parentFd, pszName) == 0) {
        ::unlinkat(infoFd, (strName + std::string(kInfoSuffix)).c_str(), 0);
        why = RemovalFailure::Of(RemovalFailure::kSwappedPutBack);
    } else {
        why = RemovalFailure::Of(RemovalFailure::kSwappedInTrash);
    }
    return ESTALE;
}

std::string Record(const std::string& strOriginal) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    char date[32] = "";
    if (::localtime_r(&now, &local) != nullptr) {
        std::strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
    }
    return "[Trash Info]\nPath=" + EncodeTrashPath(strOriginal) + "\nDeletionDate=" + date + "\n";
}

}  // namespace

std::string EncodeTrashPath(const std::string& strPath) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string encoded;
    encoded.reserve(strPath.size());
    for (const char c : strPath) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
            (byte >= '0' && byte <= '9') || std::strchr("-._~/", c) != nullptr) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += kHex[byte >> 4];
            encoded += kHex[byte & 15];
        }
    }
    return encoded;
}

bool CTrashFolders::Trash(int parentFd, const char* pszName, const struct stat& checked,
                          const std::string& strOriginal, RemovalFailure& why) {
    const std::string strRecord = Record(strOriginal);
    // Named in the trash as it was named where it stood.
    const std::string strOwn = strOriginal.substr(strOriginal.rfind('/') + 1);
    const std::uint64_t mount = MountId(parentFd);
    for (const bool bTop : {false, true}) {
        const Folders& folders = Find(parentFd, checked.st_dev, mount, bTop);
        if (folders.files.Get() < 0) {
            why = folders.refusal;
            return false;
        }
        const int nError =
            MoveUnderFreeName(folders, parentFd, pszName, strOwn, checked, strRecord, why);
        if (nError == 0) return true;
        // The home trash on the same device but another mount (a bind
        // mount): the file system's own trash may still take it.
        if (nError != EXDEV || folders.bTop) return false;
    }
    return false;
}

CTrashFolders::Folders& CTrashFolders::Find(int parentFd, dev_t dev, std::uint64_t mount,
                                            bool bTop) {
    for (Folders& folders : m_folders) {
        if (folders.dev == dev && folders.mount == mount && folders.bTopAsked == bTop) {
            return folders;
        }
    }
    Folders& folders = m_folders.emplace_back();
    folders.dev = dev;
    folders.mount = mount;
    folders.bTopAsked = bTop;
    CFd trash(bTop ? -1 : OpenHomeTrash(dev));
    if (trash.Get() < 0) {
        folders.bTop = true;
        const CFd top(OpenTopFolder(parentFd, dev, mount));
        trash.Reset(top.Get() >= 0 ? OpenTopTrash(top.Get()) : -1);
    }
    if (trash.Get() < 0) {
        folders.refusal = RemovalFailure::Of(RemovalFailure::kNoTrash, errno);
        return folders;
    }
    folders.info.Reset(OpenOwnFolder(trash.Get(), "info"));
    if (folders.info.Get() >= 0) folders.files.Reset(OpenOwnFolder(trash.Get(), "files"));
    if (folders.files.Get() < 0) {
        folders.refusal = RemovalFailure::Of(RemovalFailure::kTrashUnusable, errno);
    }
    return folders;
}

int CTrashFolders::MoveUnderFreeName(const Folders& folders, int parentFd, const char* pszName,
                                     const std::string& strOwn, const struct stat& checked,
                                     const std::string& strRecord, RemovalFailure& why) {
    for (int nTry = 0; nTry < kNameTries; ++nTry) {
        const std::string strName = nTry == 0 && strOwn.size() + kInfoSuffix.size() <= kNameMax
                                        ? strOwn
                                        : UniqueName(strOwn);
        const std::string strInfo = strName + std::string(kInfoSuffix);
        const int fd = ::openat(folders.info.Get(), strInfo.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno == EEXIST) continue;
        if (fd < 0) {
            const int nError = errno;
            why = RemovalFailure::Of(RemovalFailure::kTrashRecord, nError);
            return nError;
        }
        const bool bWritten = WriteAll(fd, strRecord);
        const int nWriteError = errno;
        if (::close(fd) != 0 || !bWritten) {
            ::unlinkat(folders.info.Get(), strInfo.c_str(), 0);
            why = RemovalFailure::Of(RemovalFailure::kTrashRecord, nWriteError);
            return nWriteError != 0 ? nWriteError : EIO;
        }
        if (MoveNoReplace(parentFd, pszName, folders.files.Get(), strName.c_str()) == 0) {
            return KeepIfChecked(folders.files.Get(), folders.info.Get(), parentFd, pszName,
                                 strName, checked, why);
        }
        const int nError = errno;
        // A record without its file would show a ghost in the trash.
        ::unlinkat(folders.info.Get(), strInfo.c_str(), 0);
        if (nError == EEXIST) continue;
        why = RemovalFailure::System(nError);
        return nError;
    }
    why = RemovalFailure::Of(RemovalFailure::kNoFreeTrashName);
    return EEXIST;
}

// name.<12 random hex digits>.ext, cut to fit with its record's suffix.
std::string CTrashFolders::UniqueName(const std::string& strName) {
    char tag[16];
    std::snprintf(tag, sizeof tag, ".%012llx",
                  static_cast<unsigned long long>(m_random() & 0xffffffffffffULL));
    std::size_t dot = strName.rfind('.');
    if (dot == 0 || dot == std::string::npos) dot = strName.size();
    std::string stem = strName.substr(0, dot);
    std::string ext = strName.substr(dot);
    const std::size_t room = kNameMax - kInfoSuffix.size() - std::strlen(tag);
    if (ext.size() > room / 2) {
        stem = strName;
        ext.clear();
    }
    if (stem.size() > room - ext.size()) {
        // Never inside a UTF-8 character.
        std::size_t cut = room - ext.size();
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
        stem.resize(cut);
    }
    return stem + tag + ext;
}
