// The intermediate-file search over real folder trees, on its real worker.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "TestTree.h"
#include "removal/Removal.h"
#include "tests/support/LocalMoment.h"
#include "tests/support/MakeTree.h"
#include "walk/DirReader.h"
#include "walk/FileUtil.h"
#include "walk/IntermediateFileFinder.h"
#include "walk/MatchRules.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

constexpr int kAllTypes = 255;
constexpr int kObj = 4;

struct SearchOptions {
    bool bSubFolder = true;
    int nFolderMode = 1;
    int nTypeMask = kAllTypes;
    int nTimeMode = 1;
    int nDays = 0;
    bool bOlder = false;
};

// Runs one search to its end and returns everything it reported.
std::vector<RecordingSink::Event> Search(const std::string& root, const SearchOptions& o = {}) {
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    EXPECT_TRUE(finder.StartFind(root, o.bSubFolder, o.nFolderMode, o.nTypeMask, o.nTimeMode,
                                 o.nDays, o.bOlder));
    EXPECT_TRUE(sink.WaitForEnd());
    return sink.Events();
}

std::vector<std::string> PathsOf(const std::vector<RecordingSink::Event>& events, char type) {
    std::vector<std::string> paths;
    for (const auto& e : events) {
        if (e.type == type) paths.push_back(e.path);
    }
    return paths;
}

std::vector<std::string> FilesFound(const std::string& root, const SearchOptions& o = {}) {
    return PathsOf(Search(root, o), 'F');
}

// Whether the mount table lists the mount point with that file system.
bool MountedAs(const std::string& mountPoint, const std::string& type) {
    std::ifstream mounts("/proc/self/mounts");
    std::string device, point, fsType, rest;
    while (mounts >> device >> point >> fsType && std::getline(mounts, rest)) {
        if (point == mountPoint && fsType == type) return true;
    }
    return false;
}

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

// The tree of the folder-rule example: Debug counts, debug does not, and a
// folder below Debug is walked but its files are not looked for.
class FolderRule : public ::testing::Test {
protected:
    void SetUp() override {
        t.File("w.obj");
        t.File("A/Debug/x.obj");
        t.File("A/Debug/sub/z.obj");
        t.File("B/debug/y.obj");
        t.File("C/Release/r.obj");
        t.File("C/RELEASE/q.obj");
    }
    std::string P(const std::string& rel) const { return t.Path(rel); }
    TempTree t;
};

TEST_F(FolderRule, ModeTwoLooksOnlyInFoldersNamedExactlyDebugThenTheRoot) {
    SearchOptions o;
    o.nFolderMode = 2;
    const auto events = Search(t.Root(), o);
    EXPECT_EQ(PathsOf(events, 'F'), (std::vector<std::string>{P("A/Debug/x.obj"), P("w.obj")}));
    const auto folders = PathsOf(events, 'D');
    ASSERT_FALSE(folders.empty());
    EXPECT_EQ(folders.front(), t.Root() + "/");
    EXPECT_EQ(Sorted(folders),
              Sorted({t.Root() + "/", P("A/"), P("A/Debug/"), P("A/Debug/sub/"), P("B/"),
                      P("B/debug/"), P("C/"), P("C/Release/"), P("C/RELEASE/")}));
    EXPECT_EQ(events.back().type, 'E');
}

TEST_F(FolderRule, ModeFourLooksOnlyInFoldersNamedExactlyRelease) {
    SearchOptions o;
    o.nFolderMode = 4;
    EXPECT_EQ(FilesFound(t.Root(), o),
              (std::vector<std::string>{P("C/Release/r.obj"), P("w.obj")}));
}

TEST_F(FolderRule, ModeSixLooksInDebugAndRelease) {
    SearchOptions o;
    o.nFolderMode = 6;
    EXPECT_EQ(Sorted(FilesFound(t.Root(), o)),
              Sorted({P("A/Debug/x.obj"), P("C/Release/r.obj"), P("w.obj")}));
}

TEST_F(FolderRule, ModeOneLooksEverywhere) { EXPECT_EQ(FilesFound(t.Root()).size(), 6u); }

TEST_F(FolderRule, SubfoldersOffReportsOnlyTheRootAndItsFiles) {
    SearchOptions o;
    o.bSubFolder = false;
    const auto events = Search(t.Root(), o);
    EXPECT_EQ(PathsOf(events, 'D'), (std::vector<std::string>{t.Root() + "/"}));
    EXPECT_EQ(PathsOf(events, 'F'), (std::vector<std::string>{P("w.obj")}));
}

TEST(FolderRuleWithoutOutputFolders, ModeSixReportsOnlyTheRootsOwnFiles) {
    TempTree t;
    t.File("top.pdb");
    t.File("src/a.obj");
    t.File("src/deeper/b.obj");
    SearchOptions o;
    o.nFolderMode = 6;
    EXPECT_EQ(FilesFound(t.Root(), o), (std::vector<std::string>{t.Path("top.pdb")}));
}

TEST(ReportOrder, MatchesOfOneFolderComeGroupedByPatternInFixedOrder) {
    TempTree t;
    for (const char* name : {"a.sbr", "b.res", "c.pdb", "d.pch", "e.obj", "f.ilk", "g.idb", "h.bsc",
                             "I.OBJ", ".obj", "x.objx", "obj.txt", "y.obj.txt", "objobj"}) {
        t.File(name);
    }
    std::vector<std::string> objs;  // the obj group keeps the listing's order
    for (const std::string& name : ListingOrder(t.Root())) {
        if (name == "e.obj" || name == "I.OBJ" || name == ".obj") objs.push_back(t.Path(name));
    }
    std::vector<std::string> expected = {t.Path("h.bsc"), t.Path("g.idb"), t.Path("f.ilk")};
    expected.insert(expected.end(), objs.begin(), objs.end());
    for (const char* name : {"d.pch", "c.pdb", "b.res", "a.sbr"}) expected.push_back(t.Path(name));
    EXPECT_EQ(FilesFound(t.Root()), expected);
}

