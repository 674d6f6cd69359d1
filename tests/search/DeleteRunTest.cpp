// Deletion runs over real files in a temporary folder, through the
// program's file utilities: what is removed, in which order, what the rows,
// the counts and the totals are after; read-only files, paths that became
// links or folders, files the system refuses to remove.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "search/DeleteRun.h"
#include "tests/support/FailureOut.h"
#include "tests/support/ListedRow.h"
#include "tests/support/TempTrash.h"
#include "tests/support/TempTree.h"
#include "tests/support/UndeletableFiles.h"
#include "walk/FileUtil.h"

namespace {

namespace fs = std::filesystem;

// Records the order in which files are removed.
DeleteFileOps Recording(DeleteFileOps ops, std::vector<std::string>& removed) {
    auto remove = ops.removeFile;
    ops.removeFile = [remove, &removed](const ResultRow& row, RemovalFailure& why) {
        removed.push_back(row.strPath);
        return remove(row, why);
    };
    return ops;
}

class DeleteRunTest : public ::testing::Test {
protected:
    void TearDown() override { m_undeletable.ReleaseAll(); }

    // A sparse file of exactly size bytes, listed as a row.
    ResultRow MakeFile(const std::string& name, std::uint64_t size) {
        const fs::path path = m_dir / name;
        fs::create_directories(path.parent_path());
        const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC, 0644);
        EXPECT_GE(fd, 0) << path;
        EXPECT_EQ(::ftruncate(fd, static_cast<off_t>(size)), 0);
        ::close(fd);
        return ListedRow(path.string());
    }

    std::vector<ResultRow> MakeFiles(const std::vector<std::uint64_t>& sizes) {
        std::vector<ResultRow> rows;
        for (std::size_t i = 0; i < sizes.size(); ++i) {
            rows.push_back(MakeFile("f" + std::to_string(i) + ".obj", sizes[i]));
        }
        return rows;
    }

    std::string MakeUndeletable(const std::string& path) { return m_undeletable.Make(path); }

    static std::vector<std::string> Paths(const std::vector<ResultRow>& rows) {
        std::vector<std::string> paths;
        for (const ResultRow& row : rows) paths.push_back(row.strPath);
        return paths;
    }

    static bool Exists(const std::string& path) {
        struct stat st;
        return ::lstat(path.c_str(), &st) == 0;
    }

    TempTree m_tree{"kesmora-delete"};
    const fs::path& m_dir = m_tree.Folder();
    UndeletableFiles m_undeletable;
};

TEST_F(DeleteRunTest, DeletingTwoSelectedFilesClearsTheirBytesFromTheTotal) {
    std::vector<ResultRow> rows = MakeFiles({3000000, 1536, 3000000, 2048, 3996416});
    const std::vector<std::string> before = Paths(rows);
    const auto request = PlanDeleteSelected(rows.size(), {3, 1});
    ASSERT_TRUE(request);
    ASSERT_EQ(request->kind, DeleteKind::Selected);

    const DeleteOutcome out = RunDelete(rows, *request, SystemFileOps(m_dir.string()));

    EXPECT_EQ(out.nDeleted, 2u);
    EXPECT_EQ(out.freedBytes, 3584u);
    EXPECT_EQ(out.newTotal, 9996416u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::None);
    EXPECT_TRUE(out.selection.empty());
    EXPECT_EQ(Paths(rows), (std::vector<std::string>{before[0], before[2], before[4]}));
    EXPECT_FALSE(Exists(before[1]));
    EXPECT_FALSE(Exists(before[3]));
    EXPECT_TRUE(Exists(before[0]) && Exists(before[2]) && Exists(before[4]));
}

TEST_F(DeleteRunTest, DeleteAllOfFourFilesReportsTheWholeTotalCleared) {
    std::vector<ResultRow> rows = MakeFiles({393216, 393216, 393216, 393216});
    const auto request = PlanDeleteAll(rows.size(), {});
    ASSERT_TRUE(request);

    const DeleteOutcome out = RunDelete(rows, *request, SystemFileOps(m_dir.string()));

    EXPECT_EQ(out.nDeleted, 4u);
    EXPECT_EQ(out.newTotal, 0u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::None);
    EXPECT_TRUE(rows.empty());
    EXPECT_TRUE(fs::is_empty(m_dir));
}

