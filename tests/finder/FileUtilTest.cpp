// The file helpers on real files: separators, existence, sizes, removal.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/fanotify.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "TestTree.h"
#include "removal/Removal.h"
#include "removal/Trash_posix.h"
#include "tests/support/FailureOut.h"
#include "tests/support/TempTrash.h"
#include "walk/FileUtil.h"

namespace {

mode_t ModeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

TEST(AddBackslash, AppendsOneSeparatorUnlessEitherKindEndsTheText) {
    std::string s = "/a";
    AddBackslash(s);
    EXPECT_EQ(s, "/a/");
    AddBackslash(s);
    EXPECT_EQ(s, "/a/");
    s = "C:\\a\\";
    AddBackslash(s);
    EXPECT_EQ(s, "C:\\a\\");
    s.clear();
    AddBackslash(s);
    EXPECT_EQ(s, "/");
    s = "/\xe8\xa1\xa8";  // a folder named 表
    AddBackslash(s);
    EXPECT_EQ(s, "/\xe8\xa1\xa8/");
}

TEST(Existence, FilesAndFoldersAreToldApart) {
    TempTree t;
    const std::string file = t.File("f.obj");
    const std::string dir = t.Dir("d");
    EXPECT_TRUE(FileExists(file));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_TRUE(FolderExists(dir));
    EXPECT_FALSE(FileExists(dir));
    EXPECT_FALSE(FileExists(t.Path("missing")));
    EXPECT_FALSE(FolderExists(t.Path("missing")));
}

TEST(Existence, LinksCountAsWhatTheyLeadToAndADanglingLinkAsAFile) {
    TempTree t;
    t.File("f.obj");
    t.Dir("d");
    EXPECT_TRUE(FileExists(t.Link("to-file", "f.obj")));
    EXPECT_TRUE(FolderExists(t.Link("to-dir", "d")));
    EXPECT_FALSE(FileExists(t.Path("to-dir")));
    const std::string dangling = t.Link("dangling", "nowhere");
    EXPECT_TRUE(FileExists(dangling));
    EXPECT_FALSE(FolderExists(dangling));
}

TEST(FileSize, GivesSixtyFourBitSizesAndZeroWhenUnreadable) {
    TempTree t;
    EXPECT_EQ(FileSize(t.Root(), t.File("huge.pdb", 5ull << 30)), 5368709120);
    EXPECT_EQ(FileSize(t.Root(), t.File("small.obj", 1234)), 1234);
    EXPECT_EQ(FileSize(t.Root(), t.Path("missing")), 0);
    EXPECT_EQ(FileSize(t.Root(), t.Dir("folder.pdb")), 0);
    // A link's own size: deleting it frees nothing of its target.
    EXPECT_EQ(FileSize(t.Root(), t.Link("link.pdb", "huge.pdb")), 8);
}

TEST(RemoveFile, DeletesAPlainFileAndRefusesWhatIsNotThere) {
    TempTree t;
    const std::string file = t.File("a.obj");
    EXPECT_TRUE(RemoveFile(t.Root(), file, false));
    EXPECT_FALSE(Exists(file));
    EXPECT_FALSE(RemoveFile(t.Root(), file, true));
}

TEST(RemoveFile, RefusesAFolderAndLeavesIt) {
    TempTree t;
    const std::string dir = t.Dir("x.obj");
    EXPECT_FALSE(RemoveFile(t.Root(), dir, true));
    EXPECT_TRUE(FolderExists(dir));
}

TEST(RemoveFile, LeavesAReadOnlyFileAloneWithoutTheOverride) {
    TempTree t;
    const std::string file = t.File("ro.obj");
    chmod(file.c_str(), 0444);
    EXPECT_FALSE(RemoveFile(t.Root(), file, false));
    EXPECT_TRUE(Exists(file));
    EXPECT_EQ(ModeOf(file), 0444u);
}

// The mode and times are the file's, not the name's: a hard link of it
// outside the searched folder keeps both.
TEST(RemoveFile, DeletesAReadOnlyFileWithoutTouchingItsModeOrTimes) {
    TempTree t;
    const std::string file = t.File("T/ro.obj");
    SetModified(file, 1000000000);
    chmod(file.c_str(), 0440);
    const std::string outside = t.Path("outside");
    ASSERT_EQ(link(file.c_str(), outside.c_str()), 0);
    EXPECT_TRUE(RemoveFile(t.Path("T"), file, true));
    EXPECT_FALSE(Exists(file));
    struct stat st;
    ASSERT_EQ(stat(outside.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0440u);
    EXPECT_EQ(st.st_mtime, 1000000000);
}

TEST(RemoveFile, RemovesALinkItselfAndLeavesItsTargetAndTheTargetsMode) {
    TempTree t;
    const std::string target = t.File("target.obj");
    chmod(target.c_str(), 0444);
    const std::string link = t.Link("link.obj", "target.obj");
    EXPECT_TRUE(RemoveFile(t.Root(), link, false));
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(Exists(target));
    EXPECT_EQ(ModeOf(target), 0444u);
    const std::string dangling = t.Link("dangling.obj", "nowhere");
    EXPECT_TRUE(RemoveFile(t.Root(), dangling, false));
    EXPECT_FALSE(Exists(dangling));
}

TEST(RemoveFile, RefusesALinkToAFolder) {
    TempTree t;
    t.File("d/keep.obj");
    const std::string link = t.Link("d.obj", "d");
    EXPECT_FALSE(RemoveFile(t.Root(), link, true));
    EXPECT_TRUE(Exists(link));
}

TEST(RemoveFile, FailsWhenTheFolderForbidsDeletion) {
    if (RunningAsRoot()) GTEST_SKIP() << "root may delete in any folder";
    TempTree t;
    const std::string file = t.File("locked/a.obj");
    chmod(t.Path("locked").c_str(), 0555);
    EXPECT_FALSE(RemoveFile(t.Root(), file, true));
    EXPECT_TRUE(Exists(file));
}

TEST(PathBelowRoot, TakesOnlyRealNamesBelowTheRoot) {
    const struct {
        const char* root;
        const char* path;
        const char* below;  // null: refused
    } cases[] = {
        {"/r", "/r/a.obj", "a.obj"},      {"/r/", "/r/d/a.obj", "d/a.obj"},
        {"/", "/a.obj", "a.obj"},         {"/r", "/ra/a.obj", nullptr},
        {"/r", "/r/", nullptr},           {"/r", "/r//a.obj", nullptr},
        {"/r", "/r/d/../a.obj", nullptr}, {"/r", "/r/./a.obj", nullptr},
        {"", "/a.obj", nullptr},
    };
    for (const auto& c : cases) {
        std::string below = "unchanged";
        const bool bBelow = PathBelowRoot(c.root, c.path, below);
        EXPECT_EQ(bBelow, c.below != nullptr) << c.root << " " << c.path;
        if (bBelow && c.below) {
            EXPECT_EQ(below, c.below) << c.root << " " << c.path;
        }
    }
}

// A search of T with the sentinel tree S beside it: whatever became of the
// folders below T after the search, nothing of S is read, removed or
// trashed.
TEST(RemoveFile, NeverReachesOutsideTheSearchedFolder) {
    const struct {
        const char* what;
        std::function<void(const TempTree&)> change;  // after the search
        const char* root;
        const char* listed;
        bool bRemoved;
    } cases[] = {
        {"a grandparent swapped for a link",
         [](const TempTree& t) {
             rename(t.Path("T/x").c_str(), t.Path("T/x.orig").c_str());
             t.Link("T/x", t.Path("S"));
         },
         "T", "T/x/Debug/a.obj", false},
        {"a path beside the root", [](const TempTree&) {}, "T", "S/x/Debug/a.obj", false},
        {"a path climbing out", [](const TempTree&) {}, "T", "T/../S/x/Debug/a.obj", false},
        {"a root reached through a link", [](const TempTree& t) { t.Link("L", "T"); }, "L",
         "L/x/Debug/a.obj", true},
    };
    TempTrash::Get().Empty();
    for (const bool bTrash : {false, true}) {
        for (const auto& c : cases) {
            TempTree t;
            t.File("T/x/Debug/a.obj", 10);
            const std::string sentinel = t.File("S/x/Debug/a.obj", 20);
            c.change(t);
            const std::string root = t.Path(c.root), listed = t.Path(c.listed);
            EXPECT_EQ(FileSize(root, listed), c.bRemoved ? 10 : 0) << c.what;
            EXPECT_EQ(bTrash ? TrashFile(root, listed) : RemoveFile(root, listed, true), c.bRemoved)
                << c.what << (bTrash ? " (trash)" : "");
            EXPECT_TRUE(Exists(sentinel)) << c.what;
        }
    }
    TempTrash::Get().Empty();
}

// The searched folder T lists its files in T/sub/Debug; S/Debug, outside
// it, holds files of the same names, and the link T/lnk leads to S. Once
// T/sub and T/lnk trade places, a listed path leads outside.
class SwapTree {
public:
    explicit SwapTree(std::size_t nFiles) {
        for (std::size_t i = 0; i < nFiles; ++i) {
            const std::string name = "/Debug/f" + std::to_string(i) + ".obj";
            m_listed.push_back(t.File("T/sub" + name));
            t.File("S" + name);
        }
        t.Link("T/lnk", t.Path("S"));
    }
    const std::vector<std::string>& Listed() const { return m_listed; }
    // One atomic exchange of the two names; false when it failed.
    bool Swap() const {
        return renameat2(AT_FDCWD, m_sub.c_str(), AT_FDCWD, m_lnk.c_str(), RENAME_EXCHANGE) == 0;
    }

    TempTree t;

private:
    std::vector<std::string> m_listed;
    const std::string m_sub = t.Path("T/sub"), m_lnk = t.Path("T/lnk");
};

// A folder below the root trades places with a link to an outside folder
// in a tight loop while every listed file is removed: nothing outside goes.
// (The trash's own case is below, at the moment it writes its record.)
TEST(RemoveFile, AFolderTradingPlacesWithALinkNeverLeadsOutside) {
    constexpr std::size_t kFiles = 300;
    const SwapTree tree(kFiles);
    const TempTree& t = tree.t;
    std::atomic<bool> bStop{false};
    std::atomic<int> nTrades{0};
    std::thread flipper([&] {
        while (!bStop) nTrades += tree.Swap();
    });
    while (nTrades == 0) std::this_thread::yield();
    // On a busy machine the flipper can sit off the processor, the link in
    // place, for a whole pass: passes go on until something was removed.
    std::size_t nRemoved = 0;
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (nRemoved == 0 && std::chrono::steady_clock::now() < giveUp) {
        for (const std::string& path : tree.Listed())
            nRemoved += RemoveFile(t.Path("T"), path, true);
    }
    bStop = true;
    flipper.join();
    EXPECT_EQ(ListingOrder(t.Path("S/Debug")).size(), kFiles);
    // What was reported removed is what went from the folder inside, and
    // the loop left some chance to remove.
    struct stat sub;
    ASSERT_EQ(lstat(t.Path("T/sub").c_str(), &sub), 0);
    const std::string inside = S_ISLNK(sub.st_mode) ? "T/lnk" : "T/sub";
    EXPECT_EQ(ListingOrder(t.Path(inside + "/Debug")).size(), kFiles - nRemoved);
    EXPECT_GT(nRemoved, 0u);
}

// Runs onOpen each time something is opened in folder, before the open
// goes on: the moment a trash writes its record.
class OpenGate {
public:
    OpenGate(const std::string& folder, std::function<void()> onOpen)
        : m_fd(fanotify_init(FAN_CLASS_CONTENT | FAN_CLOEXEC, O_RDONLY)),
          m_stop(eventfd(0, EFD_CLOEXEC)) {
        if (m_fd < 0 || fanotify_mark(m_fd, FAN_MARK_ADD, FAN_OPEN_PERM | FAN_EVENT_ON_CHILD,
                                      AT_FDCWD, folder.c_str()) != 0) {
            return;
        }
        m_thread = std::thread([this, onOpen] {
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stop, POLLIN, 0}};
            fanotify_event_metadata event;
            while (poll(fds, 2, -1) > 0 && fds[1].revents == 0 &&
                   read(m_fd, &event, sizeof event) == sizeof event && event.fd >= 0) {
                onOpen();
                const fanotify_response allow{event.fd, FAN_ALLOW};
                if (write(m_fd, &allow, sizeof allow) < 0) break;
                close(event.fd);
            }
        });
    }
    ~OpenGate() {
        if (m_thread.joinable()) {
            const std::uint64_t one = 1;
            if (write(m_stop, &one, sizeof one) == sizeof one) m_thread.join();
        }
        if (m_fd >= 0) close(m_fd);
        close(m_stop);
    }
    bool Open() const { return m_thread.joinable(); }

private:
    int m_fd;
    int m_stop;
    std::thread m_thread;
};

