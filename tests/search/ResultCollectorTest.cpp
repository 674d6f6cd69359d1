// Rows and progress handed from a search's worker thread to the window's
// thread, with real threads on both sides.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "search/ResultCollector.h"
#include "walk/TimeText.h"

namespace {

std::string PathOf(int i) { return "/proj/m" + std::to_string(i) + "/Debug/x.obj"; }

// Plays a walk on its own thread: folders, files and, unless told
// otherwise, the end.
void Walk(CFindNotify& sink, int files, bool bEnd = true) {
    for (int i = 0; i < files; ++i) {
        if (i % 10 == 0) sink.OnFindFolder("/proj/m" + std::to_string(i) + "/");
        sink.OnFindFileStamps(PathOf(i), static_cast<std::uint64_t>(i), {1, 2}, {3, 4}, 0);
    }
    if (bEnd) sink.OnFindEnd();
}

TEST(ResultRow, KeepsThePathBytesAndShowsItsTimesInLocalTime) {
    const FileStamp created{1704164640, 5};
    const FileStamp modified{1767225599, 999999999};
    const ResultRow row("/a/\xFF.obj", 1536, created, modified);
    EXPECT_EQ(row.strPath, "/a/\xFF.obj");
    EXPECT_EQ(row.DisplayName(), "/a/\xEF\xBF\xBD.obj");
    EXPECT_EQ(row.SizeText(), "2KB");
    EXPECT_EQ(row.created, created);
    EXPECT_EQ(row.CreatedText(), FileTimeText(created.seconds));
    EXPECT_EQ(row.ModifiedText(), FileTimeText(modified.seconds));
}

TEST(AppendRows, AddsTheBatchInOrderAndReturnsItsBytes) {
    std::vector<ResultRow> rows;
    rows.emplace_back("/first", 10);
    std::vector<ResultRow> batch;
    batch.emplace_back("/second", 5ull << 30);
    batch.emplace_back("/third", 7);
    EXPECT_EQ(AppendRows(rows, batch), (5ull << 30) + 7);
    EXPECT_TRUE(batch.empty());
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].strPath, "/second");
    EXPECT_EQ(rows[2].strPath, "/third");
}

TEST(CResultCollector, DeliversEveryRowInOrderWhileTheWorkerRuns) {
    constexpr int kFiles = 100000;
    CResultCollector collector;
    std::thread worker([&] { Walk(collector, kFiles); });

    std::vector<ResultRow> rows;
    std::uint64_t total = 0;
    ResultBatch batch;
    int takesWithRows = 0;
    bool bEnded = false;
    while (!bEnded) {
        if (collector.Take(batch)) {
            if (!batch.rows.empty()) ++takesWithRows;
            total += AppendRows(rows, batch.rows);
            bEnded = batch.bEnded;
        }
        std::this_thread::yield();
    }
    worker.join();

    ASSERT_EQ(rows.size(), static_cast<std::size_t>(kFiles));
    for (int i = 0; i < kFiles; ++i) {
        ASSERT_EQ(rows[i].strPath, PathOf(i)) << i;
        ASSERT_EQ(rows[i].nWalk, static_cast<std::uint32_t>(i)) << "a sort's ties need it";
    }
    EXPECT_EQ(total, std::uint64_t{kFiles} * (kFiles - 1) / 2);
    EXPECT_GE(takesWithRows, 1);
    EXPECT_FALSE(collector.Take(batch)) << "the end is reported once, with the last rows";
}

TEST(CResultCollector, AfterAStopAndJoinOneTakeHoldsEveryRowFound) {
    CResultCollector collector;
    std::atomic<bool> bRunning{true};
    std::atomic<int> found{0};
    std::thread worker([&] {
        for (int i = 0; bRunning.load(); ++i) {
            collector.OnFindFileStamps(PathOf(i), 1, {}, {}, 0);
            found.store(i + 1);
        }
    });
    std::vector<ResultRow> rows;
    ResultBatch batch;
    while (found.load() < 20000) {
        collector.Take(batch);
        AppendRows(rows, batch.rows);
    }
    bRunning.store(false);
    worker.join();
    collector.Take(batch);
    AppendRows(rows, batch.rows);

    EXPECT_FALSE(batch.bEnded) << "a stopped walk has no end to report";
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(found.load()));
    EXPECT_EQ(rows.back().strPath, PathOf(found.load() - 1));
}

TEST(CResultCollector, ReportsOnlyTheLatestFolderAndOnlyWhenItChanged) {
    CResultCollector collector;
    std::thread worker([&] {
        collector.OnFindFolder("/a/");
        collector.OnFindFolder("/a/b/");
    });
    worker.join();
    ResultBatch batch;
    ASSERT_TRUE(collector.Take(batch));
    EXPECT_EQ(batch.folder, "/a/b/");
    EXPECT_FALSE(batch.bEnded);
    EXPECT_FALSE(collector.Take(batch));
    EXPECT_FALSE(batch.folder);
}

TEST(CResultCollector, AStoppedSearchLeavesNothingForTheNextOne) {
    CResultCollector collector;
    std::thread first([&] { Walk(collector, 500, /*bEnd=*/false); });
    first.join();
    collector.Reset();

    std::thread second([&] {
        collector.OnFindFileStamps("/next/a.pdb", 1, {}, {}, 0);
        collector.OnFindEnd();
    });
    second.join();
    ResultBatch batch;
    ASSERT_TRUE(collector.Take(batch));
    ASSERT_EQ(batch.rows.size(), 1u);
    EXPECT_EQ(batch.rows[0].strPath, "/next/a.pdb");
    EXPECT_EQ(batch.rows[0].nWalk, 0u) << "each search numbers its rows from the start";
    EXPECT_FALSE(batch.folder) << "the stopped search's folder must not reappear";
    EXPECT_TRUE(batch.bEnded);
}

TEST(CResultCollector, ResetForgetsAnUncollectedEnd) {
    CResultCollector collector;
    std::thread worker([&] { Walk(collector, 3); });
    worker.join();
    collector.Reset();
    ResultBatch batch;
    EXPECT_FALSE(collector.Take(batch));
    EXPECT_TRUE(batch.rows.empty());
    EXPECT_FALSE(batch.bEnded);
}

}  // namespace