TEST_F(DeleteRunTest, DeleteAllWithOneRefusedFileKeepsItsRowAndBytes) {
    std::vector<ResultRow> rows = MakeFiles({400000, 700, 500000, 672164});
    const std::string refused = rows[1].strPath;
    DeleteFileOps ops = SystemFileOps(m_dir.string());
    auto remove = ops.removeFile;
    ops.removeFile = [&](const ResultRow& row, RemovalFailure& why) {
        return row.strPath != refused && remove(row, why);
    };

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteAll(rows.size(), {}), ops);

    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(out.nDeleted, 3u);
    EXPECT_EQ(out.newTotal, 700u);
    EXPECT_EQ(out.keptBytes, 700u);
    EXPECT_EQ(Paths(rows), std::vector<std::string>{refused});
    EXPECT_TRUE(Exists(refused));
}

TEST_F(DeleteRunTest, DeleteAllLeavesAFileTheSystemRefusesToRemove) {
    std::vector<ResultRow> rows = MakeFiles({400000, 500000, 672164});
    rows.insert(rows.begin() + 1, MakeFile("locked/keep.pdb", 700));
    const std::string reason = MakeUndeletable(rows[1].strPath);
    if (!reason.empty()) GTEST_SKIP() << reason;

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteAll(rows.size(), {}), SystemFileOps(m_dir.string()));

    EXPECT_EQ(out.nDeleted, 3u);
    EXPECT_EQ(out.nFailed, 1u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(out.newTotal, 700u);
    EXPECT_EQ(out.keptBytes, 700u);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_TRUE(Exists(rows[0].strPath));
}

TEST_F(DeleteRunTest, SelectedRowsAreDeletedFromTheBottomUp) {
    std::vector<ResultRow> rows = MakeFiles({10, 11, 12, 13, 14});
    const std::vector<std::string> before = Paths(rows);
    std::vector<std::string> order;

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteSelected(rows.size(), {1, 3, 4}),
                                        Recording(SystemFileOps(m_dir.string()), order));

    EXPECT_EQ(order, (std::vector<std::string>{before[4], before[3], before[1]}));
    EXPECT_EQ(Paths(rows), (std::vector<std::string>{before[0], before[2]}));
    EXPECT_EQ(out.newTotal, 22u);
}

TEST_F(DeleteRunTest, DeleteAllGoesFromTheTopDown) {
    std::vector<ResultRow> rows = MakeFiles({1, 2, 3});
    const std::vector<std::string> before = Paths(rows);
    std::vector<std::string> order;
    RunDelete(rows, *PlanDeleteAll(rows.size(), {}),
              Recording(SystemFileOps(m_dir.string()), order));
    EXPECT_EQ(order, before);
}

TEST_F(DeleteRunTest, FailedSelectedRowsStayInPlaceAndSelected) {
    std::vector<ResultRow> rows = MakeFiles({100, 200, 0, 400, 500});
    // Row 2's path has become a folder since the search, which no file
    // removal may take away.
    fs::remove(rows[2].strPath);
    fs::create_directory(rows[2].strPath);
    const std::vector<std::string> before = Paths(rows);

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {1, 2, 3}), SystemFileOps(m_dir.string()));

    EXPECT_EQ(out.nDeleted, 2u);
    EXPECT_EQ(out.nFailed, 1u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(Paths(rows), (std::vector<std::string>{before[0], before[2], before[4]}));
    EXPECT_EQ(out.selection, std::vector<std::size_t>{1});
    EXPECT_EQ(out.newTotal, 600u);
    EXPECT_EQ(out.freedBytes, 600u);
    EXPECT_TRUE(fs::is_directory(before[2]));
}

TEST_F(DeleteRunTest, ASingleFileGoneMeanwhileShowsTheOneRowFailureAndChangesNoTotal) {
    std::vector<ResultRow> rows = MakeFiles({3000, 5000});
    fs::remove(rows[1].strPath);

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {1}), SystemFileOps(m_dir.string()));

    EXPECT_EQ(out.failureBox, DeleteFailureBox::OneRow);
    EXPECT_EQ(out.nDeleted, 0u);
    EXPECT_EQ(out.freedBytes, 0u);
    EXPECT_EQ(out.newTotal, 8000u);
    EXPECT_EQ(rows.size(), 2u);
    EXPECT_EQ(out.selection, std::vector<std::size_t>{1});
}