TEST(ReportOrder, DeeperFoldersComeFirstAndFoldersAreAnnouncedBeforeTheirContents) {
    TempTree t;
    t.File("a.obj");
    t.File("s/b.obj");
    t.File("s/t/c.obj");
    const auto events = Search(t.Root());
    std::vector<std::string> kinds;
    for (const auto& e : events) kinds.push_back(std::string(1, e.type) + " " + e.path);
    EXPECT_EQ(kinds,
              (std::vector<std::string>{"D " + t.Root() + "/", "D " + t.Path("s/"),
                                        "D " + t.Path("s/t/"), "F " + t.Path("s/t/c.obj"),
                                        "F " + t.Path("s/b.obj"), "F " + t.Path("a.obj"), "E "}));
}

TEST(ReportOrder, SubfoldersAreWalkedInListingOrder) {
    TempTree t;
    for (const char* dir : {"p", "q", "r", "s", "u"}) t.File(std::string(dir) + "/x.obj");
    std::vector<std::string> expected;
    for (const std::string& name : ListingOrder(t.Root()))
        expected.push_back(t.Path(name + "/x.obj"));
    EXPECT_EQ(FilesFound(t.Root()), expected);
}

TEST(TypeMask, OnlyTheChosenPatternsAreLookedFor) {
    TempTree t;
    for (const char* name :
         {"a.idb", "a.ilk", "a.obj", "a.pch", "a.pdb", "a.res", "a.sbr", "a.bsc"}) {
        t.File(name);
    }
    SearchOptions o;
    o.nTypeMask = 4 | 16 | (1 << 20);  // obj, pdb and a bit that means nothing
    EXPECT_EQ(FilesFound(t.Root(), o),
              (std::vector<std::string>{t.Path("a.obj"), t.Path("a.pdb")}));
    o.nTypeMask = 1 | 128;
    EXPECT_EQ(FilesFound(t.Root(), o),
              (std::vector<std::string>{t.Path("a.bsc"), t.Path("a.idb")}));
}

// What newer IDEs and builds leave, as the team's tree maker builds it: all
// of it under mode 1, and under the other rules all but the records and
// link-time leftovers of the output folders the rule leaves out; the
// default search sees none of it.
TEST(TypeMask, NewerKindsFindWhatEachFolderRuleNamesOnAModernTree) {
    if (!HaveMakeTree()) GTEST_SKIP() << "make_tree.py is not beside the checkout";
    TempTree t;
    const std::string json = MakeTree("--modern --projects 4 --modules 1 --objs 2", t.Path("w"));
    ASSERT_GT(Figure(json, "modern"), 0u) << json;
    SearchOptions o;
    o.nTypeMask = kNewerKinds;
    const auto all = Search(t.Path("w"), o);
    std::vector<std::string> files;
    std::uint64_t bytes = 0;
    for (const auto& e : all) {
        if (e.type == 'F') files.push_back(e.path), bytes += e.size;
    }
    EXPECT_EQ(files.size(), Figure(json, "modern"));
    EXPECT_EQ(bytes, Figure(json, "modern_bytes"));
    const struct {
        int nMode;
        std::vector<std::string> left;  // output folders whose files the rule leaves
    } rules[] = {
        {6, {"/Profile/"}}, {2, {"/Profile/", "/Release/"}}, {4, {"/Profile/", "/Debug/"}}};
    for (const auto& r : rules) {
        std::vector<std::string> expected;
        for (const std::string& f : files) {
            if (std::none_of(r.left.begin(), r.left.end(), [&](const std::string& s) {
                    return f.find(s) != std::string::npos;
                })) {
                expected.push_back(f);
            }
        }
        o.nFolderMode = r.nMode;
        EXPECT_EQ(FilesFound(t.Path("w"), o), expected) << "mode " << r.nMode;
    }
    // The eight, and the folders named odd.obj the eight have always listed.
    o = {};
    EXPECT_EQ(FilesFound(t.Path("w"), o).size(), Figure(json, "intermediate") + 4);
}

TEST(TypeMask, EmptyMaskAnnouncesEveryFolderReportsNoFileAndEnds) {
    TempTree t;
    t.File("a.obj");
    t.File("Debug/b.obj");
    SearchOptions o;
    o.nTypeMask = 0;
    const auto events = Search(t.Root(), o);
    EXPECT_EQ(Sorted(PathsOf(events, 'D')), Sorted({t.Root() + "/", t.Path("Debug/")}));
    EXPECT_TRUE(PathsOf(events, 'F').empty());
    EXPECT_EQ(events.back().type, 'E');
}

TEST(RootText, TrailingSeparatorOrNotGivesTheSameReport) {
    TempTree t;
    t.File("a.obj");
    t.File("Debug/b.pdb");
    const auto plain = Search(t.Root());
    const auto slashed = Search(t.Root() + "/");
    ASSERT_EQ(plain.size(), slashed.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(plain[i].type, slashed[i].type);
        EXPECT_EQ(plain[i].path, slashed[i].path);
    }
    EXPECT_EQ(PathsOf(plain, 'D').front(), t.Root() + "/");
}