// The folder trades places with a link to an outside folder right when the
// trash writes a file's record, after every check: the move must still
// take the file checked.
TEST(TrashFile, AFolderSwappedWhileTheRecordIsWrittenNeverLeadsOutside) {
    constexpr std::size_t kFiles = 50;
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    std::filesystem::create_directories(trash.Files().parent_path() / "info");
    const SwapTree tree(kFiles);
    const TempTree& t = tree.t;
    std::atomic<int> nSwaps{0};
    {
        const OpenGate gate((trash.Files().parent_path() / "info").string(), [&] {
            if (nSwaps++ == 0) tree.Swap();
        });
        if (!gate.Open()) GTEST_SKIP() << "no fanotify here (needs root)";
        for (const std::string& path : tree.Listed()) {
            EXPECT_TRUE(TrashFile(t.Path("T"), path));
            // Back in place for the next file's checks.
            if (nSwaps.exchange(0) > 0) tree.Swap();
        }
    }
    EXPECT_EQ(ListingOrder(t.Path("S/Debug")).size(), kFiles);
    // The file checked is the file moved, although its path led outside.
    EXPECT_TRUE(ListingOrder(t.Path("T/sub/Debug")).empty());
    trash.Empty();
}

// The file is replaced with a folder right when the trash writes its
// record: the move takes whatever stands there, so the folder must go back.
TEST(TrashFile, AFileReplacedWithAFolderAsItIsMovedIsPutBackAndRefused) {
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    const std::filesystem::path info = trash.Files().parent_path() / "info";
    std::filesystem::create_directories(info);
    TempTree t;
    const std::string file = t.File("a.obj");
    RemovalFailure why;
    bool bTrashed = true;
    {
        const OpenGate gate(info.string(), [&] {
            if (Exists(file + "/inner.obj")) return;
            rename(file.c_str(), t.Path("a.saved").c_str());
            t.File("a.obj/inner.obj");
        });
        if (!gate.Open()) GTEST_SKIP() << "no fanotify here (needs root)";
        CPinnedRoot root;
        ASSERT_TRUE(root.Open(t.Root(), nullptr, why));
        bTrashed = root.TrashFile(file, why);
    }
    EXPECT_FALSE(bTrashed);
    EXPECT_TRUE(Exists(file + "/inner.obj")) << why;
    EXPECT_EQ(why.kind, RemovalFailure::kSwappedPutBack);
    EXPECT_TRUE(ListingOrder(trash.Files().string()).empty());
    EXPECT_TRUE(ListingOrder(info.string()).empty());
    trash.Empty();
}