TEST_F(DeleteRunTest, TheClearedAmountIsTheBytesDeleted) {
    std::vector<ResultRow> rows = MakeFiles({511, 512, 4096});
    DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {0}), SystemFileOps(m_dir.string()));
    EXPECT_EQ(out.freedBytes, 511u);
    out = RunDelete(rows, *PlanDeleteSelected(rows.size(), {0}), SystemFileOps(m_dir.string()));
    EXPECT_EQ(out.freedBytes, 512u);
    EXPECT_EQ(out.newTotal, 4096u);
    EXPECT_EQ(rows.size(), 1u);
}

TEST_F(DeleteRunTest, FilesBeyondFourGiBCountInFull) {
    std::vector<ResultRow> rows = MakeFiles({5ull << 30, 1024});
    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {0}), SystemFileOps(m_dir.string()));
    EXPECT_EQ(out.freedBytes, 5ull << 30);
    EXPECT_EQ(out.newTotal, 1024u);
}

TEST_F(DeleteRunTest, KeptRowsOfADeleteAllCountTheSizeReadButListTheSizeFound) {
    std::vector<ResultRow> rows = MakeFiles({1000, 0, 0, 4000});
    rows[1] = MakeFile("locked1/grown.obj", 2000);
    rows[2] = MakeFile("locked2/kept.obj", 3000);
    // The first file grows after it was listed.
    fs::resize_file(rows[1].strPath, 1 << 20);
    for (int i : {1, 2}) {
        const std::string reason = MakeUndeletable(rows[i].strPath);
        if (!reason.empty()) GTEST_SKIP() << reason;
    }

    DeleteOutcome out =
        RunDelete(rows, *PlanDeleteAll(rows.size(), {}), SystemFileOps(m_dir.string()));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].size, 1u << 20);
    EXPECT_EQ(rows[0].SizeText(), "2KB");
    EXPECT_EQ(out.newTotal, (1u << 20) + 3000);
    EXPECT_EQ(out.keptBytes, out.newTotal);

    // A following delete-selected over the kept rows starts from that total.
    ASSERT_TRUE(m_undeletable.Release(rows[1].strPath));
    out = RunDelete(rows, *PlanDeleteSelected(rows.size(), {1}), SystemFileOps(m_dir.string()));
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.newTotal, 1u << 20);
}

TEST_F(DeleteRunTest, CancellingADeleteAllStatesWhatWasDeletedAndWhatRemains) {
    std::vector<ResultRow> rows = MakeFiles({1000, 2000, 3000, 4000, 5000, 6000});
    const std::vector<std::string> before = Paths(rows);
    std::vector<std::size_t> seen;
    const DeleteProgress cancelAfterTwo = [&](std::size_t done, std::size_t count) {
        seen.push_back(done);
        EXPECT_EQ(count, 6u);
        // A list repainting from the rows meanwhile must find them all.
        EXPECT_EQ(rows.size(), 6u);
        EXPECT_EQ(rows[0].strPath, before[0]);
        return done < 2;
    };

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteAll(rows.size(), {4}),
                                        SystemFileOps(m_dir.string()), cancelAfterTwo);

    EXPECT_EQ(seen, (std::vector<std::size_t>{1, 2}));
    EXPECT_TRUE(out.bCancelled);
    EXPECT_EQ(out.nDeleted, 2u);
    EXPECT_EQ(out.nUntried, 4u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::None) << "a cancel is not a failure";
    EXPECT_EQ(out.newTotal, 18000u);
    EXPECT_EQ(out.keptBytes, 18000u);
    EXPECT_EQ(Paths(rows), (std::vector<std::string>(before.begin() + 2, before.end())));
    EXPECT_EQ(out.selection, std::vector<std::size_t>{2}) << "old row 4 is now row 2";
    EXPECT_FALSE(Exists(before[0]) || Exists(before[1]));
    for (std::size_t i = 2; i < before.size(); ++i) EXPECT_TRUE(Exists(before[i]));
}

