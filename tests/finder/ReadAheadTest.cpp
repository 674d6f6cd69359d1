// Reading ahead changes nothing the search reports: the full notification
// sequence with reader threads equals the one without, on a tree with every
// awkward case a real disk has, under every folder mode and filter.
#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <thread>

#include "TestTree.h"
#include "walk/IntermediateFileFinder.h"
#include "walk/MatchRules.h"
#include "walk/ReadAheadPool.h"

namespace {

constexpr int kAllTypes = 255;
constexpr std::time_t kDay = 86400;

// A small workspace in the shape of the benchmark's tree, with hidden,
// Japanese and non-UTF-8 names, read-only files, a 5 GiB file, a link back
// up the path and one elsewhere, a dangling link named like a match, an
// unreadable folder and a folder too large to be held whole.
void BuildTree(const TempTree& t) {
    const std::time_t now = std::time(nullptr);
    int nMade = 0;
    auto inter = [&](const std::string& rel) {
        const std::string path = t.File(rel, static_cast<std::uint64_t>(nMade * 977 % 70000));
        if (nMade % 3 == 0) SetModified(path, now - 40 * kDay);
        if (nMade % 7 == 0) chmod(path.c_str(), 0444);
        ++nMade;
    };
    for (int p = 0; p < 4; ++p) {
        const std::string proj = "Project00" + std::to_string(p) + "/";
        for (const char* name :
             {"main.cpp", "stdafx.h", "app.rc", "notes.objx", "obj.txt", "readme.pdb.txt"}) {
            t.File(proj + name, 100);
        }
        for (int m = 0; m < 3; ++m) t.File(proj + "module" + std::to_string(m) + "/util.cpp");
        for (const char* out : {"Debug", "Release", "x64/Debug", "x64/Release", "debug"}) {
            const std::string dir = proj + out + "/";
            for (int u = 0; u < 4; ++u) {
                inter(dir + (u == 1 ? "UNIT" : "unit") + std::to_string(u) +
                      (u == 1 ? ".OBJ" : ".obj"));
                inter(dir + "unit" + std::to_string(u) + ".sbr");
            }
            for (const char* ext : {".idb", ".ilk", ".pch", ".pdb", ".res", ".Bsc"}) {
                inter(dir + "Project" + ext);
            }
            inter(dir + "sub/deep.obj");
        }
        t.Dir(proj + "odd.obj");
        // Newer IDEs' leftovers: a solution's cache (the first one alone),
        // a build record folder, an IntelliSense cache.
        t.File(proj + (p % 2 ? "App.sdf" : "App.ncb"), 300);
        t.File(proj + ".vs/App/v17/ipch/x.ipch", 90);
        if (p == 0) continue;
        t.File(proj + (p == 2 ? "app.DSW" : "App.sln"));
        t.File(proj + "Release/App.tlog/CL.read.1.tlog", 20);
    }
    inter(".hidden/Debug/hidden.obj");
    inter("表示プロジェクト/Debug/表.obj");
    inter("表示プロジェクト/Debug/ソース.pdb");
    inter("bad\xff\xfe/Debug/x\xe9.obj");
    t.File("Huge/Debug/huge.pdb", 5ull << 30);
    // More kept names than one listing may hold: the walk finishes it.
    for (int i = 0; i < 4200; ++i) t.File("Big/f" + std::to_string(i) + ".obj");
    for (int i = 0; i < 40; ++i) inter("Big/s" + std::to_string(i) + "/x.pdb");
    t.Link("Project000/loop", "..");
    t.Link("alias", t.Path("Project001"));
    t.Link("dangling.obj", t.Path("nowhere"));
    inter("Locked/Debug/locked.obj");
    chmod(t.Path("Locked").c_str(), 0);
    // Touch the root last: once it has settled, so has every folder below.
    unlink(t.File("marker").c_str());
}

struct Options {
    const char* label;
    bool bSubFolder;
    int nFolderMode;
    int nTypeMask;
    int nTimeMode;
    int nDays;
    bool bOlder;
};

// Every event as one line, so a difference shows where it is.
std::vector<std::string> Sequence(const std::string& root, const Options& o, int nThreads) {
    RecordingSink sink;
    CIntermediateFileFinder finder(&sink);
    finder.SetReadAheadThreads(nThreads);
    EXPECT_TRUE(finder.StartFind(root, o.bSubFolder, o.nFolderMode, o.nTypeMask, o.nTimeMode,
                                 o.nDays, o.bOlder));
    EXPECT_TRUE(sink.WaitForEnd());
    std::vector<std::string> lines;
    for (const RecordingSink::Event& e : sink.Events()) {
        lines.push_back(std::string(1, e.type) + " " + e.path + " " + std::to_string(e.size) + " " +
                        e.created + " " + e.modified);
    }
    return lines;
}

class ReadAhead : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pTree = new TempTree;
        BuildTree(*s_pTree);
        WaitUntilSettled(s_pTree->Root());
    }
    static void TearDownTestSuite() {
        delete s_pTree;
        s_pTree = nullptr;
    }
    static TempTree* s_pTree;
};
TempTree* ReadAhead::s_pTree = nullptr;