TEST(TrashFile, TakesALinkItselfAndRefusesFoldersAndLinksToThem) {
    TempTrash::Get().Empty();
    TempTree t;
    const std::string target = t.File("target.obj", 5);
    const std::string link = t.Link("a.obj", target);
    const std::string dir = t.Dir("d.obj");
    const std::string dirLink = t.Link("e.obj", dir);
    EXPECT_TRUE(TrashFile(t.Root(), link));
    EXPECT_FALSE(Exists(link));
    EXPECT_TRUE(Exists(target));
    EXPECT_FALSE(TrashFile(t.Root(), dir));
    EXPECT_FALSE(TrashFile(t.Root(), dirLink));
    EXPECT_TRUE(Exists(dir) && Exists(dirLink));
    TempTrash::Get().Empty();
}

// As root the only way to make an unlink fail: an immutable folder, whose
// entries nobody may remove. The file stays as it was, read-only.
TEST(RemoveFile, AFailedRemovalLeavesTheReadOnlyFileAsItWas) {
    TempTree t;
    const std::string file = t.File("locked/ro.obj");
    chmod(file.c_str(), 0444);
    const int fd = open(t.Path("locked").c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 ||
        (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) != 0)) {
        close(fd);
        GTEST_SKIP() << "no immutable folders here (needs root and a file system that has them)";
    }
    RemovalFailure why;
    CPinnedRoot root;
    ASSERT_TRUE(root.Open(t.Root(), nullptr, why));
    EXPECT_FALSE(root.RemoveFile(file, true, why));
    EXPECT_EQ(why.kind, RemovalFailure::kSystem);
    EXPECT_EQ(why.nError, static_cast<std::uint32_t>(EPERM));
    EXPECT_EQ(ModeOf(file), 0444u);
    flags &= ~FS_IMMUTABLE_FL;
    ioctl(fd, FS_IOC_SETFLAGS, &flags);
    close(fd);
}