TEST(RootText, StartFindRefusesAnEmptyMissingOrFilePath) {
    TempTree t;
    const std::string file = t.File("a.obj");
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    EXPECT_FALSE(finder.StartFind("", true, 1, kAllTypes, 1, 0, false));
    EXPECT_FALSE(finder.StartFind(t.Path("missing"), true, 1, kAllTypes, 1, 0, false));
    EXPECT_FALSE(finder.StartFind(file, true, 1, kAllTypes, 1, 0, false));
    EXPECT_FALSE(finder.StopFind());
    EXPECT_TRUE(sink.Events().empty());
}

TEST(ReportedFacts, SizeAndTimesAreThoseOfTheFile) {
    TempTree t;
    const std::string path = t.File("a.obj", 12345);
    SetModified(path, LocalMoment(2004, 1, 11, 13, 46, 30));
    const auto events = Search(t.Root());
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[1].size, 12345u);
    EXPECT_EQ(events[1].modified, "2004/01/11 13:46");

    struct statx sx;
    ASSERT_EQ(statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &sx), 0);
    const std::time_t created =
        (sx.stx_mask & STATX_BTIME) ? sx.stx_btime.tv_sec : sx.stx_mtime.tv_sec;
    std::tm local{};
    localtime_r(&created, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &local);
    EXPECT_EQ(events[1].created, text);
}

TEST(ReportedFacts, SizesBeyondFourGibibytesAreReportedWhole) {
    TempTree t;
    const std::string path = t.File("Debug/huge.pdb", 5ull << 30);
    const auto events = Search(t.Root());
    ASSERT_EQ(PathsOf(events, 'F'), (std::vector<std::string>{path}));
    EXPECT_EQ(events[2].size, 5368709120u);
}

TEST(ReportedFacts, AFolderNamedLikeAPatternIsReportedWithSizeZeroAndWalked) {
    TempTree t;
    t.File("odd.obj/inner.obj", 10);
    const auto events = Search(t.Root());
    ASSERT_EQ(PathsOf(events, 'F'),
              (std::vector<std::string>{t.Path("odd.obj/inner.obj"), t.Path("odd.obj")}));
    EXPECT_EQ(events[3].size, 0u);
}

TEST(ReportedFacts, NamesThatAreNotUtf8AreFoundAndReportedByTheirExactBytes) {
    TempTree t;
    const std::string path = t.File("d\xe9j\xe0/\xff\xfe\x80.OBJ", 7);
    const auto files = FilesFound(t.Root());
    ASSERT_EQ(files, (std::vector<std::string>{path}));
    EXPECT_TRUE(RemoveFile(t.Root(), files[0], false));
}

class TimeFilter : public ::testing::Test {
protected:
    void SetUp() override {
        const std::time_t now = std::time(nullptr);
        // A minute either side of the three-day threshold keeps the test
        // clear of the clock moving while it runs.
        SetModified(t.File("old.obj"), now - 10 * 86400);
        SetModified(t.File("recent.obj"), now - 3600);
        SetModified(t.File("edge-in.obj"), now - 3 * 86400 + 60);
        SetModified(t.File("edge-out.obj"), now - 3 * 86400 - 60);
    }
    std::vector<std::string> Found(int nTimeMode, int nDays, bool bOlder) {
        SearchOptions o;
        o.nTimeMode = nTimeMode;
        o.nDays = nDays;
        o.bOlder = bOlder;
        std::vector<std::string> names;
        for (const std::string& p : FilesFound(t.Root(), o))
            names.push_back(p.substr(p.rfind('/') + 1));
        return Sorted(names);
    }
    TempTree t;
};

TEST_F(TimeFilter, WithoutAFilterEveryMatchIsReported) {
    EXPECT_EQ(Found(1, 3, false).size(), 4u);
    EXPECT_EQ(Found(8, 3, true).size(), 4u);
}

TEST_F(TimeFilter, ModificationWithinThePeriod) {
    EXPECT_EQ(Found(4, 3, false), (std::vector<std::string>{"edge-in.obj", "recent.obj"}));
}

TEST_F(TimeFilter, ModificationOlderThanThePeriod) {
    EXPECT_EQ(Found(4, 3, true), (std::vector<std::string>{"edge-out.obj", "old.obj"}));
}

TEST_F(TimeFilter, CreationTimeDecidesAndWinsOverModification) {
    struct statx sx;
    ASSERT_EQ(statx(AT_FDCWD, t.Path("old.obj").c_str(), 0, STATX_BTIME, &sx), 0);
    if (!(sx.stx_mask & STATX_BTIME)) GTEST_SKIP() << "this file system keeps no creation time";
    // Every file was created just now, whatever its modification time says.
    EXPECT_EQ(Found(2, 1, false).size(), 4u);
    EXPECT_TRUE(Found(2, 1, true).empty());
    EXPECT_EQ(Found(6, 1, false).size(), 4u);
    EXPECT_EQ(Found(4, 1, false), std::vector<std::string>{"recent.obj"});
}

TEST(Walk, HiddenFoldersAreWalked) {
    TempTree t;
    const std::string path = t.File(".hidden/Debug/h.obj");
    SearchOptions o;
    o.nFolderMode = 2;
    EXPECT_EQ(FilesFound(t.Root(), o), std::vector<std::string>{path});
}