TEST_F(DeleteRunTest, CancellingADeleteSelectedKeepsTheUntriedRowsSelected) {
    std::vector<ResultRow> rows = MakeFiles({1000, 2000, 3000, 4000, 5000});
    const std::vector<std::string> before = Paths(rows);

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteSelected(rows.size(), {1, 2, 3}), SystemFileOps(m_dir.string()),
                  [](std::size_t, std::size_t) { return false; });

    EXPECT_TRUE(out.bCancelled);
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_FALSE(Exists(before[3])) << "the bottom row goes first";
    EXPECT_EQ(Paths(rows), (std::vector<std::string>{before[0], before[1], before[2], before[4]}));
    EXPECT_EQ(out.selection, (std::vector<std::size_t>{1, 2}));
    EXPECT_EQ(out.keptBytes, 5000u);
    EXPECT_EQ(out.newTotal, 11000u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::None);
    EXPECT_EQ(out.freedBytes, 4000u);
}

TEST_F(DeleteRunTest, ACancelAfterAFailureStillReportsTheFailure) {
    std::vector<ResultRow> rows = MakeFiles({1000, 2000, 3000});
    fs::remove(rows[0].strPath);
    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteAll(rows.size(), {}), SystemFileOps(m_dir.string()),
                  [](std::size_t done, std::size_t) { return done < 2; });
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.nFailed, 1u);
    EXPECT_EQ(out.nUntried, 1u);
    // The vanished file counts with the 0 bytes read for it.
    EXPECT_EQ(out.keptBytes, 3000u);
    EXPECT_EQ(rows.size(), 2u);
}

TEST_F(DeleteRunTest, CancellingAfterTheLastFileIsNoCancel) {
    std::vector<ResultRow> rows = MakeFiles({1, 2});
    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteAll(rows.size(), {}), SystemFileOps(m_dir.string()),
                  [](std::size_t done, std::size_t count) { return done < count; });
    EXPECT_FALSE(out.bCancelled);
    EXPECT_TRUE(rows.empty());
}

TEST_F(DeleteRunTest, RemovesOneHundredThousandRowsKeepingTheOthersInOrder) {
    // No files: every removal fails except where told, which exercises the
    // row bookkeeping at the size of a large tree.
    constexpr std::size_t kRows = 100000;
    std::vector<ResultRow> rows;
    std::vector<std::size_t> selected;
    for (std::size_t i = 0; i < kRows; ++i) {
        rows.emplace_back("/r/" + std::to_string(i), i);
        if (i % 3 != 0) selected.push_back(i);
    }
    DeleteFileOps ops{
        {},
        [](const std::string&) -> std::uint64_t { return 1; },
        [](const ResultRow& row, RemovalFailure&) { return row.strPath.back() != '7'; },
        {}};

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteSelected(kRows, selected), ops);

    std::size_t expectKept = 0;
    std::size_t expectSelected = 0;
    std::uint64_t expectTotal = 0;
    for (std::size_t i = 0; i < kRows; ++i) {
        const bool bFails = i % 10 == 7;
        if (i % 3 == 0 || bFails) {
            ASSERT_EQ(rows[expectKept].strPath, "/r/" + std::to_string(i));
            if (i % 3 != 0) {
                ASSERT_EQ(out.selection[expectSelected++], expectKept);
            }
            ++expectKept;
            expectTotal += i;
        }
    }
    EXPECT_EQ(rows.size(), expectKept);
    EXPECT_EQ(out.selection.size(), expectSelected);
    EXPECT_EQ(out.newTotal, expectTotal);
}

TEST_F(DeleteRunTest, AReadOnlyFileIsDeletedLikeAnyOther) {
    std::vector<ResultRow> rows = MakeFiles({700});
    fs::permissions(rows[0].strPath, fs::perms::owner_read | fs::perms::group_read);
    const std::string path = rows[0].strPath;

    const DeleteOutcome out = RunDelete(rows, *PlanDeleteAll(1, {}), SystemFileOps(m_dir.string()));

    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(rows.empty());
}

TEST_F(DeleteRunTest, APathThatBecameALinkKeepsTheLinkAndItsTargetAsTheyAre) {
    const fs::path outside = m_dir.string() + "-outside.pdb";
    std::ofstream(outside) << "keep me";
    fs::permissions(outside, fs::perms::owner_read);
    std::vector<ResultRow> rows = MakeFiles({7, 1});
    const std::string link = rows[0].strPath;
    fs::remove(link);
    fs::create_symlink(outside, link);

    RunDelete(rows, *PlanDeleteSelected(rows.size(), {0}), SystemFileOps(m_dir.string()));

    std::string content;
    std::getline(std::ifstream(outside), content);
    const fs::perms mode = fs::status(outside).permissions() & fs::perms::all;
    fs::remove(outside);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(content, "keep me");
    EXPECT_EQ(mode, fs::perms::owner_read);
}

