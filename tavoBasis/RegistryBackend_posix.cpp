// The settings store on POSIX systems: one text file per company and application,
// $XDG_CONFIG_HOME/<company>/<application>.reg, rewritten whole and atomically under a lock.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <map>
#include <string_view>
#include <thread>
#include <unordered_map>

#include "tavoBasis/RegistryBackend.h"
#include "tavoBasis/RegistryFile.h"

namespace regbackend {
namespace {

// A settings file holds a few kilobytes. Nothing past this is read (the file then counts as
// damaged), so a runaway file can neither stall the program nor exhaust its memory: parsed, the
// worst text of this size (all tiny values) takes some tens of megabytes.
constexpr std::size_t kMaxFileBytes = 4 * 1024 * 1024;
constexpr std::size_t kReadChunk = 64 * 1024;
constexpr int kMaxDamagedCopies = 1000;
constexpr mode_t kNewFileMode = 0600;
constexpr mode_t kNewFolderMode = 0700;
constexpr std::string_view kTemporaryMark = ".tmp-";
constexpr std::string_view kTemporaryPattern = "XXXXXX";

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) close(m_fd);
    }
    int Get() const { return m_fd; }
    // Closes now, so that a failing close (a full disk on some file systems) is seen.
    bool Close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd < 0 || close(fd) == 0;
    }

private:
    int m_fd;
};

struct Paths {
    std::string strFolder;
    std::string strFile;
    std::string strLock;
};

bool IsAbsolute(const char* path) { return path != nullptr && path[0] == '/'; }

std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (IsAbsolute(home)) return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (size <= 0) size = 16384;
    std::vector<char> buffer(static_cast<std::size_t>(size));
    passwd entry{};
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        IsAbsolute(found->pw_dir)) {
        return found->pw_dir;
    }
    return {};
}

// A relative XDG_CONFIG_HOME is ignored, as the base-directory rules ask.
// Both roots live in the user's file, told apart by their section paths:
// nothing on POSIX writes machine-wide settings.
std::string ConfigFolder() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (IsAbsolute(config)) return config;
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/.config";
}

bool HasControlBytes(const std::string& text) {
    for (const char c : text) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == 0x7F) return true;
    }
    return false;
}

// Company and application name a folder and a file: nothing that climbs out of the settings
// folder, and nothing that would break the section line.
bool IsPlainName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           !HasControlBytes(name);
}

bool ResolvePaths(const Location& location, Paths& paths) {
    if (!IsPlainName(location.strCompany) || !IsPlainName(location.strApplication) ||
        HasControlBytes(location.strKeyPath)) {
        return false;
    }
    const std::string base = ConfigFolder();
    if (base.empty()) return false;
    paths.strFolder = base + "/" + location.strCompany;
    paths.strFile = paths.strFolder + "/" + location.strApplication + ".reg";
    paths.strLock = paths.strFile + ".lock";
    return true;
}

std::string SectionPath(const Location& location) {
    const char* root =
        location.root == RegRoot::LocalMachine ? "HKEY_LOCAL_MACHINE\\" : "HKEY_CURRENT_USER\\";
    return root + location.strKeyPath;
}

enum class ReadStatus { Missing, Read, Failed };

struct FileText {
    std::string text;
    bool bTruncated = false;
    struct stat status {};
};

