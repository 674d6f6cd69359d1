// A search session over a real tree, driven as the front ends drive it:
// every row arrives in the walk's order and the end is reported once; a
// stop leaves every row found for one more take and nothing of it reaches
// the next search.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "search/SearchSession.h"
#include "tests/support/TempTree.h"

namespace {

namespace fs = std::filesystem;

constexpr int kProjects = 40;
constexpr int kFilesPerProject = 50;

// Records what a bare finder reports, in order.
class RecordingSink final : public CFindNotify {
public:
    void OnFindFolder(const std::string&) override {}
    void OnFindFile(const std::string& strPath, std::uint64_t, const std::string&,
                    const std::string&) override {
        paths.push_back(strPath);
    }
    void OnFindEnd() override {}

    std::vector<std::string> paths;
};

// A finder that counts the files it reports on their way to the session.
class CountingFinder final : public CIntermediateFileFinder, private CFindNotify {
public:
    explicit CountingFinder(CFindNotify& target)
        : CIntermediateFileFinder(this), m_target(target) {}
    ~CountingFinder() override { EndWorker(); }
    std::atomic<std::size_t> files{0};

private:
    void OnFindFolder(const std::string& strFolder) override { m_target.OnFindFolder(strFolder); }
    void OnFindFileStamps(const std::string& strPath, std::uint64_t size, const FileStamp& created,
                          const FileStamp& modified, std::uint64_t fileId) override {
        ++files;
        m_target.OnFindFileStamps(strPath, size, created, modified, fileId);
    }
    void OnFindEnd() override { m_target.OnFindEnd(); }

    CFindNotify& m_target;
};

class SearchSessionTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tree = new TempTree("kesmora-session");
        for (int p = 0; p < kProjects; ++p) {
            const fs::path debug = s_tree->Folder() / ("proj" + std::to_string(p)) / "Debug";
            fs::create_directories(debug);
            std::ofstream(debug.parent_path() / "main.cpp") << "int main() {}";
            for (int f = 0; f < kFilesPerProject; ++f) {
                std::ofstream(debug / ("m" + std::to_string(f) + ".obj")) << std::string(f, 'o');
                s_totalBytes += static_cast<std::uint64_t>(f);
            }
        }
    }
    static void TearDownTestSuite() {
        delete s_tree;
        s_tree = nullptr;
    }

    static SearchQuery QueryOf(const fs::path& root) {
        SearchQuery q;
        q.strRoot = root.string();
        q.folders = FolderRule::All;
        return q;
    }

    // The front end's loop: sleeps until the end wakes it or a tick passes.
    void TakeUntilEnd(CSearchSession& session) {
        ResultBatch batch;
        for (;;) {
            {
                std::unique_lock lock(m_mutex);
                m_cv.wait_for(lock, std::chrono::milliseconds(20), [&] { return m_nEnds > 0; });
            }
            if (!session.Take(batch)) continue;
            total += AppendRows(rows, batch.rows);
            if (batch.folder) lastFolder = *batch.folder;
            if (batch.bEnded) return;
        }
    }
    void CountEnds(CSearchSession& session) {
        session.SetEndCallback([this] {
            std::lock_guard lock(m_mutex);
            ++m_nEnds;
            m_cv.notify_all();
        });
    }

    static inline TempTree* s_tree = nullptr;
    static inline std::uint64_t s_totalBytes = 0;
    std::vector<ResultRow> rows;
    std::uint64_t total = 0;
    std::string lastFolder;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    int m_nEnds = 0;
};

TEST_F(SearchSessionTest, EveryRowArrivesInTheWalksOrderAndTheEndOnce) {
    RecordingSink reference;
    {
        CIntermediateFileFinder finder(&reference);
        const FinderArguments a = FinderArgumentsOf(QueryOf(s_tree->Folder()));
        ASSERT_TRUE(finder.StartFind(s_tree->Folder().string(), true, a.nFolderMode, a.nTypeMask,
                                     a.nTimeMode, a.nDays, a.bOlder));
        finder.JoinWorker();
    }
    ASSERT_EQ(reference.paths.size(), std::size_t{kProjects * kFilesPerProject});

    CSearchSession session;
    CountEnds(session);
    ASSERT_TRUE(session.Start(QueryOf(s_tree->Folder())));
    TakeUntilEnd(session);

    ASSERT_EQ(rows.size(), reference.paths.size());
    for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i].strPath, reference.paths[i]);
    EXPECT_EQ(total, s_totalBytes);
    EXPECT_FALSE(lastFolder.empty());
    EXPECT_EQ(session.Folders(), std::uint64_t{1 + kProjects * 2});
    ResultBatch batch;
    EXPECT_FALSE(session.Take(batch)) << "nothing after the end";
    EXPECT_EQ(m_nEnds, 1);
}

TEST_F(SearchSessionTest, AStopLeavesEveryRowFoundAndTheNextSearchStartsClean) {
    CSearchSession session;
    auto pFinder = std::make_unique<CountingFinder>(session.Sink());
    CountingFinder& finder = *pFinder;
    session.SetFinder(std::move(pFinder));

    ASSERT_TRUE(session.Start(QueryOf(s_tree->Folder())));
    while (finder.files.load() == 0) std::this_thread::yield();
    EXPECT_TRUE(session.Stop());
    ResultBatch batch;
    session.Take(batch);
    EXPECT_EQ(batch.rows.size(), finder.files.load()) << "the summary counts what the list shows";
    EXPECT_FALSE(session.Stop()) << "a second stop finds nothing running";

    const fs::path one = s_tree->Folder() / "proj7";
    CountEnds(session);
    ASSERT_TRUE(session.Start(QueryOf(one)));
    TakeUntilEnd(session);
    ASSERT_EQ(rows.size(), std::size_t{kFilesPerProject});
    for (const ResultRow& row : rows) {
        EXPECT_EQ(row.strPath.rfind(one.string(), 0), 0u) << row.strPath;
    }
    EXPECT_EQ(session.Folders(), 2u) << "the count starts again";
    EXPECT_FALSE(session.Start(QueryOf(one / "missing"))) << "no such folder";
}

}  // namespace