TEST_F(DeleteRunTest, AParentSwappedForALinkAfterTheSearchKeepsTheRowAndNothingOutsideGoes) {
    const fs::path outside = m_dir.string() + "-outside";
    fs::create_directory(outside);
    std::ofstream(outside / "a.obj") << "outside";
    std::vector<ResultRow> rows = {MakeFile("Debug/a.obj", 4), MakeFile("b.obj", 1)};
    fs::rename(m_dir / "Debug", m_dir / "Debug.orig");
    fs::create_directory_symlink(outside, m_dir / "Debug");

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteAll(rows.size(), {}), SystemFileOps(m_dir.string()));

    const bool bOutsideKept = Exists((outside / "a.obj").string());
    fs::remove_all(outside);
    EXPECT_TRUE(bOutsideKept);
    EXPECT_TRUE(Exists((m_dir / "Debug.orig/a.obj").string()));
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.nFailed, 1u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(Paths(rows), std::vector<std::string>{(m_dir / "Debug/a.obj").string()});
}

TEST_F(DeleteRunTest, AnEmptyFolderAtAListedPathIsRefused) {
    std::vector<ResultRow> rows = MakeFiles({0, 1});
    fs::remove(rows[0].strPath);
    fs::create_directory(rows[0].strPath);

    const DeleteOutcome out =
        RunDelete(rows, *PlanDeleteAll(rows.size(), {}), SystemFileOps(m_dir.string()));

    EXPECT_TRUE(fs::is_directory(m_dir / "f0.obj"));
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(rows.size(), 1u);
    ASSERT_EQ(out.failures.size(), 1u);
    EXPECT_EQ(out.failures[0].strPath, (m_dir / "f0.obj").string());
    EXPECT_EQ(out.failures[0].why.kind, RemovalFailure::kFolder);
}

// The search's folder renamed and something else put at its path between
// the search and the run: the run touches nothing, whichever the method.
TEST_F(DeleteRunTest, ARootReplacedAfterTheSearchIsRefusedWhole) {
    TempTrash::Get();
    const TempTree outside("kesmora-outside");
    const struct {
        const char* what;
        bool bLink;  // a link to the outside folder, else a new folder
        DeleteMethod method;
    } cases[] = {
        {"link, remove", true, DeleteMethod::Remove},
        {"new folder, trash", false, DeleteMethod::Trash},
    };
    for (const auto& c : cases) {
        const fs::path root = m_dir / "root";
        std::vector<ResultRow> rows = {MakeFile("root/a.obj", 10),
                                       MakeFile("root/Debug/b.obj", 20)};
        const std::string strRoot = root.string();
        FolderId searched;
        ASSERT_TRUE(ReadFolderId(strRoot, searched));
        const DeleteFileOps ops = SystemFileOps(strRoot, searched, c.method);
        fs::rename(root, m_dir / "moved");
        const std::string sentinel = outside.File("Debug/b.obj", 5);
        outside.File("a.obj", 5);
        if (c.bLink) {
            fs::create_directory_symlink(outside.Root(), root);
        } else {
            fs::create_directories(root / "Debug");
            fs::copy_file(sentinel, root / "Debug" / "b.obj");
        }
        auto request = *PlanDeleteAll(rows.size(), {});
        request.method = c.method;

        const DeleteOutcome out = RunDelete(rows, request, ops);

        EXPECT_TRUE(out.bRefused) << c.what;
        EXPECT_NE(out.refusal.kind, RemovalFailure::kNone) << c.what;
        EXPECT_EQ(out.nDeleted + out.nFailed, 0u) << c.what;
        EXPECT_EQ(rows.size(), 2u) << c.what;
        EXPECT_EQ(out.keptBytes, 30u) << c.what;
        EXPECT_TRUE(Exists(sentinel) && Exists(outside.Path("a.obj"))) << c.what;
        EXPECT_TRUE(Exists((root / "Debug" / "b.obj").string())) << c.what;
        fs::remove_all(root);
        // Refused for the whole run, even once the folder is back.
        fs::rename(m_dir / "moved", root);
        EXPECT_TRUE(RunDelete(rows, request, ops).bRefused) << c.what;
        fs::remove_all(root);
    }
}