ReadStatus ReadCapped(const std::string& path, FileText& file) {
    // Non-blocking, so a FIFO where the file should be cannot hang the open.
    FileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.Get() < 0) return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    if (fstat(fd.Get(), &file.status) != 0 || !S_ISREG(file.status.st_mode)) {
        return ReadStatus::Failed;
    }
    // One read for the whole file as it stands, one more to see its end; a file still growing
    // is read on in chunks.
    const std::size_t expected = std::min<std::size_t>(
        static_cast<std::size_t>(std::max<off_t>(file.status.st_size, 0)), kMaxFileBytes);
    file.text.resize(expected + 1);
    std::size_t size = 0;
    for (;;) {
        if (size > kMaxFileBytes) break;
        if (size == file.text.size()) file.text.resize(size + kReadChunk);
        const ssize_t n = read(fd.Get(), file.text.data() + size, file.text.size() - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return ReadStatus::Failed;
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    file.text.resize(size);
    if (size > kMaxFileBytes) {
        // The last line read is cut short: a shorter number or text must not pass for a value.
        file.bTruncated = true;
        file.text.resize(kMaxFileBytes);
        const std::size_t lastNewline = file.text.rfind('\n');
        file.text.resize(lastNewline == std::string::npos ? 0 : lastNewline + 1);
    }
    return ReadStatus::Read;
}

bool IsDirectory(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// Creates every missing folder down to this one; a file in the way fails.
bool MakeFolders(const std::string& folder) {
    if (IsDirectory(folder)) return true;
    for (std::size_t pos = 1;;) {
        const std::size_t slash = folder.find('/', pos);
        const std::string part = folder.substr(0, slash);
        if (mkdir(part.c_str(), kNewFolderMode) != 0 && errno != EEXIST) return false;
        if (slash == std::string::npos) break;
        pos = slash + 1;
    }
    return IsDirectory(folder);
}

// A mode without any write bit means read-only, even for root: the user has said so.
bool IsWritable(const std::string& path, const struct stat& status) {
    return (status.st_mode & 0222) != 0 && access(path.c_str(), W_OK) == 0;
}

bool IsWritablePath(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && IsWritable(path, status);
}

// A settings file that is a symbolic link (kept with the user's other dotfiles, say) stays one:
// the new text replaces the file it points to. A link to nowhere is left alone.
bool FollowLink(Paths& paths) {
    struct stat status {};
    if (lstat(paths.strFile.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return true;
    char* real = realpath(paths.strFile.c_str(), nullptr);
    if (!real) return false;
    paths.strFile = real;
    std::free(real);
    const std::size_t slash = paths.strFile.rfind('/');
    paths.strFolder = slash == 0 ? "/" : paths.strFile.substr(0, slash);
    return true;
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

enum class CopyStatus { Done, Exists, Failed };

// For file systems without hard links.
CopyStatus CopyFile(const std::string& from, const std::string& to) {
    FileDescriptor in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (in.Get() < 0) return CopyStatus::Failed;
    FileDescriptor out(
        open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, kNewFileMode));
    if (out.Get() < 0) return errno == EEXIST ? CopyStatus::Exists : CopyStatus::Failed;
    std::string buffer(kReadChunk, '\0');
    bool ok = true;
    for (;;) {
        const ssize_t n = read(in.Get(), buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ok = false;
        if (n <= 0) break;
        if (!WriteAll(out.Get(), std::string_view(buffer.data(), static_cast<std::size_t>(n)))) {
            ok = false;
            break;
        }
    }
    if (!out.Close()) ok = false;
    if (!ok) unlink(to.c_str());
    return ok ? CopyStatus::Done : CopyStatus::Failed;
}

// Keeps the file under a new name that says it was damaged, never over an earlier copy.
bool KeepDamagedCopy(const std::string& path) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".damaged-" + stamp;
    for (int i = 0; i < kMaxDamagedCopies; ++i) {
        const std::string candidate = i == 0 ? base : base + "-" + std::to_string(i);
        if (link(path.c_str(), candidate.c_str()) == 0) return true;
        if (errno == EEXIST) continue;
        if (errno != EPERM && errno != EXDEV && errno != EOPNOTSUPP && errno != EMLINK) {
            return false;
        }
        const CopyStatus copied = CopyFile(path, candidate);
        if (copied == CopyStatus::Done) return true;
        if (copied == CopyStatus::Failed) return false;
    }
    return false;
}

// Under the lock no other writer is between its temporary file and its rename, so a temporary
// file of ours still there was left by a writer that died; it would otherwise stay for good.
void RemoveStaleTemporaries(const Paths& paths) {
    const std::string prefix =
        paths.strFile.substr(paths.strFile.rfind('/') + 1) + std::string(kTemporaryMark);
    DIR* folder = opendir(paths.strFolder.c_str());
    if (!folder) return;
    while (const dirent* entry = readdir(folder)) {
        const std::string_view name = entry->d_name;
        if (name.size() == prefix.size() + kTemporaryPattern.size() &&
            name.substr(0, prefix.size()) == prefix) {
            unlinkat(dirfd(folder), entry->d_name, 0);
        }
    }
    closedir(folder);
}

// The new text goes to a temporary file beside the old one and is renamed over it, so a crash
// leaves either file whole.
bool ReplaceFile(const Paths& paths, std::string_view text, mode_t mode, bool bFlush) {
    std::string temporary =
        paths.strFile + std::string(kTemporaryMark) + std::string(kTemporaryPattern);
    FileDescriptor fd(mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.Get() < 0) return false;
    bool ok = fchmod(fd.Get(), mode) == 0 && WriteAll(fd.Get(), text) &&
              (!bFlush || fsync(fd.Get()) == 0);
    if (!fd.Close()) ok = false;
    if (ok && rename(temporary.c_str(), paths.strFile.c_str()) != 0) ok = false;
    if (!ok) {
        unlink(temporary.c_str());
        return false;
    }
    if (bFlush) {
        // The rename itself is durable only once the folder is on disk. As with a registry
        // flush, a failure here does not undo the write that has happened.
        FileDescriptor folder(open(paths.strFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (folder.Get() >= 0) fsync(folder.Get());
    }
    return true;
}

// A writer holds the lock for one rewrite, a few milliseconds. One that holds it for seconds
// while no other writer gets on is stuck (stopped, or hung on a dead disk), and waiting on it
// would freeze the caller's close for good. Busy writers that take turns do finish, each
// replacing the file, so the wait runs out only after this long without a finished write.
constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kLockPollLongest = std::chrono::milliseconds(20);

enum class LockStatus { Held, TimedOut, Failed };

// What changes when a writer has replaced the file: a new file has a new inode.
struct FileStamp {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) return {};
    return {status.st_dev, status.st_ino};
}

LockStatus LockUnlessStuck(int fd, const std::string& strFile) {
    using Clock = std::chrono::steady_clock;
    auto deadline = Clock::now() + kLockWait;
    Clock::duration pause = std::chrono::milliseconds(1);
    FileStamp stamp = StampOf(strFile);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return LockStatus::Held;
        if (errno == EINTR) continue;
        if (errno != EWOULDBLOCK) return LockStatus::Failed;
        const auto now = Clock::now();
        const FileStamp current = StampOf(strFile);
        if (!(current == stamp)) {
            stamp = current;
            deadline = now + kLockWait;
        } else if (now >= deadline) {
            return LockStatus::TimedOut;
        }
        std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
        pause = std::min<Clock::duration>(pause * 2, kLockPollLongest);
    }
}

struct PendingValue {
    std::string strSection;
    std::string strName;
    std::uint32_t dwType = regfile::kTypeNone;
    regfile::Bytes data;
};

// Stores the values, in their order, into the file as it stands now: one read, one rewrite.
bool StoreValues(Paths paths, const std::vector<PendingValue>& values, bool bFlush) {
    if (!MakeFolders(paths.strFolder)) return false;
    // A read-only folder or file is refused before anything (the lock file) is created.
    if (!IsWritablePath(paths.strFolder)) return false;
    struct stat fileStatus {};
    if (stat(paths.strFile.c_str(), &fileStatus) == 0 && !IsWritable(paths.strFile, fileStatus)) {
        return false;
    }
    // The lock file beside the settings lives on: removing it would let two writers hold locks
    // on different files. Readers need no lock, as the file is only ever replaced whole.
    FileDescriptor lock(open(paths.strLock.c_str(),
                             O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW, kNewFileMode));
    if (lock.Get() < 0) return false;
    // Past the wait the values are written without the lock rather than dropped: the rename
    // keeps the file whole either way. Skipping would lose every value of this save for sure;
    // writing loses ours only when the stuck holder renames after us (as skipping would), and
    // the holder's only when its rename falls between our read and our rename, a fraction of a
    // millisecond.
    const LockStatus locked = LockUnlessStuck(lock.Get(), paths.strFile);
    if (locked == LockStatus::Failed) return false;
    if (!FollowLink(paths) || !IsWritablePath(paths.strFolder)) return false;
    // Without the lock a temporary file may be the holder's own, still to be renamed.
    if (locked == LockStatus::Held) RemoveStaleTemporaries(paths);

    FileText old;
    const ReadStatus status = ReadCapped(paths.strFile, old);
    if (status == ReadStatus::Failed) return false;
    regfile::Content content;
    mode_t mode = kNewFileMode;
    if (status == ReadStatus::Read) {
        if (!IsWritable(paths.strFile, old.status)) return false;
        mode = old.status.st_mode & 0777;
        content = regfile::Parse(old.text);
        const bool bDamaged = !content.bClean || old.bTruncated;
        if (bDamaged && old.status.st_size > 0 && !KeepDamagedCopy(paths.strFile)) return false;
    }
    for (const PendingValue& value : values) {
        regfile::SetValue(content, value.strSection, value.strName, value.dwType, value.data.data(),
                          value.data.size());
    }
    return ReplaceFile(paths, regfile::Serialize(content), mode, bFlush);
}

// A store as a batch first read it, with the batch's own writes on top, indexed so that a load
// of thousands of values costs one parse and a lookup each.
struct Section {
    std::vector<std::string> names;                          // in stored order
    std::unordered_map<std::string, regfile::Bytes> values;  // by ASCII-folded name
};

struct StoreState {
    Paths paths;
    std::unordered_map<std::string, Section> sections;  // by ASCII-folded section path
    std::vector<PendingValue> pending;
    bool bFlush = false;
};

std::string Folded(std::string_view text) {
    std::string folded(text);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return folded;
}

void LoadStore(StoreState& store) {
    FileText file;
    if (ReadCapped(store.paths.strFile, file) != ReadStatus::Read) return;
    const regfile::Content content = regfile::Parse(file.text);
    for (const regfile::Key& key : content.keys) {
        // Parsing has merged keys and names given twice, so each comes once.
        Section& section = store.sections[Folded(key.strPath)];
        for (const regfile::Entry& entry : key.entries) {
            if (entry.bComment) continue;
            if (section.values.try_emplace(Folded(entry.strName), entry.data).second) {
                section.names.push_back(entry.strName);
            }
        }
    }
}

}  // namespace

struct Batch {
    std::map<std::string, StoreState> stores;  // by settings file path
};

void BatchDeleter::operator()(Batch* pBatch) const { delete pBatch; }

namespace {

// The batch's state of the location's store, read on first use; null for a location that
// names no store.
StoreState* FindStore(Batch& batch, const Location& location) {
    Paths paths;
    if (!ResolvePaths(location, paths)) return nullptr;
    const auto [it, bNew] = batch.stores.try_emplace(paths.strFile);
    if (bNew) {
        it->second.paths = paths;
        LoadStore(it->second);
    }
    return &it->second;
}

const Section* FindSection(const StoreState& store, const Location& location) {
    const auto it = store.sections.find(Folded(SectionPath(location)));
    return it == store.sections.end() ? nullptr : &it->second;
}

}  // namespace

std::unique_ptr<Batch, BatchDeleter> OpenBatch() {
    return std::unique_ptr<Batch, BatchDeleter>(new Batch);
}

bool CommitBatch(Batch& batch) {
    bool ok = true;
    for (const auto& [path, store] : batch.stores) {
        if (!store.pending.empty() && !StoreValues(store.paths, store.pending, store.bFlush)) {
            ok = false;
        }
    }
    batch.stores.clear();
    return ok;
}

bool ReadValue(Batch* pBatch, const Location& location, const std::string& strName,
               std::vector<unsigned char>& data) {
    if (pBatch) {
        const StoreState* store = FindStore(*pBatch, location);
        const Section* section = store ? FindSection(*store, location) : nullptr;
        if (!section) return false;
        const auto it = section->values.find(Folded(strName));
        if (it == section->values.end()) return false;
        data = it->second;
        return true;
    }
    Paths paths;
    if (!ResolvePaths(location, paths)) return false;
    FileText file;
    if (ReadCapped(paths.strFile, file) != ReadStatus::Read) return false;
    const regfile::Content content = regfile::Parse(file.text);
    const regfile::Entry* entry = regfile::FindValue(content, SectionPath(location), strName);
    if (!entry) return false;
    data = entry->data;
    return true;
}

bool WriteValue(Batch* pBatch, const Location& location, const std::string& strName,
                std::uint32_t dwType, const unsigned char* pData, std::size_t nLength,
                bool bFlush) {
    PendingValue value{SectionPath(location), strName, dwType,
                       regfile::Bytes(pData, pData + nLength)};
    if (!pBatch) {
        Paths paths;
        return ResolvePaths(location, paths) && StoreValues(paths, {value}, bFlush);
    }
    StoreState* store = FindStore(*pBatch, location);
    if (!store) return false;
    Section& section = store->sections[Folded(value.strSection)];
    if (section.values.insert_or_assign(Folded(strName), value.data).second) {
        section.names.push_back(strName);
    }
    store->pending.push_back(std::move(value));
    store->bFlush = store->bFlush || bFlush;
    return true;
}

bool EnumValueNames(Batch* pBatch, const Location& location, std::vector<std::string>& names) {
    Batch once;
    const StoreState* store = FindStore(pBatch ? *pBatch : once, location);
    const Section* section = store ? FindSection(*store, location) : nullptr;
    if (!section) return false;
    names = section->names;
    return true;
}

}  // namespace regbackend