TEST(TrashRecord, PathIsPercentEncodedButForUnreservedBytesAndSlashes) {
    const struct {
        const char* path;
        const char* encoded;
    } cases[] = {
        {"/src/a-b_c.~1/x.obj", "/src/a-b_c.~1/x.obj"},
        {"/my dir/100%.obj", "/my%20dir/100%25.obj"},
        {"/\xe8\xa1\xa8/a#b?c", "/%E8%A1%A8/a%23b%3Fc"},
        {"/new\nline", "/new%0Aline"},
    };
    for (const auto& c : cases) EXPECT_EQ(EncodeTrashPath(c.path), c.encoded) << c.path;
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Three files of one name, and a name the trash holds without its record:
// each gets a name of its own at once, nothing is replaced, and each record
// names where its file came from.
TEST(TrashFile, SameNamesGetFreeNamesAndNothingIsReplaced) {
    namespace fs = std::filesystem;
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    TempTree t;
    fs::create_directories(trash.Files());
    std::ofstream(trash.Files() / "orphan.obj") << "kept";
    std::vector<std::string> paths;
    for (const char* dir : {"a", "b", "c"})
        paths.push_back(t.File(std::string(dir) + "/vc140.pdb"));
    paths.push_back(t.File("orphan.obj"));
    CPinnedRoot root;
    RemovalFailure why;
    ASSERT_TRUE(root.Open(t.Root(), nullptr, why));
    for (const std::string& path : paths) EXPECT_TRUE(root.TrashFile(path, why)) << why;

    EXPECT_EQ(ReadText(trash.Files() / "orphan.obj"), "kept");
    std::vector<std::string> origins;
    for (const auto& entry : fs::directory_iterator(trash.Files())) {
        const std::string name = entry.path().filename();
        if (name == "orphan.obj") continue;
        EXPECT_LT(name.size(), 30u) << name;
        const std::string info = trash.Info(name);
        EXPECT_EQ(info.rfind("[Trash Info]\nPath=", 0), 0u) << info;
        EXPECT_NE(info.find("\nDeletionDate=20"), std::string::npos) << info;
        origins.push_back(info.substr(18, info.find('\n', 18) - 18));
    }
    std::sort(origins.begin(), origins.end());
    EXPECT_EQ(origins, (std::vector<std::string>{paths[0], paths[1], paths[2], paths[3]}));
    EXPECT_TRUE(fs::exists(trash.Files() / "vc140.pdb"));
    trash.Empty();
}

// A file system of its own (a tmpfs mounted in the temporary tree), so the
// home trash is on another device: its own top folder's trash takes the file.
// A folder of it bind-mounted elsewhere is a mount of its own, with the
// trash at its own top: no rename crosses from it to the tmpfs's top.
TEST(TrashFile, AnotherFileSystemUsesTheTrashAtItsTopFolder) {
    const std::string uid = std::to_string(geteuid());
    const struct {
        const char* what;
        mode_t sharedMode;  // of $top/.Trash; 0: none
        std::string trash;  // the one used, below the top folder
        bool bBind;         // top is a bind mount of a folder of the tmpfs
    } cases[] = {
        {"no shared trash", 0, ".Trash-" + uid, false},
        {"a sticky shared trash", 01777, ".Trash/" + uid, false},
        {"a shared trash without the sticky bit", 0777, ".Trash-" + uid, false},
        {"a bind mount", 0, ".Trash-" + uid, true},
    };
    TempTrash::Get();
    for (const auto& c : cases) {
        TempTree t;
        const std::string fs = t.Dir("fs");
        if (mount("tmpfs", fs.c_str(), "tmpfs", 0, "size=1m") != 0) {
            GTEST_SKIP() << "cannot mount a tmpfs here (needs root): " << std::strerror(errno);
        }
        // Bound within the tmpfs: the climb from the bound folder meets the
        // same device above it.
        const std::string top = c.bBind ? t.Dir("fs/mnt") : fs;
        if (c.bBind && mount(t.Dir("fs/inner").c_str(), top.c_str(), nullptr, MS_BIND, nullptr)) {
            ADD_FAILURE() << "cannot bind-mount: " << std::strerror(errno);
            umount2(fs.c_str(), MNT_DETACH);
            continue;
        }
        if (c.sharedMode != 0) {
            mkdir((top + "/.Trash").c_str(), 0700);
            chmod((top + "/.Trash").c_str(), c.sharedMode);
        }
        const std::string file = t.File(top.substr(t.Root().size() + 1) + "/src/a.obj");
        RemovalFailure why;
        CPinnedRoot root;
        ASSERT_TRUE(root.Open(top + "/src", nullptr, why));
        EXPECT_TRUE(root.TrashFile(file, why)) << c.what << ": " << why;
        const std::string trash = top + "/" + c.trash;
        EXPECT_TRUE(Exists(trash + "/files/a.obj")) << c.what;
        EXPECT_NE(ReadText(trash + "/info/a.obj.trashinfo").find("\nPath=" + file + "\n"),
                  std::string::npos)
            << c.what;
        if (c.sharedMode == 0) {
            EXPECT_EQ(ModeOf(trash), 0700u) << c.what;
        }
        if (c.bBind) {
            EXPECT_FALSE(Exists(fs + "/" + c.trash)) << c.what;
            umount2(top.c_str(), MNT_DETACH);
        }
        umount2(fs.c_str(), MNT_DETACH);
    }
}

// What a file manager shows: GIO's trash:/// listing (GVfs, on a session
// bus of the test's own) gives each trashed file's original path.
TEST(TrashFile, AFileManagerSeesWhereTheFileCameFrom) {
    if (system("command -v gio >/dev/null && command -v dbus-run-session >/dev/null") != 0) {
        GTEST_SKIP() << "gio or dbus-run-session missing (scripts/setup.sh installs them)";
    }
    const TempTrash& trash = TempTrash::Get();
    trash.Empty();
    TempTree t;
    const std::string file = t.File("my dir/\xe8\xa1\xa8 100%.obj");
    ASSERT_TRUE(TrashFile(t.Root(), file));
    FILE* pipe =
        popen("dbus-run-session -- gio list -a trash::orig-path trash:/// 2>/dev/null", "r");
    ASSERT_NE(pipe, nullptr);
    std::string listing;
    char buffer[4096];
    while (const std::size_t n = fread(buffer, 1, sizeof buffer, pipe)) listing.append(buffer, n);
    pclose(pipe);
    // gio shows a byte string's non-ASCII bytes escaped.
    const std::string shown = t.Root() + "/my dir/\\xe8\\xa1\\xa8 100%.obj";
    EXPECT_NE(listing.find("trash::orig-path=" + shown + "\n"), std::string::npos) << listing;
    trash.Empty();
}

// A chain of folders too deep for any path the system takes whole, built
// and removed through descriptors (the temporary tree's clean-up goes by
// path and could not).
class DeepChain {
public:
    DeepChain(const std::string& root, int depth) : m_root(root) {
        int fd = open(root.c_str(), O_PATH | O_DIRECTORY);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            mkdirat(fd, "d", 0755);
            const int next = openat(fd, "d", O_PATH | O_DIRECTORY);
            close(fd);
            fd = next;
            m_path += "/d";
            ++m_depth;
        }
        m_leaf = fd;
    }
    ~DeepChain() {
        // Innermost first, climbing through "..": only descriptors, no path.
        int fd = m_leaf;
        if (fd >= 0) unlinkat(fd, "a.obj", 0);
        for (int i = 0; i < m_depth && fd >= 0; ++i) {
            const int parent = openat(fd, "..", O_PATH | O_DIRECTORY);
            close(fd);
            fd = parent;
            if (fd >= 0) unlinkat(fd, "d", AT_REMOVEDIR);
        }
        if (fd >= 0) close(fd);
    }
    // Creates a file in the innermost folder; its path as a search lists it.
    std::string File(const char* name, off_t size) const {
        const int fd = openat(m_leaf, name, O_WRONLY | O_CREAT, 0644);
        if (fd >= 0 && ftruncate(fd, size) == 0) close(fd);
        return m_root + m_path + "/" + name;
    }
    bool Has(const char* name) const {
        struct stat st;
        return fstatat(m_leaf, name, &st, AT_SYMLINK_NOFOLLOW) == 0;
    }

private:
    std::string m_root;
    int m_depth = 0;
    std::string m_path;
    int m_leaf = -1;
};

TEST(RemoveFile, AFileTwoThousandFiveHundredFoldersDownIsSizedAndDeleted) {
    TempTree t;
    const DeepChain chain(t.Root(), 2500);
    const std::string file = chain.File("a.obj", 4321);
    ASSERT_TRUE(chain.Has("a.obj"));
    ASSERT_GT(file.size(), 4096u);
    EXPECT_EQ(FileSize(t.Root(), file), 4321);
    EXPECT_TRUE(RemoveFile(t.Root(), file, true));
    EXPECT_FALSE(chain.Has("a.obj"));
}

}  // namespace