// Folders left out by their own name: at any depth, by glob, with the
// letter case exact on POSIX; the chosen folder is searched whatever its
// name. With and without readers ahead of the walk.
TEST(Walk, ExcludedFoldersAreNeverEnteredBelowTheChosenFolder) {
    TempTree t;
    const std::string a = t.File("node_modules/a.obj");
    const std::string b = t.File("node_modules/.git/b.obj");
    const std::string c = t.File("node_modules/src/node_modules/c.obj");
    const std::string d = t.File("node_modules/src/lib/vendor-sdk/d.obj");
    const std::string e = t.File("node_modules/src/lib/Vendor/e.obj");
    const std::string f = t.File("node_modules/src/x1/f.obj");
    const std::string g = t.File("node_modules/src/x12/g.obj");
    const std::string root = t.Path("node_modules");
    struct Case {
        std::vector<std::string> globs;
        std::vector<std::string> found;
    };
    const std::vector<Case> cases = {
        {{}, {a, b, c, d, e, f, g}},
        {{".git", "node_modules"}, {a, d, e, f, g}},
        {{"vend*"}, {a, b, c, e, f, g}},
        {{"x?", "nothing"}, {a, b, c, d, e, g}},
        {{"*"}, {a}},
    };
    for (const int nThreads : {0, CIntermediateFileFinder::kDefaultReadAheadThreads}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(::testing::PrintToString(c.globs) + " threads " +
                         std::to_string(nThreads));
            RecordingSink sink;
            CIntermediateFileFinder finder(&sink);
            finder.SetReadAheadThreads(nThreads);
            finder.SetExcludedFolders(CFolderExclusion(c.globs, false));
            ASSERT_TRUE(finder.StartFind(root, true, 1, kAllTypes, 1, 0, false));
            ASSERT_TRUE(sink.WaitForEnd());
            EXPECT_EQ(Sorted(sink.Paths('F')), Sorted(c.found));
        }
    }
}

TEST(Walk, LinksBackUpThePathAreNotEnteredAndNothingIsReportedTwice) {
    TempTree t;
    t.File("y.obj");
    t.File("a/x.obj");
    t.Link("a/loop", "..");
    t.Link("self", ".");
    const auto events = Search(t.Root());
    EXPECT_EQ(Sorted(PathsOf(events, 'F')), Sorted({t.Path("a/x.obj"), t.Path("y.obj")}));
    EXPECT_EQ(Sorted(PathsOf(events, 'D')), Sorted({t.Root() + "/", t.Path("a/")}));
    EXPECT_EQ(events.back().type, 'E');
}

// A search of T (or of L, a link to T) with the sentinel tree S beside it:
// no link below the chosen folder is entered, so nothing outside is listed
// and no file twice; a link named like a pattern is listed as itself.
TEST(Walk, NeverLeavesTheChosenFolderAndListsEachFileOnce) {
    const struct {
        const char* what;
        std::function<void(const TempTree&)> make;
        const char* root;
        std::vector<std::string> found;  // "path below the root size", sorted
    } cases[] = {
        {"a link to /", [](const TempTree& t) { t.Link("T/rootlink", "/"); }, "T", {"a/x.obj 3"}},
        {"a link to the tree beside",
         [](const TempTree& t) { t.Link("T/s", "../S"); },
         "T",
         {"a/x.obj 3"}},
        {"a link to a sibling",
         [](const TempTree& t) {
             t.Dir("T/b");
             t.Link("T/b/alias", "../a");
         },
         "T",
         {"a/x.obj 3"}},
        {"nine folders that link to each other",
         [](const TempTree& t) {
             for (char i = '0'; i < '9'; ++i) {
                 t.File(std::string("T/n") + i + "/f.obj", 1);
                 for (char j = '0'; j < '9'; ++j) {
                     if (j != i) t.Link(std::string("T/n") + i + "/l" + j, std::string("../n") + j);
                 }
             }
         },
         "T",
         {"a/x.obj 3", "n0/f.obj 1", "n1/f.obj 1", "n2/f.obj 1", "n3/f.obj 1", "n4/f.obj 1",
          "n5/f.obj 1", "n6/f.obj 1", "n7/f.obj 1", "n8/f.obj 1"}},
        // The newer kinds take files only, never a link to a folder.
        {"links named like a pattern",
         [](const TempTree& t) {
             t.Link("T/s.obj", "../S/s.obj");
             t.Link("T/s.pdb", "../S");
             t.Link("T/s.ipch", "../S/s.obj");
             t.Link("T/linkdir.ipch", "../S");
         },
         "T",
         {"a/x.obj 3", "s.ipch 10", "s.obj 10", "s.pdb 4"}},
        {"a chosen folder reached through a link",
         [](const TempTree& t) { t.Link("L", "T"); },
         "L",
         {"a/x.obj 3"}},
    };
    for (const auto& c : cases) {
        TempTree t;
        t.File("T/a/x.obj", 3);
        t.File("S/s.obj", 5);
        t.File("S/Debug/d.obj", 6);
        c.make(t);
        const std::string root = t.Path(c.root) + "/";
        std::vector<std::string> found, folders;
        for (const auto& e : Search(t.Path(c.root), {.nTypeMask = kClassicKinds | kNewerKinds})) {
            if (e.type == 'E') continue;
            ASSERT_EQ(e.path.compare(0, root.size(), root), 0) << c.what << ": " << e.path;
            (e.type == 'F' ? found : folders)
                .push_back(e.path.substr(root.size()) +
                           (e.type == 'F' ? " " + std::to_string(e.size) : ""));
        }
        EXPECT_EQ(Sorted(found), c.found) << c.what;
        const auto unique = Sorted(folders);
        EXPECT_EQ(std::adjacent_find(unique.begin(), unique.end()), unique.end()) << c.what;
    }
}

TEST(Walk, ABindMountedSubfolderIsListedOnce) {
    TempTree t;
    t.File("a/x.obj");
    const std::string mountPoint = t.Dir("b");
    if (mount(t.Path("a").c_str(), mountPoint.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        GTEST_SKIP() << "bind mounts are not permitted here (" << std::strerror(errno)
                     << "); run the tests as root in a mount namespace that allows them";
    }
    struct Unmount {
        std::string point;
        ~Unmount() { umount2(point.c_str(), MNT_DETACH); }
    } unmount{mountPoint};
    const auto events = Search(t.Root());
    const auto files = PathsOf(events, 'F');
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0] == t.Path("a/x.obj") || files[0] == t.Path("b/x.obj")) << files[0];
    EXPECT_EQ(PathsOf(events, 'D').size(), 2u);
}