// A run of many batches (a deletion as the rows arrive) opens its folder
// once: a later batch deletes below that folder though it was moved, and
// never in what took its path.
TEST_F(DeleteRunTest, ARunHoldsItsFolderAcrossBatches) {
    const fs::path root = m_dir / "root";
    std::vector<ResultRow> first = {MakeFile("root/a.obj", 10)};
    std::vector<ResultRow> second = {MakeFile("root/b.obj", 20)};
    FolderId searched;
    ASSERT_TRUE(ReadFolderId(root.string(), searched));
    const DeleteFileOps ops = SystemFileOps(root.string(), searched);
    EXPECT_EQ(RunDelete(first, *PlanDeleteAll(1, {}), ops).nDeleted, 1u);
    fs::rename(root, m_dir / "moved");
    fs::create_directory(root);
    std::ofstream(root / "b.obj") << "other";

    const DeleteOutcome out = RunDelete(second, *PlanDeleteAll(1, {}), ops);

    EXPECT_FALSE(out.bRefused);
    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_FALSE(Exists((m_dir / "moved/b.obj").string()));
    EXPECT_TRUE(Exists((root / "b.obj").string()));
}

TEST(PlanDelete, NoSelectionMeansNothingToDo) {
    EXPECT_FALSE(PlanDeleteSelected(5, {}));
    EXPECT_FALSE(PlanDeleteSelected(5, {7, 9})) << "indices past the list";
    EXPECT_FALSE(PlanDeleteSelected(0, {}));
    EXPECT_FALSE(PlanDeleteAll(0, {}));
}

TEST(PlanDelete, EveryRowSelectedActsAsDeleteAll) {
    const auto one = PlanDeleteSelected(1, {0});
    ASSERT_TRUE(one);
    EXPECT_EQ(one->kind, DeleteKind::All);
    const auto three = PlanDeleteSelected(3, {2, 0, 1, 1});
    ASSERT_TRUE(three);
    EXPECT_EQ(three->kind, DeleteKind::All);
}

TEST(PlanDelete, SortsTheSelectionAndDropsDuplicatesAndStrayIndices) {
    const auto plan = PlanDeleteSelected(6, {4, 1, 4, 9, 2});
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->kind, DeleteKind::Selected);
    EXPECT_EQ(plan->selected, (std::vector<std::size_t>{1, 2, 4}));
}

// ---- moving to the trash instead ----------------------------------------

// A folder nobody can change: as root a read-only bind mount of itself,
// otherwise a folder without write permission. Undone when it goes.
class FrozenFolder {
public:
    explicit FrozenFolder(const fs::path& dir) : m_dir(dir) {
        if (::geteuid() != 0) {
            fs::permissions(dir, fs::perms::owner_read | fs::perms::owner_exec);
            m_bFrozen = true;
        } else if (::mount(dir.c_str(), dir.c_str(), nullptr, MS_BIND, nullptr) == 0) {
            m_bMounted = true;
            m_bFrozen = ::mount(nullptr, dir.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY,
                                nullptr) == 0;
        }
    }
    ~FrozenFolder() {
        if (m_bMounted) ::umount2(m_dir.c_str(), MNT_DETACH);
        std::error_code ec;
        fs::permissions(m_dir, fs::perms::owner_all, ec);
    }
    bool Frozen() const { return m_bFrozen; }

private:
    fs::path m_dir;
    bool m_bMounted = false;
    bool m_bFrozen = false;
};

class TrashRunTest : public DeleteRunTest {
protected:
    void SetUp() override {
        m_trash.Empty();
        DeleteRunTest::SetUp();
    }
    void TearDown() override {
        DeleteRunTest::TearDown();
        m_trash.Empty();
    }
    static DeleteRequest ToTrash(std::optional<DeleteRequest> request) {
        request->method = DeleteMethod::Trash;
        return *request;
    }
    DeleteOutcome Run(std::vector<ResultRow>& rows, const DeleteRequest& request) {
        return RunDelete(rows, request, SystemFileOps(m_dir.string(), DeleteMethod::Trash));
    }
    const TempTrash& m_trash = TempTrash::Get();
};