TEST_F(ReadAhead, EveryNotificationIsTheSameAsWithoutReaders) {
    const Options table[] = {
        {"all folders", true, 1, kAllTypes, 1, 0, false},
        {"Debug only", true, 2, kAllTypes, 1, 0, false},
        {"Release only", true, 4, kAllTypes, 1, 0, false},
        {"Debug and Release", true, 6, kAllTypes, 1, 0, false},
        {"no subfolders", false, 1, kAllTypes, 1, 0, false},
        {"obj and pdb", true, 1, 4 | 16, 1, 0, false},
        {"newer kinds too", true, 6, kAllTypes | kNewerKinds, 1, 0, false},
        {"no type", true, 1, 0, 1, 0, false},
        {"modified within 30 days", true, 1, kAllTypes, 4, 30, false},
        {"modified before 30 days", true, 6, kAllTypes, 4, 30, true},
        {"created within a day", true, 1, kAllTypes, 2, 1, false},
    };
    for (const Options& o : table) {
        const std::vector<std::string> expected = Sequence(s_pTree->Root(), o, 0);
        ASSERT_GT(expected.size(), 2u) << o.label;
        for (int nThreads : {1, 3, 8}) {
            SCOPED_TRACE(std::string(o.label) + ", readers " + std::to_string(nThreads));
            EXPECT_EQ(Sequence(s_pTree->Root(), o, nThreads), expected);
        }
    }
}

// The readers' own unit: what a reader prepares is what the walk is given.
TEST_F(ReadAhead, ThePoolHandsOverWhatItReadAhead) {
    std::atomic<bool> running{true};
    ReadAheadRules rules;
    rules.root = {true, 1};
    rules.subfolder = [](const FolderScope&, const char*, std::size_t) {
        return FolderScope{true, 1};
    };
    rules.use = [](const FolderScope&, const char* pszName, std::size_t len, EntryKind) {
        return len > 4 && std::string(pszName + len - 4) == ".obj" ? NameUse::kCandidate
                                                                   : NameUse::kNone;
    };
    CReadAheadPool pool(running, rules, 2);
    ASSERT_EQ(pool.Threads(), 2);
    CDirReader opened;
    ASSERT_EQ(opened.OpenPath(s_pTree->Path("Project000/Debug")), OpenResult::kOpened);
    const auto root = pool.ReadRoot(opened);
    ASSERT_EQ(root->result, OpenResult::kOpened);
    ASSERT_EQ(root->slotEntries.size(), 1u);  // sub
    const auto sub = pool.Take(root, 0, "sub");
    ASSERT_EQ(sub->result, OpenResult::kOpened);
    ASSERT_EQ(sub->entries.size(), 1u);
    EXPECT_STREQ(sub->names.c_str(), "deep.obj");
    EXPECT_TRUE(sub->facts.at(0).bOk);
    EXPECT_TRUE(sub->reader.Unchanged());
    std::size_t nObj = 0;
    for (const CListing::Entry& e : root->entries) nObj += e.nFacts >= 0;
    EXPECT_EQ(nObj, 3u);  // by the rules given: not UNIT1.OBJ, not the .sbr
}

int ThreadCount() {
    int n = 0;
    if (DIR* pDir = opendir("/proc/self/task")) {
        while (const dirent* pEntry = readdir(pDir)) n += pEntry->d_name[0] != '.';
        closedir(pDir);
    }
    return n;
}

// Sees the running flag, so that a sink can hold the walk until a
// destructor has asked it to stop, however fast the walk.
struct WatchedFinder : CIntermediateFileFinder {
    using CIntermediateFileFinder::CIntermediateFileFinder;
    const std::atomic<bool>& RunningFlag() const { return m_bRunning; }
};

TEST_F(ReadAhead, NoReaderOutlivesAStoppedOrDestroyedSearch) {
    // A search to its end first: a runtime that starts a helper thread of
    // its own with the first thread (ThreadSanitizer does) has it by then.
    const Options all = {"all folders", true, 1, kAllTypes, 1, 0, false};
    Sequence(s_pTree->Root(), all, 8);
    const int nBefore = ThreadCount();
    RecordingSink sink;
    std::atomic<int> nFolders{0};
    std::atomic<bool> bHold{false};
    // The flag itself, not the finder: no call into an object being destroyed.
    std::atomic<const std::atomic<bool>*> pRunning{nullptr};
    sink.onFolder = [&](const std::string&) {
        ++nFolders;
        if (bHold) {
            while (pRunning.load()->load()) std::this_thread::yield();
        }
    };
    {
        WatchedFinder finder(&sink);
        pRunning = &finder.RunningFlag();
        finder.SetReadAheadThreads(8);
        ASSERT_TRUE(finder.StartFind(s_pTree->Root(), true, 1, kAllTypes, 1, 0, false));
        while (nFolders < 3) std::this_thread::yield();
        EXPECT_TRUE(finder.StopFind());
        finder.JoinWorker();
        EXPECT_EQ(ThreadCount(), nBefore);
        // The next walk waits in its first folder for the destructor's stop.
        bHold = true;
        const int nFirst = nFolders;
        ASSERT_TRUE(finder.StartFind(s_pTree->Root(), true, 1, kAllTypes, 1, 0, false));
        while (nFolders == nFirst) std::this_thread::yield();
    }  // destroyed mid-walk
    EXPECT_EQ(ThreadCount(), nBefore);
    EXPECT_EQ(sink.Ends(), 0);
}

}  // namespace