TEST(Walk, FoldersOfPseudoFileSystemsAreNotWalked) {
    TempTree t;
    t.File("a.obj");
    t.Link("proc", "/proc");
    t.Link("sys", "/sys");
    // Containers often mount a plain tmpfs on /dev: only devtmpfs counts.
    if (MountedAs("/dev", "devtmpfs")) t.Link("dev", "/dev");
    const auto events = Search(t.Root());
    EXPECT_EQ(PathsOf(events, 'D'), std::vector<std::string>{t.Root() + "/"});
    EXPECT_EQ(events.back().type, 'E');
}

// Runs body in a child process, free to lower its limits or give up root,
// and gives back what it wrote.
std::string InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return "no pipe";
    const pid_t pid = fork();
    if (pid == 0) {
        const std::string text = body();
        [[maybe_unused]] const ssize_t n = write(fds[1], text.data(), text.size());
        std::_Exit(0);
    }
    close(fds[1]);
    std::string text;
    char buf[512];
    for (ssize_t n; (n = read(fds[0], buf, sizeof buf)) > 0;) text.append(buf, n);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? text : text + " (child killed)";
}

TEST(DescriptorLimit, RaisingTheSoftLimitTakesItToTheHardOne) {
    EXPECT_EQ(InChild([] {
                  struct rlimit rl = {64, 256};
                  setrlimit(RLIMIT_NOFILE, &rl);
                  RaiseDescriptorLimit();
                  getrlimit(RLIMIT_NOFILE, &rl);
                  return std::to_string(rl.rlim_cur);
              }),
              "256");
}

// No folder is left out unsaid: with few descriptors (soft and hard limit,
// as "ulimit -n" sets them) a wide tree and a chain deeper than the limit
// are walked whole; a folder the system refuses (root reads everything, so
// the child gives that up), or one swapped while the walk had given back
// its descriptor, is left out and counted.
TEST(Walk, EveryFolderIsWalkedOrCountedAsUnreadable) {
    const struct {
        const char* what;
        rlim_t limit;          // 0: as it is
        const char* locked;    // made unreadable, if not null
        int depth;             // a chain of folders d/d/..., one x.obj in each
        int wide;              // or this many folders of seven files each
        int swapAt;            // the chain's level swapped when the walk is deepest
        const char* want;      // files found, folders unreadable
        int free = 0;          // descriptors the rest of the process leaves, if not 0
        mode_t mode = 0;       // of the folder locked
        bool bLinked = false;  // the swapped level is moved outside, a link left
        int forks = 0;         // more chains beside the swapped level's own
        // A file renamed as the walk announces its folder, if not null.
        const char* renamed = nullptr;
    } cases[] = {
        {"500 folders at 64", 64, nullptr, 0, 500, 0, "3500 0"},
        // The readers' listings held ahead are given back to make room.
        {"500 folders with 5 descriptors free", 64, nullptr, 0, 500, 0, "3500 0", 5},
        {"a chain of 1,200 folders at 256", 256, nullptr, 1200, 0, 0, "1200 0"},
        // The walk gives back the folders it holds to make room.
        {"a chain of 300 folders at 12", 12, nullptr, 300, 0, 0, "300 0"},
        // Near the top and the bottom the walk holds its folders; level 38
        // of 40 has given its descriptor back when the swap comes.
        {"a released folder swapped", 64, nullptr, 40, 0, 38, "39 1"},
        {"a refused subfolder", 0, "a0", 0, 2, 0, "7 1"},
        {"a refused root", 0, "", 0, 2, 0, "0 1"},
        // Listed, but its entries' status cannot be read.
        {"a folder listed but not entered", 0, "a0/b0/Debug", 0, 2, 0, "7 1", 0, 0444},
        {"a root listed but not entered", 0, "", 0, 2, 0, "0 1", 0, 0444},
        // Level 38 moved out of the chosen folder, a link to it in its place.
        {"a released folder linked from outside", 64, nullptr, 40, 0, 38, "39 1", 0, 0, true},
        // Whichever chain the walk takes first, the other three are left.
        {"a released folder swapped with subfolders left", 64, nullptr, 40, 0, 38, "39 4", 0, 0,
         false, 3},
        // Read again as it changed, with no descriptor free beside it.
        {"a folder changed as it is entered, 2 free", 64, nullptr, 1, 0, 0, "1 0", 2, 0, false, 0,
         "d/x.obj"},
    };
    for (const auto& c : cases) {
        TempTree t;
        std::string chain;
        for (int i = 1; i <= c.depth; ++i) t.File((chain += "d/") + "x.obj");
        for (int f = 1; f <= c.forks; ++f) {
            std::string fork = chain.substr(0, 2 * c.swapAt) + "f" + std::to_string(f) + "/";
            for (int i = c.swapAt + 1; i <= c.depth; ++i, fork += "d/") t.File(fork + "x.obj");
        }
        for (int i = 0; i < c.wide * 7; ++i) {
            t.File("a" + std::to_string(i / 7 % 20) + "/b" + std::to_string(i / 7) + "/Debug/x" +
                   std::to_string(i % 7) + ".obj");
        }
        if (c.locked && !*c.locked) t.File("r.obj");
        TempTree outside;
        RecordingSink sink;
        if (c.swapAt > 0) {
            const std::string level = t.Path(chain.substr(0, 2 * c.swapAt - 1));
            const auto depth = [](const std::string& path) {
                return std::count(path.begin(), path.end(), '/');
            };
            sink.onFolder = [&, level, deepest = depth(t.Path(chain)),
                             bSwapped = false](const std::string& folder) mutable {
                if (bSwapped || depth(folder) != deepest) return;
                bSwapped = true;
                if (!c.bLinked) {
                    std::filesystem::rename(level, level.substr(0, level.size() - 1) + "moved");
                    std::filesystem::create_directory(level);
                    return;
                }
                std::filesystem::rename(level, outside.Path("moved"));
                std::filesystem::create_directory_symlink(outside.Path("moved"), level);
                outside.File("moved/outside.obj");
            };
        }
        if (c.renamed) {
            sink.onFolder = [&](const std::string& folder) {
                const std::string file = t.Path(c.renamed);
                if (folder == file.substr(0, file.rfind('/') + 1)) {
                    rename(file.c_str(), (file + "-renamed.obj").c_str());
                }
            };
        }
        if (c.locked) chmod(t.Path(c.locked).c_str(), c.mode);
        EXPECT_EQ(InChild([&] {
                      // UBSan checks a virtual call's type at its first use
                      // through a pipe, which a process out of descriptors
                      // cannot make: the walk once before, so none is a first.
                      if (kSanitized) {
                          RecordingSink warm;
                          CIntermediateFileFinder finder(&warm);
                          if (finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false)) {
                              warm.WaitForEnd();
                          }
                      }
                      const struct rlimit rl = {c.limit, c.limit};
                      if (c.limit > 0) setrlimit(RLIMIT_NOFILE, &rl);
                      std::vector<int> taken;
                      for (int fd; c.free > 0 && (fd = dup(0)) >= 0;) taken.push_back(fd);
                      for (int i = 0; i < c.free && !taken.empty(); ++i) {
                          close(taken.back());
                          taken.pop_back();
                      }
                      if (c.locked && RunningAsRoot() && (setgid(65534) || setuid(65534))) {
                          return std::string("cannot give up root");
                      }
                      CIntermediateFileFinder finder(&sink);
                      if (!finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false) ||
                          !sink.WaitForEnd()) {
                          return std::string("no end");
                      }
                      finder.JoinWorker();
                      return std::to_string(sink.Paths('F').size()) + " " +
                             std::to_string(finder.UnreadableFolders());
                  }),
                  c.want)
            << c.what;
    }
}