TEST_F(TrashRunTest, DeleteAllMovesEveryFileToTheTrashWithItsPlaceAndMode) {
    std::vector<ResultRow> rows = {MakeFile("a.obj", 1024), MakeFile("sub/b.pdb", 2048),
                                   MakeFile("sub/deeper/c.ilk", 0)};
    ASSERT_EQ(::chmod(rows[1].strPath.c_str(), 0444), 0);
    const std::vector<std::string> paths = Paths(rows);

    const DeleteOutcome out = Run(rows, ToTrash(PlanDeleteAll(rows.size(), {})));

    EXPECT_EQ(out.nDeleted, 3u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::None);
    EXPECT_TRUE(rows.empty());
    for (const std::string& path : paths) {
        const std::string name = fs::path(path).filename();
        EXPECT_FALSE(Exists(path)) << path;
        EXPECT_TRUE(Exists(m_trash.Files() / name)) << name;
        EXPECT_NE(m_trash.Info(name).find("\nPath=" + path + "\n"), std::string::npos)
            << m_trash.Info(name);
    }
    struct stat st;
    ASSERT_EQ(::lstat((m_trash.Files() / "b.pdb").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
}

TEST_F(TrashRunTest, AFileWithoutAUsableTrashStaysListedAndIsReported) {
    std::vector<ResultRow> rows = {MakeFile("a.obj", 1000), MakeFile("frozen/b.obj", 700),
                                   MakeFile("c.obj", 3000)};
    const std::string kept = rows[1].strPath;
    const FrozenFolder frozen(m_dir / "frozen");
    if (!frozen.Frozen()) GTEST_SKIP() << "running as root without the right to mount";
    const DeleteRequest request = ToTrash(PlanDeleteSelected(rows.size(), {0, 1}));

    const DeleteOutcome out = Run(rows, request);

    EXPECT_EQ(out.nDeleted, 1u);
    EXPECT_EQ(out.nFailed, 1u);
    EXPECT_EQ(out.keptBytes, 700u);
    EXPECT_EQ(out.failureBox, DeleteFailureBox::Several);
    EXPECT_EQ(out.freedBytes, 1000u);
    EXPECT_EQ(out.newTotal, 3700u);
    EXPECT_EQ(Paths(rows), (std::vector<std::string>{kept, (m_dir / "c.obj").string()}));
    EXPECT_TRUE(Exists(kept));
    EXPECT_FALSE(Exists(m_trash.Files() / "b.obj"));
}

// Between the search and the run a build writes its outputs anew: a new
// file renamed over the listed one (even one given the listed size and
// times), or the listed file itself rewritten. None of them is taken,
// whichever the method: each stays with its contents, said as changed, and
// nothing is left under another name.
TEST_F(TrashRunTest, AFileReplacedOrChangedSinceTheSearchStays) {
    const timespec listedAt{1700000000, 123456789}, now{0, 0}, later{1700003600, 0};
    const struct {
        const char* what;
        bool bRenamedOver;  // else written into
        const char* text;
        timespec at;
    } cases[] = {{"a new file renamed over it", true, "fresh\n", now},
                 {"one with its size and times", true, "LISTED\n", listedAt},
                 {"itself grown", false, "more\n", now},
                 {"itself touched", false, "", later}};
    for (const DeleteMethod method : {DeleteMethod::Remove, DeleteMethod::Trash}) {
        for (const auto& c : cases) {
            const fs::path file = m_dir / "x.obj", written = c.bRenamedOver ? m_dir / "x~" : file;
            const auto write = [](const fs::path& path, const char* text, timespec at, auto mode) {
                std::ofstream(path, mode) << text;
                if (at.tv_sec != 0)
                    ::utimensat(AT_FDCWD, path.c_str(), std::array{at, at}.data(), 0);
            };
            write(file, "listed\n", listedAt, std::ios::trunc);
            std::vector<ResultRow> rows = {ListedRow(file.string())};
            write(written, c.text, c.at, c.bRenamedOver ? std::ios::trunc : std::ios::app);
            if (c.bRenamedOver) fs::rename(written, file);

            const DeleteOutcome out =
                RunDelete(rows, *PlanDeleteAll(1, {}), SystemFileOps(m_dir.string(), method));

            const std::string what =
                c.what + std::string(method == DeleteMethod::Trash ? ", trash" : "");
            std::stringstream text;
            text << std::ifstream(file).rdbuf();
            EXPECT_EQ(text.str(), (c.bRenamedOver ? "" : "listed\n") + std::string(c.text)) << what;
            EXPECT_EQ(rows.size(), 1u) << what;
            ASSERT_EQ(out.failures.size(), 1u) << what;
            EXPECT_EQ(out.failures[0].why.kind, RemovalFailure::kChangedSinceSearch) << what;
            EXPECT_EQ(std::distance(fs::directory_iterator(m_dir), fs::directory_iterator()), 1)
                << what;
            EXPECT_FALSE(Exists(m_trash.Files() / "x.obj")) << what;
            m_trash.Empty();
        }
    }
}

// The folders a clean-up empties: each goes once empty, then its parents
// emptied so, up to the chosen folder, which stays even when emptied. One
// empty before, one holding another file, one swapped for a link after its
// files went, and an empty folder made or moved into an emptied one's
// place stay; those in another's place are named with their reason.
TEST(EmptiedFolders, GoUpToButNeverIncludingTheChosenFolder) {
    TempTree t;
    const std::vector<std::string> files = {
        t.File("a/b/Debug/1.obj"), t.File("a/b/Debug/2.obj"),  t.File("a/b/3.obj"),
        t.File("p/Debug/4.obj"),   t.File("keep/Debug/5.obj"), t.File("swap/Debug/6.obj"),
        t.File("7.obj"),           t.File("made/Debug/8.obj"), t.File("moved/Debug/9.obj"),
    };
    t.Dir("p/empty-before");
    t.File("keep/Debug/notes.txt");
    t.Dir("elsewhere");
    DeleteFileOps ops = SystemFileOps(t.Root());
    RemovalFailure why;
    ASSERT_TRUE(ops.begin(why)) << why;
    CEmptiedFolders emptied(t.Root());
    for (const std::string& file : files) {
        ASSERT_TRUE(ops.removeFile(ListedRow(file), why)) << file << ": " << why;
        emptied.FileRemoved(file);
    }
    fs::rename(t.Path("swap/Debug"), t.Path("swap/moved"));
    t.Link("swap/Debug", t.Path("elsewhere"));
    fs::remove(t.Path("made/Debug"));
    t.Dir("made/Debug");
    fs::rename(t.Path("moved/Debug"), t.Path("moved/away"));
    fs::rename(t.Dir("empty"), t.Path("moved/Debug"));

    std::vector<DeleteFailure> failures;
    EXPECT_EQ(emptied.Prune(ops, [&](const DeleteFailure& f) { failures.push_back(f); }), 4u);
    for (const char* gone : {"a", "p/Debug"}) EXPECT_FALSE(fs::exists(t.Path(gone))) << gone;
    for (const char* kept :
         {"p/empty-before", "keep/Debug", "swap/moved", "elsewhere", "made/Debug", "moved/Debug"}) {
        EXPECT_TRUE(fs::is_directory(t.Path(kept))) << kept;
    }
    EXPECT_TRUE(fs::is_symlink(t.Path("swap/Debug")));
    ASSERT_EQ(failures.size(), 3u);
    for (const DeleteFailure& f : failures) {
        EXPECT_EQ(f.why.kind, f.strPath == t.Path("swap/Debug")
                                  ? RemovalFailure::kNotFolder
                                  : RemovalFailure::kChangedSinceSearch)
            << f.strPath;
    }

    // A chosen folder emptied whole stays.
    const std::string solo = t.Dir("solo");
    DeleteFileOps soloOps = SystemFileOps(solo);
    ASSERT_TRUE(soloOps.begin(why));
    CEmptiedFolders soloEmptied(solo);
    const std::string last = t.File("solo/Debug/8.obj");
    ASSERT_TRUE(soloOps.removeFile(ListedRow(last), why));
    soloEmptied.FileRemoved(last);
    EXPECT_EQ(soloEmptied.Prune(soloOps, {}), 1u);
    EXPECT_TRUE(fs::is_directory(solo));
    EXPECT_TRUE(fs::is_empty(solo));
}

}  // namespace
