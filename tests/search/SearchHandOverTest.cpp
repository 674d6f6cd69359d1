// A real search over a real tree, handed to the window's side through the
// collector: every row arrives, in the walk's order, and a stop followed by
// a join shows every row found and nothing of it leaks into the next search.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "finder/IntermediateFileFinder.h"
#include "search/ResultCollector.h"
#include "search/SearchParams.h"
#include "tests/support/TempTree.h"

namespace {

namespace fs = std::filesystem;

constexpr int kProjects = 40;
constexpr int kFilesPerProject = 50;

// Records what the walk reports, in order.
class RecordingSink final : public CFindNotify {
public:
    void OnFindFolder(const std::string&) override {}
    void OnFindFile(const std::string& strPath, std::uint64_t, const std::string&,
                    const std::string&) override {
        paths.push_back(strPath);
    }
    void OnFindEnd() override { bEnded = true; }

    std::vector<std::string> paths;
    std::atomic<bool> bEnded{false};
};

// Counts the files reported before forwarding them to the collector.
class CountingSink final : public CFindNotify {
public:
    explicit CountingSink(CResultCollector& collector) : m_collector(collector) {}
    void OnFindFolder(const std::string& strFolder) override {
        m_collector.OnFindFolder(strFolder);
    }
    void OnFindFile(const std::string& strPath, std::uint64_t size, const std::string& strCreated,
                    const std::string& strModified) override {
        ++files;
        m_collector.OnFindFile(strPath, size, strCreated, strModified);
    }
    void OnFindEnd() override { m_collector.OnFindEnd(); }

    std::atomic<std::size_t> files{0};

private:
    CResultCollector& m_collector;
};

class SearchHandOverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_tree = new TempTree("kesmora-handover");
        s_root = &s_tree->Folder();
        for (int p = 0; p < kProjects; ++p) {
            const fs::path debug = *s_root / ("proj" + std::to_string(p)) / "Debug";
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
        s_root = nullptr;
    }

    static bool Start(CIntermediateFileFinder& finder, const std::string& folder) {
        SearchOptions options;
        options.bObj = options.bPdb = options.bIdb = true;
        const auto p = MakeSearchParams(folder, options);
        return p && finder.StartFind(p->strFolder, p->bSubFolder, p->nFolderMode, p->nTypeMask,
                                     p->nTimeMode, p->nDays, p->bOlder);
    }

    // What the window's timer does, until the walk reports its end.
    static std::vector<ResultRow> CollectUntilEnd(CResultCollector& collector, std::uint64_t& total,
                                                  std::string& lastFolder) {
        std::vector<ResultRow> rows;
        ResultBatch batch;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            if (!collector.Take(batch)) continue;
            total += AppendRows(rows, batch.rows);
            if (batch.folder) lastFolder = *batch.folder;
            if (batch.bEnded) return rows;
        }
        ADD_FAILURE() << "the search did not end";
        return rows;
    }

    static inline TempTree* s_tree = nullptr;
    static inline const fs::path* s_root = nullptr;
    static inline std::uint64_t s_totalBytes = 0;
};

TEST_F(SearchHandOverTest, EveryRowArrivesInTheWalksOrder) {
    RecordingSink reference;
    {
        CIntermediateFileFinder finder(&reference);
        ASSERT_TRUE(Start(finder, s_root->string()));
        finder.JoinWorker();
    }
    ASSERT_TRUE(reference.bEnded);
    ASSERT_EQ(reference.paths.size(), std::size_t{kProjects * kFilesPerProject});

    CResultCollector collector;
    CIntermediateFileFinder finder(&collector);
    ASSERT_TRUE(Start(finder, s_root->string()));
    std::uint64_t total = 0;
    std::string lastFolder;
    const std::vector<ResultRow> rows = CollectUntilEnd(collector, total, lastFolder);
    finder.JoinWorker();

    ASSERT_EQ(rows.size(), reference.paths.size());
    for (std::size_t i = 0; i < rows.size(); ++i) ASSERT_EQ(rows[i].strPath, reference.paths[i]);
    EXPECT_EQ(total, s_totalBytes);
    EXPECT_FALSE(lastFolder.empty());
    EXPECT_EQ(rows.front().Created().size(), 16u) << "YYYY/MM/DD HH:MM";
}

TEST_F(SearchHandOverTest, AStopShowsEveryRowFoundAndTheNextSearchStartsClean) {
    CResultCollector collector;
    CountingSink sink(collector);
    CIntermediateFileFinder finder(&sink);
    std::vector<ResultRow> rows;
    ResultBatch batch;

    ASSERT_TRUE(Start(finder, s_root->string()));
    while (sink.files.load() == 0) std::this_thread::yield();
    collector.Take(batch);
    AppendRows(rows, batch.rows);
    finder.StopFind();
    finder.JoinWorker();
    collector.Take(batch);
    AppendRows(rows, batch.rows);
    EXPECT_EQ(rows.size(), sink.files.load()) << "the summary counts what the list shows";

    // The next search, as the window starts it: join, reset, start.
    finder.JoinWorker();
    collector.Reset();
    rows.clear();
    const fs::path one = *s_root / "proj7";
    ASSERT_TRUE(Start(finder, one.string()));
    std::uint64_t total = 0;
    std::string lastFolder;
    rows = CollectUntilEnd(collector, total, lastFolder);
    ASSERT_EQ(rows.size(), std::size_t{kFilesPerProject});
    for (const ResultRow& row : rows) {
        EXPECT_EQ(row.strPath.rfind(one.string(), 0), 0u) << row.strPath;
    }
}

}  // namespace