// The chosen folder swapped in a loop between links to two folders while
// searches start: the identity a deletion checks is always that of the
// folder the search listed, never of the other.
TEST(RootIdentity, IsThatOfTheFolderListed) {
    TempTree t;
    t.File("A/a.obj");
    t.File("B/b.obj");
    FolderId idA, idB;
    ASSERT_TRUE(ReadFolderId(t.Path("A"), idA) && ReadFolderId(t.Path("B"), idB));
    const std::string root = t.Path("root"), next = t.Path("next");
    symlink("A", root.c_str());
    std::atomic<bool> bSwapping{true};
    std::thread swapper([&] {
        for (bool bA = false; bSwapping; bA = !bA) {
            symlink(bA ? "A" : "B", next.c_str());
            rename(next.c_str(), root.c_str());
        }
    });
    int nListedA = 0, nListedB = 0, nWrong = 0;
    for (int i = 0; i < 300; ++i) {
        RecordingSink sink;
        CIntermediateFileFinder finder(&sink);
        finder.SetReadAheadThreads(0);
        ASSERT_TRUE(finder.StartFind(root, true, 1, kAllTypes, 1, 0, false));
        ASSERT_TRUE(sink.WaitForEnd());
        const auto files = sink.Paths('F');
        ASSERT_EQ(files.size(), 1u);
        const bool bA = files[0] == root + "/a.obj";
        (bA ? nListedA : nListedB)++;
        nWrong += finder.RootId() != (bA ? idA : idB);
    }
    bSwapping = false;
    swapper.join();
    EXPECT_EQ(nWrong, 0) << nListedA << " searches listed A, " << nListedB << " B";
}

// A folder removed and made again in its place may get its inode number
// back (ext4 gives it at once, unless a test beside takes it first): it is
// still not the folder searched.
TEST(RootIdentity, AFolderMadeAgainInItsPlaceIsAnother) {
    TempTree t;
    const std::string dir = t.Dir("r");
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    ASSERT_TRUE(finder.StartFind(dir, true, 1, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    finder.JoinWorker();
    struct stat st {};
    for (int i = 0; i < 200 && st.st_ino != finder.RootId().index; ++i) {
        ASSERT_EQ(rmdir(dir.c_str()), 0);
        ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
        ASSERT_EQ(stat(dir.c_str(), &st), 0);
    }
    if (st.st_ino != finder.RootId().index) {
        GTEST_SKIP() << "this file system gave none of 200 new folders the removed one's number";
    }
    FolderId now;
    ASSERT_TRUE(ReadFolderId(dir, now));
    EXPECT_NE(now, finder.RootId());
}

// A search of the home folder must not move or delete what the user already
// threw away: the home trash, made here while the walk runs, and the trash
// folders of a file system's top, wherever they are reached from (the trash
// of a bind mount lies in the mount's source, a plain folder to the walk).
TEST(Walk, TheDesktopsTrashFoldersAreNotWalked) {
    TempTree t;
    const char* pszOld = std::getenv("XDG_DATA_HOME");
    const std::string old = pszOld ? pszOld : "";
    setenv("XDG_DATA_HOME", t.Path("home/data").c_str(), 1);
    std::vector<std::string> expected = {t.File("home/data/kept/a.obj")};
    t.File("plain/.Trash-0/b.obj");
    const std::string top = t.Dir("top"), mnt = t.Dir("mnt");
    t.File("src/keepme.obj");
    const bool bMounted = mount("none", top.c_str(), "tmpfs", 0, nullptr) == 0 &&
                          mount(t.Path("src").c_str(), mnt.c_str(), nullptr, MS_BIND, nullptr) == 0;
    if (bMounted) {
        t.File("top/.Trash-0/files/d.obj");
        t.File("top/.Trash-1000/files/e.obj");
        t.File("top/.Trash/0/files/f.obj");
        expected.push_back(t.File("top/.Trash-x/g.obj"));
        EXPECT_TRUE(TrashFile(mnt, mnt + "/keepme.obj"));
        std::filesystem::remove_all(t.Path("home/data/Trash"));
    }
    RecordingSink sink;
    sink.onFolder = [&](const std::string& folder) {
        if (folder == t.Root() + "/") t.File("home/data/Trash/files/Debug/c.obj");
    };
    CIntermediateFileFinder finder(&sink);
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    for (const std::string& point : {mnt, top}) umount2(point.c_str(), MNT_DETACH);
    pszOld ? setenv("XDG_DATA_HOME", old.c_str(), 1) : unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(Sorted(sink.Paths('F')), Sorted(expected));
    if (!bMounted) GTEST_SKIP() << "mounts are not permitted here: the mounts' trash is untested";
}

// With reader threads the sibling and the file were read ahead before they
// went, and the first folder before its new file came: the walk must report
// what is there when it gets there, as it does without readers.
TEST(Walk, EntriesThatVanishOrAppearDuringTheWalkAreSeenAsTheWalkReachesThem) {
    for (int nThreads : {0, 1, 8}) {
        SCOPED_TRACE("readers " + std::to_string(nThreads));
        TempTree t;
        t.File("a/x.obj");
        t.File("b/y.obj");
        t.File("gone.obj");
        WaitUntilSettled(t.Root());
        const std::vector<std::string> order = ListingOrder(t.Root());
        const bool bAFirst =
            std::find(order.begin(), order.end(), "a") < std::find(order.begin(), order.end(), "b");
        const std::string first = t.Path(bAFirst ? "a/" : "b/");
        const std::string second = t.Path(bAFirst ? "b" : "a");
        RecordingSink sink;
        // As the first subfolder is announced, its sibling and a file of the
        // root, both already listed, disappear, and it gains a file.
        sink.onFolder = [&](const std::string& folder) {
            if (folder != first) return;
            unlink((second + (bAFirst ? "/y.obj" : "/x.obj")).c_str());
            rmdir(second.c_str());
            unlink(t.Path("gone.obj").c_str());
            t.File(std::string(bAFirst ? "a" : "b") + "/new.obj");
        };
        CIntermediateFileFinder finder(&sink);
        finder.SetReadAheadThreads(nThreads);
        ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
        ASSERT_TRUE(sink.WaitForEnd());
        EXPECT_EQ(Sorted(sink.Paths('F')),
                  Sorted({first + "new.obj", first + (bAFirst ? "x.obj" : "y.obj")}));
        EXPECT_EQ(sink.Paths('D'), (std::vector<std::string>{t.Root() + "/", first}));
    }
}

// A sink that holds the worker inside its first folder notification until
// the test lets it go, so a stop lands at a known point.
class GateSink : public RecordingSink {
public:
    GateSink() {
        onFolder = [this](const std::string&) {
            std::unique_lock<std::mutex> lock(m_gate);
            m_bHeld = true;
            m_cv.notify_all();
            m_cv.wait(lock, [this] { return m_bOpen; });
        };
    }
    void WaitUntilHeld() {
        std::unique_lock<std::mutex> lock(m_gate);
        m_cv.wait(lock, [this] { return m_bHeld; });
    }
    void Open() {
        std::lock_guard<std::mutex> lock(m_gate);
        m_bOpen = true;
        m_cv.notify_all();
    }

private:
    std::mutex m_gate;
    std::condition_variable m_cv;
    bool m_bHeld = false;
    bool m_bOpen = false;
};

// Clears its sink when a worker is about to be created: by then the previous
// worker has ended, so the sink holds exactly the events of the last walk.
class FreshSinkFinder : public CIntermediateFileFinder {
public:
    explicit FreshSinkFinder(RecordingSink* pSink)
        : CIntermediateFileFinder(pSink), m_pSink(pSink) {}
    bool BeginThread() override {
        m_pSink->Clear();
        return CIntermediateFileFinder::BeginThread();
    }

private:
    RecordingSink* m_pSink;
};

TEST(StartAndStop, StopBeforeAnyStartReturnsFalse) {
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    EXPECT_FALSE(finder.StopFind());
}

TEST(StartAndStop, AStopLetsTheCurrentNotificationFinishAndNothingFollows) {
    TempTree t;
    t.File("a.obj");
    t.File("Debug/b.obj");
    GateSink sink;
    CIntermediateFileFinder finder(&sink);
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
    sink.WaitUntilHeld();
    EXPECT_TRUE(finder.StopFind());
    EXPECT_FALSE(finder.StopFind());
    sink.Open();
    // A new start waits for the stopped worker, which reports nothing more.
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    const auto events = sink.Events();
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[0].path, t.Root() + "/");
    EXPECT_EQ(events[1].path, t.Root() + "/");  // the fresh walk starts over
    EXPECT_EQ(sink.Ends(), 1);
    EXPECT_EQ(Sorted(sink.Paths('F')), Sorted({t.Path("Debug/b.obj"), t.Path("a.obj")}));
}

TEST(StartAndStop, StopAfterANaturalEndReturnsTrueOnce) {
    TempTree t;
    t.File("a.obj");
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    EXPECT_TRUE(finder.StopFind());
    EXPECT_FALSE(finder.StopFind());
}

TEST(StartAndStop, StartWhileAWalkRunsReplacesItWithAFreshOne) {
    TempTree t;
    for (int i = 0; i < 40; ++i) t.File("d" + std::to_string(i) + "/Debug/x.obj");
    RecordingSink sink;
    FreshSinkFinder finder(&sink);
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 2, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    EXPECT_EQ(sink.Paths('D').front(), t.Root() + "/");
    EXPECT_EQ(sink.Paths('F').size(), 40u);
    EXPECT_EQ(sink.Ends(), 1);
}

// Set by the worker thread as it exits (its thread_local objects go last).
std::atomic<bool> g_bWorkerExited{false};
struct WorkerExitMark {
    ~WorkerExitMark() { g_bWorkerExited = true; }
};

TEST(StartAndStop, DestroyingTheFinderMidWalkWaitsForItsWorker) {
    TempTree t;
    for (int i = 0; i < 50; ++i) t.File("d" + std::to_string(i) + "/x.obj");
    GateSink sink;
    const auto hold = sink.onFolder;
    sink.onFolder = [hold](const std::string& strFolder) {
        thread_local WorkerExitMark mark;
        hold(strFolder);
    };
    g_bWorkerExited = false;
    {
        CIntermediateFileFinder finder(&sink);
        ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
        sink.WaitUntilHeld();
        sink.Open();
    }
    // Returning before the join would leave the worker running, unmarked.
    EXPECT_TRUE(g_bWorkerExited);
}

std::size_t ThreadsOfThisProcess() {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator("/proc/self/task"))
        ++n;
    return n;
}

// The sink deletes the finder when told the walk ended: by then every reader
// of the walk must be gone, and the worker must touch nothing of the finder
// after. (Under the sanitizers a later touch is caught as well.)
class DeletingSink : public RecordingSink {
public:
    void OnFindEnd() override {
        thread_local WorkerExitMark mark;
        threadsAtEnd = ThreadsOfThisProcess();
        delete pFinder;
        RecordingSink::OnFindEnd();
    }
    CIntermediateFileFinder* pFinder = nullptr;
    std::size_t threadsAtEnd = 0;
};

TEST(StartAndStop, ASinkMayDeleteTheFinderWhenTheWalkEnds) {
    TempTree t;
    for (int i = 0; i < 200; ++i) t.File("d" + std::to_string(i) + "/e/x.obj");
    DeletingSink sink;
    // ThreadSanitizer starts a thread of its own at the first thread
    // created; one short-lived thread first keeps it out of the counts. A
    // joined thread may still be listed for a moment: wait until it is not.
    std::size_t nWithHelper = 0;
    std::thread([&nWithHelper] { nWithHelper = ThreadsOfThisProcess(); }).join();
    const auto settle = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (ThreadsOfThisProcess() >= nWithHelper && std::chrono::steady_clock::now() < settle)
        std::this_thread::yield();
    const std::size_t threadsBefore = ThreadsOfThisProcess();
    g_bWorkerExited = false;
    sink.pFinder = new CIntermediateFileFinder(&sink);
    ASSERT_TRUE(sink.pFinder->StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    EXPECT_EQ(sink.threadsAtEnd, threadsBefore + 1);  // the worker alone
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while ((!g_bWorkerExited || ThreadsOfThisProcess() != threadsBefore) &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::yield();
    EXPECT_TRUE(g_bWorkerExited);
    EXPECT_EQ(ThreadsOfThisProcess(), threadsBefore);
    EXPECT_EQ(sink.Paths('F').size(), 200u);
}

TEST(StartAndStop, AThousandStartStopCyclesEndCleanly) {
    TempTree t;
    for (int i = 0; i < 5; ++i) t.File("p" + std::to_string(i) + "/Debug/u.obj");
    RecordingSink sink;
    FreshSinkFinder finder(&sink);
    for (int i = 0; i < 1000; ++i) {
        ASSERT_TRUE(finder.StartFind(t.Root(), true, 1, kAllTypes, 1, 0, false));
        ASSERT_TRUE(finder.StopFind());
        ASSERT_FALSE(finder.StopFind());
    }
    ASSERT_TRUE(finder.StartFind(t.Root(), true, 2, kAllTypes, 1, 0, false));
    ASSERT_TRUE(sink.WaitForEnd());
    EXPECT_EQ(sink.Paths('F').size(), 5u);
    EXPECT_EQ(sink.Paths('D').size(), 11u);
}

// Runs in a child process: caps the address space near its current size,
// leaving no room for a new thread's stack, and tries to start.
[[noreturn]] void StartWithoutRoomForAThread(const std::string& root) {
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    const rlim_t limit = static_cast<rlim_t>(pages) * sysconf(_SC_PAGESIZE) + (1 << 20);
    const struct rlimit rl = {limit, limit};
    setrlimit(RLIMIT_AS, &rl);
    const bool bStarted = finder.StartFind(root, true, 1, kAllTypes, 1, 0, false);
    const bool bStopped = finder.StopFind();
    std::_Exit(!bStarted && !bStopped ? 0 : 1);
}

TEST(StartAndStop, AThreadThePlatformRefusesGivesFalseAndLeavesTheFlagClear) {
    if (kSanitized) GTEST_SKIP() << "sanitizers reserve address space the limit would break";
    TempTree t;
    // A fresh process: the C library keeps the stacks of ended threads for
    // reuse, and a forked copy of this one would find one there.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(StartWithoutRoomForAThread(t.Root()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
